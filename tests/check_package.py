#!/usr/bin/env python3
"""Makes the release archive from the 32-bit build with CPack, into a folder of
its own, and checks what a user gets: one folder bALDRIX-0.1-win32 holding the
program (which passes every check of check_deliverable.py, its imports among
them), README.txt and LICENSE.txt, the texts in plain ASCII with CR LF line ends.

    check_package.py <cpack> <32-bit build folder>
"""

import os
import subprocess
import sys
import tempfile
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_deliverable  # noqa: E402

PACKAGE = "bALDRIX-0.1-win32"
FILES = {"bALDRIX.exe", "README.txt", "LICENSE.txt"}


def text_problems(name, data):
    problems = []
    if not data.strip():
        problems.append("%s is empty" % name)
    if any(b > 0x7E or (b < 0x20 and b not in b"\r\n\t") for b in data):
        problems.append("%s holds bytes other than printable ASCII" % name)
    lines = data.split(b"\r\n")
    if any(b"\n" in line or b"\r" in line for line in lines):
        problems.append("%s has a line end other than CR LF" % name)
    if lines[-1] != b"":
        problems.append("%s does not end with CR LF" % name)
    return problems


def check_archive(path, scratch):
    failures = []
    with zipfile.ZipFile(path) as archive:
        bad = archive.testzip()
        if bad is not None:
            return ["%s is damaged at %s" % (path, bad)]
        names = [n for n in archive.namelist() if not n.endswith("/")]
        expected = {PACKAGE + "/" + f for f in FILES}
        if set(names) != expected or len(names) != len(expected):
            failures.append("archive holds %s, expected %s" % (sorted(names), sorted(expected)))
        if not expected <= set(names):
            return failures

        exe = os.path.join(scratch, "bALDRIX.exe")
        with open(exe, "wb") as f:
            f.write(archive.read(PACKAGE + "/bALDRIX.exe"))
        failures += ["bALDRIX.exe: " + p for p in check_deliverable.check(exe)]

        readme = archive.read(PACKAGE + "/README.txt")
        failures += text_problems("README.txt", readme)
        for needed in (b"bALDRIX 0.1", b"bALDRIX.ini", b"F2", b"F9"):
            if needed not in readme:
                failures.append("README.txt says nothing of %s" % needed.decode())

        licence = archive.read(PACKAGE + "/LICENSE.txt")
        failures += text_problems("LICENSE.txt", licence)
        for needed in (b"MIT License", b"Copyright (c) 2026 the bALDRIX authors"):
            if needed not in licence:
                failures.append("LICENSE.txt lacks %r" % needed.decode())
    return failures


def main(cpack, build):
    config = os.path.join(build, "CPackConfig.cmake")
    if not os.path.isfile(config):
        print("FAILED: %s is missing: configure and build the win32 preset first" % config)
        return 1
    with tempfile.TemporaryDirectory() as scratch:
        out = os.path.join(scratch, "out")
        made = subprocess.run([cpack, "-G", "ZIP", "--config", config, "-B", out],
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        archive = os.path.join(out, PACKAGE + ".zip")
        if made.returncode != 0 or not os.path.isfile(archive):
            print(made.stdout)
            print("FAILED: cpack made no %s.zip" % PACKAGE)
            return 1
        failures = check_archive(archive, scratch)
    for f in failures:
        print("FAILED: " + f)
    print("%s.zip: %s" % (PACKAGE, "all checks passed" if not failures else
                           "%d failed" % len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    if len(sys.argv) != 3:
        print(__doc__)
        sys.exit(2)
    sys.exit(main(sys.argv[1], sys.argv[2]))
