#!/usr/bin/env python3
"""Checks the 32-bit deliverable as a file: a PE32 GUI program for i386, large
address aware, that needs only system DLLs and carries icon 256, manifest 1
and version 1.

    check_deliverable.py build/win32/bALDRIX.exe
"""

import struct
import sys
import xml.etree.ElementTree as ET

RT_ICON, RT_BITMAP, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 2, 14, 16, 24
IMAGE_FILE_LARGE_ADDRESS_AWARE = 0x20
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "comdlg32.dll",
               "msvcrt.dll", "advapi32.dll", "shell32.dll", "ole32.dll"}


class PE:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise ValueError("not an MZ executable")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        self.machine, nsections, _, _, _, optsize, self.characteristics = struct.unpack_from(
            "<HHIIIHH", data, pe + 4)
        opt = pe + 24
        self.magic = struct.unpack_from("<H", data, opt)[0]
        self.subsystem = struct.unpack_from("<H", data, opt + 68)[0]
        dirs = opt + (96 if self.magic == 0x10B else 112)
        self.directories = [struct.unpack_from("<II", data, dirs + 8 * i) for i in range(16)]
        self.sections = []
        for i in range(nsections):
            s = opt + optsize + 40 * i
            vsize, va, rawsize, rawptr = struct.unpack_from("<IIII", data, s + 8)
            self.sections.append((va, max(vsize, rawsize), rawptr))

    def offset(self, rva):
        for va, size, raw in self.sections:
            if va <= rva < va + size:
                return rva - va + raw
        raise ValueError("RVA %#x outside every section" % rva)

    def cstring(self, rva):
        o = self.offset(rva)
        return self.data[o:self.data.index(b"\0", o)].decode("ascii")

    def imports(self):
        rva, _ = self.directories[1]
        names, o = [], self.offset(rva)
        while True:
            entry = struct.unpack_from("<IIIII", self.data, o)
            if entry == (0, 0, 0, 0, 0):
                return names
            names.append(self.cstring(entry[3]))
            o += 20

    def resources(self):
        """{(type, name): bytes} for numeric types and names, first language."""
        base = self.offset(self.directories[2][0])
        out = {}

        def entries(o):
            named, ids = struct.unpack_from("<HH", self.data, o + 12)
            for i in range(named + ids):
                yield struct.unpack_from("<II", self.data, o + 16 + 8 * i)

        for rtype, sub in entries(base):
            for rname, sub2 in entries(base + (sub & 0x7FFFFFFF)):
                for _, leaf in entries(base + (sub2 & 0x7FFFFFFF)):
                    rva, size = struct.unpack_from("<II", self.data, base + leaf)
                    o = self.offset(rva)
                    out[(rtype, rname)] = self.data[o:o + size]
                    break
        return out


def version_block(data, o=0):
    """One node of a VS_VERSIONINFO tree at offset o: (key, value, children).
    A text value (type 1) comes back as str, a binary one as bytes."""
    length, value_length, kind = struct.unpack_from("<HHH", data, o)
    if length < 6 or o + length > len(data):
        raise ValueError("version block at %#x overruns its resource" % o)
    end = o + length
    key_end = o + 6
    while data[key_end:key_end + 2] != b"\0\0":
        key_end += 2
        if key_end >= end:
            raise ValueError("version block key at %#x has no terminator" % o)
    key = data[o + 6:key_end].decode("utf-16-le")
    p = (key_end + 2 + 3) & ~3
    if kind == 1:
        value = data[p:p + 2 * value_length].decode("utf-16-le").rstrip("\0")
        p += 2 * value_length
    else:
        value = data[p:p + value_length]
        p += value_length
    children = []
    p = (p + 3) & ~3
    while p < end:
        child = version_block(data, p)
        children.append(child)
        p = (p + struct.unpack_from("<H", data, p)[0] + 3) & ~3
    return key, value, children


def version_info(data):
    """(fixed file info as a tuple of 13 DWORDs, {table: {string: value}}, [translations])."""
    key, fixed, children = version_block(data)
    if key != "VS_VERSION_INFO" or len(fixed) != 52:
        raise ValueError("not a VS_VERSION_INFO resource")
    tables, translations = {}, []
    for name, _, blocks in children:
        for table, value, entries in blocks:
            if name == "StringFileInfo":
                tables[table.lower()] = {k: v for k, v, _ in entries}
            elif name == "VarFileInfo" and table == "Translation":
                translations += [struct.unpack_from("<HH", value, i)
                                 for i in range(0, len(value) - 3, 4)]
    return struct.unpack("<13I", fixed), tables, translations


