#!/usr/bin/env python3
"""scripts/check-map: passes the tree as it is, and fails a copy of it with a
program file the map does not name, added or dropped from the map."""
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

root = Path(__file__).resolve().parent.parent
check = root / "scripts" / "check-map"
FOLDERS = ("app", "base", "commands", "settings", "transcript", "resources")


def run(tree):
    return subprocess.run([sys.executable, str(check), "--root", str(tree)],
                          capture_output=True, text=True)


def copy_of_tree(to):
    shutil.copy(root / "DEVELOPERS.md", to / "DEVELOPERS.md")
    for folder in FOLDERS:
        shutil.copytree(root / folder, to / folder)


failures = 0
result = run(root)
if result.returncode != 0:
    print("the map itself misses files:\n" + result.stdout)
    failures += 1
# A new room no map row names.
with tempfile.TemporaryDirectory() as temp:
    tree = Path(temp)
    copy_of_tree(tree)
    (tree / "transcript/access/ChatListNewRoom.cpp").write_text("// a room\n")
    result = run(tree)
    if result.returncode != 1 or "transcript/access/ChatListNewRoom.cpp" not in result.stdout:
        print(f"a file the map does not name was not caught:\n{result.stdout}")
        failures += 1
# A row's name taken out of the map: both the file and a header named with it by ".*".
with tempfile.TemporaryDirectory() as temp:
    tree = Path(temp)
    copy_of_tree(tree)
    developers = tree / "DEVELOPERS.md"
    text = developers.read_text()
    for name in ("`base/ScopedHandles.h`", "`transcript/FindModel.*`"):
        if name not in text:
            print(f"the map no longer names {name}: choose another")
            failures += 1
        text = text.replace(name, "")
    developers.write_text(text)
    result = run(tree)
    for name in ("base/ScopedHandles.h", "transcript/FindModel.h", "transcript/FindModel.cpp"):
        if result.returncode != 1 or name not in result.stdout:
            print(f"{name}, dropped from the map, was not caught:\n{result.stdout}")
            failures += 1
print(f"{failures} failed" if failures else "all caught")
sys.exit(1 if failures else 0)
