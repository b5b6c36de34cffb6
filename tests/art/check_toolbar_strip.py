#!/usr/bin/env python3
"""Checks the toolbar strip inside a built bALDRIX.exe: bitmap 257 is a 96x16,
4-bit DIB with 16 palette colours, grey at (1, 1), red and green lines along
the top of the first two images, and a background that one flood fill from
(1, 1) reaches completely.

    check_toolbar_strip.py build/win32/bALDRIX.exe
"""

import os
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from check_deliverable import PE, RT_BITMAP  # noqa: E402

IDB_TOOLBAR = 257
KEY = (199, 197, 200)


def decode(dib):
    """Answer (header fields, rows of (r, g, b), top row first) of a 4-bit DIB."""
    size, width, height, planes, bits, compression = struct.unpack_from("<IiiHHI", dib, 0)
    used = struct.unpack_from("<I", dib, 32)[0]
    fields = dict(size=size, width=width, height=height, planes=planes, bits=bits,
                  compression=compression, used=used)
    if (size, bits, compression) != (40, 4, 0):
        return fields, None
    count = used or 16
    palette = [(dib[size + 4 * i + 2], dib[size + 4 * i + 1], dib[size + 4 * i])
               for i in range(count)]
    start = size + 4 * count
    stride = (abs(width) * 4 + 31) // 32 * 4
    rows = []
    for y in range(abs(height)):
        stored = abs(height) - 1 - y if height > 0 else y
        line = dib[start + stored * stride:start + (stored + 1) * stride]
        row = []
        for x in range(abs(width)):
            byte = line[x // 2]
            row.append(palette[(byte >> 4) if x % 2 == 0 else (byte & 15)])
        rows.append(row)
    return fields, rows


def unreached_background(rows, key, start):
    """Key-colour pixels that a 4-connected fill from start does not reach."""
    height, width = len(rows), len(rows[0])
    seen = {start}
    todo = [start]
    while todo:
        x, y = todo.pop()
        for nx, ny in ((x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)):
            if 0 <= nx < width and 0 <= ny < height and (nx, ny) not in seen \
                    and rows[ny][nx] == key:
                seen.add((nx, ny))
                todo.append((nx, ny))
    return [(x, y) for y in range(height) for x in range(width)
            if rows[y][x] == key and (x, y) not in seen]


def check(path):
    with open(path, "rb") as f:
        pe = PE(f.read())
    dib = pe.resources().get((RT_BITMAP, IDB_TOOLBAR))
    if dib is None:
        return ["bitmap 257 present"]
    failures = []

    def expect(cond, what):
        if not cond:
            failures.append(what)

    fields, rows = decode(dib)
    expect((fields["width"], fields["height"]) == (96, 16),
           "strip is 96x16, found %(width)dx%(height)d" % fields)
    expect(fields["bits"] == 4 and fields["compression"] == 0,
           "strip has 4 bits per pixel, uncompressed; found %(bits)d, %(compression)d" % fields)
    expect(fields["used"] in (0, 16), "palette of 16 colours, found %(used)d" % fields)
    if rows is None or failures:
        return failures
    expect(rows[1][1] == KEY, "pixel (1,1) is RGB%s, found RGB%s" % (KEY, rows[1][1]))
    red = [p for p in rows[0][0:16]]
    green = [p for p in rows[0][16:32]]
    expect(all(p != KEY for p in red + green), "the top lines of images 0 and 1 are not grey")
    expect(all(p[0] > 2 * max(p[1], p[2]) for p in red), "image 0 has a red top line")
    expect(all(p[1] > 2 * max(p[0], p[2]) for p in green), "image 1 has a green top line")
    stray = unreached_background(rows, KEY, (1, 1))
    expect(not stray, "every grey pixel is reached from (1,1); not reached: %s" % stray[:8])
    return failures


if __name__ == "__main__":
    problems = check(sys.argv[1])
    for p in problems:
        print("FAILED: " + p)
    print("%s: %s" % (sys.argv[1], "toolbar strip checks passed" if not problems
                      else "%d failed" % len(problems)))
    sys.exit(1 if problems else 0)