VERSION_STRINGS = {
    "CompanyName": "Copyright (C) 2026 the bALDRIX authors",
    "FileDescription": "bALDRIX - Real-Time Chat Client-Server",
    "FileVersion": "0.1.0.0",
    "InternalName": "bALDRIX",
    "LegalCopyright": "Copyright (C) 2026 the bALDRIX authors",
    "OriginalFilename": "bALDRIX.exe",
    "ProductName": "bALDRIX",
    "ProductVersion": "0.1.0.0",
}


def check_version(res, expect):
    data = res.get((RT_VERSION, 1))
    expect(data is not None, "version resource 1 present")
    if data is None:
        return
    try:
        fixed, tables, translations = version_info(data)
    except (ValueError, struct.error) as e:
        expect(False, "version resource readable: %s" % e)
        return
    signature, _, file_ms, file_ls, product_ms, product_ls, _, flags, os_, ftype = fixed[:10]
    expect(signature == 0xFEEF04BD, "fixed file info signature, found %#x" % signature)
    expect((file_ms, file_ls) == (0x00000001, 0), "file version 0.1.0.0, found %#x.%#x" % (file_ms, file_ls))
    expect((product_ms, product_ls) == (0x00000001, 0),
           "product version 0.1.0.0, found %#x.%#x" % (product_ms, product_ls))
    expect(flags == 0, "no debug, pre-release or patched flags, found %#x" % flags)
    expect(os_ == 0x40004 and ftype == 1, "a Win32 application (os %#x, type %d)" % (os_, ftype))
    # Windows looks the texts up in the table its translation names.
    strings = tables.get("%04x%04x" % translations[0], {}) if translations else {}
    for name, value in VERSION_STRINGS.items():
        expect(strings.get(name) == value, "%s is %r, found %r" % (name, value, strings.get(name)))
    expect(translations == [(0x0409, 1252)],
           "translation US English, code page 1252, found %s" % translations)


def check(path):
    with open(path, "rb") as f:
        pe = PE(f.read())
    failures = []

    def expect(cond, what):
        if not cond:
            failures.append(what)

    expect(pe.machine == 0x14C, "machine is i386 (0x14c), found %#x" % pe.machine)
    expect(pe.magic == 0x10B, "optional header is PE32 (0x10b), found %#x" % pe.magic)
    expect(pe.subsystem == 2, "subsystem is Windows GUI (2), found %d" % pe.subsystem)
    # On 64-bit Windows such a program gets 4 GB of addresses instead of 2 GB.
    expect(pe.characteristics & IMAGE_FILE_LARGE_ADDRESS_AWARE,
           "large address aware (characteristics %#x)" % pe.characteristics)
    others = [d for d in pe.imports() if d.lower() not in SYSTEM_DLLS]
    expect(not others, "imports only system DLLs; also imports %s" % others)

    res = pe.resources()
    group = res.get((RT_GROUP_ICON, 256))
    expect(group is not None, "icon group 256 present")
    if group is not None:
        _, kind, count = struct.unpack_from("<HHH", group, 0)
        expect(kind == 1 and count == 1, "icon 256 holds one image")
        w, h, _, _, _, bits, _, icon_id = struct.unpack_from("<BBBBHHIH", group, 6)
        expect((w, h, bits) == (16, 16, 24), "icon 256 is 16x16 in 24-bit colour, found %dx%d %d-bit" % (w, h, bits))
        image = res.get((RT_ICON, icon_id))
        expect(image is not None and len(image) == 40 + 16 * 16 * 3 + 16 * 4,
               "icon image has 24-bit colour and a 1-bit mask")

    manifest = res.get((RT_MANIFEST, 1))
    expect(manifest is not None, "manifest 1 present")
    if manifest is not None:
        ns = {"a": "urn:schemas-microsoft-com:asm.v1"}
        root = ET.fromstring(manifest)
        expect(root.get("manifestVersion") == "1.0", "manifestVersion 1.0")
        ident = root.find("a:assemblyIdentity", ns)
        expect(ident is not None and ident.attrib == {
            "processorArchitecture": "x86", "version": "1.0.0.0", "type": "win32",
            "name": "bALDRIX.exe"}, "assemblyIdentity of the program")
        desc = root.find("a:description", ns)
        expect(desc is not None and desc.text == "bALDRIX - Real Time Chat Client-Server",
               "description")
        dep = root.find("a:dependency/a:dependentAssembly/a:assemblyIdentity", ns)
        expect(dep is not None and dep.attrib == {
            "type": "win32", "name": "Microsoft.Windows.Common-Controls", "version": "6.0.0.0",
            "processorArchitecture": "x86", "publicKeyToken": "6595b64144ccf1df",
            "language": "*"}, "common controls version 6 dependency")

    check_version(res, expect)
    return failures


if __name__ == "__main__":
    problems = check(sys.argv[1])
    for p in problems:
        print("FAILED: " + p)
    print("%s: %s" % (sys.argv[1], "all checks passed" if not problems else "%d failed" % len(problems)))
    sys.exit(1 if problems else 0)
