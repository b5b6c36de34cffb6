#!/usr/bin/env python3
"""Tests of scripts/pixelart.py: the bytes of the icon and the strip it writes,
and its refusal of malformed art."""

import os
import struct
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
TOOL = os.path.join(HERE, "..", "..", "scripts", "pixelart.py")


def art(palette, images):
    text = "[palette]\n" + "".join(f"{k} = {v}\n" for k, v in palette.items())
    for rows in images:
        text += "[image]\n" + "\n".join(rows) + "\n"
    return text


def square(char, other=None, at=()):
    """A 16x16 image of one character, with `other` at the (x, y) points given."""
    rows = [[char] * 16 for _ in range(16)]
    for x, y in at:
        rows[y][x] = other
    return ["".join(r) for r in rows]


class PixelArtTest(unittest.TestCase):
    def run_tool(self, kind, text):
        with tempfile.TemporaryDirectory() as folder:
            source = os.path.join(folder, "art.txt")
            out = os.path.join(folder, "out")
            with open(source, "w", encoding="utf-8") as f:
                f.write(text)
            done = subprocess.run([sys.executable, TOOL, kind, source, out],
                                  capture_output=True, text=True)
            blob = None
            if os.path.exists(out):
                with open(out, "rb") as f:
                    blob = f.read()
            self.assertFalse(os.path.exists(out + ".tmp"))
            return done.returncode, done.stderr, blob

    def assert_refused(self, kind, text, *words):
        code, err, blob = self.run_tool(kind, text)
        self.assertEqual(code, 1, err)
        self.assertIsNone(blob, "nothing is written for bad art")
        for word in words:
            self.assertIn(word, err)

    def test_icon_colours_and_mask(self):
        image = square(".", "r", at=[(0, 0), (15, 15), (3, 7)])
        image[7] = image[7][:10] + "b" + image[7][11:]
        code, err, blob = self.run_tool(
            "ico", art({".": "transparent", "r": "255,0,0", "b": "#0000FF"}, [image]))
        self.assertEqual(code, 0, err)
        reserved, kind, count = struct.unpack_from("<HHH", blob, 0)
        self.assertEqual((reserved, kind, count), (0, 1, 1))
        w, h, colours, _, planes, bits, size, offset = struct.unpack_from("<BBBBHHII", blob, 6)
        self.assertEqual((w, h, colours, planes, bits), (16, 16, 0, 1, 24))
        self.assertEqual(offset, 22)
        self.assertEqual(size, len(blob) - offset)
        header = struct.unpack_from("<IiiHHI", blob, offset)
        self.assertEqual(header, (40, 16, 32, 1, 24, 0))
        xor = offset + 40
        mask = xor + 16 * 48

        def colour(x, y):  # rows are stored bottom-up, pixels as blue, green, red
            o = xor + (15 - y) * 48 + 3 * x
            return tuple(blob[o + 2 - i] for i in range(3))

        def transparent(x, y):
            row = mask + (15 - y) * 4
            return bool(blob[row + x // 8] & (0x80 >> (x % 8)))

        self.assertEqual(colour(0, 0), (255, 0, 0))
        self.assertEqual(colour(15, 15), (255, 0, 0))
        self.assertEqual(colour(10, 7), (0, 0, 255))
        self.assertFalse(transparent(0, 0) or transparent(3, 7) or transparent(10, 7))
        self.assertTrue(transparent(1, 0) and transparent(15, 14))
        self.assertEqual(colour(1, 0), (0, 0, 0), "black under the mask")
        self.assertEqual(len(blob), 22 + 40 + 16 * 48 + 16 * 4)

    def test_strip_layout_palette_and_pixels(self):
        images = [square("g", "r", at=[(i, 0)]) for i in range(6)]
        images[5] = square("g", "w", at=[(15, 15), (0, 15)])
        code, err, blob = self.run_tool(
            "bmp", art({"g": "199,197,200", "r": "220, 32, 32", "w": "#FFFFFF"}, images))
        self.assertEqual(code, 0, err)
        magic, size, _, _, bits_at = struct.unpack_from("<2sIHHI", blob, 0)
        self.assertEqual((magic, size), (b"BM", len(blob)))
        w, h, planes, bits, compression, _, _, _, used = struct.unpack_from("<iiHHIIiiI", blob, 18)
        self.assertEqual((w, h, planes, bits, compression, used), (96, 16, 1, 4, 0, 16))
        palette = [tuple(blob[54 + 4 * i + 2 - c] for c in range(3)) for i in range(16)]
        self.assertEqual(bits_at, 54 + 64)

        def pixel(x, y):
            byte = blob[bits_at + (15 - y) * 48 + x // 2]
            return palette[byte >> 4 if x % 2 == 0 else byte & 15]

        self.assertEqual(pixel(1, 1), (199, 197, 200))
        for i in range(5):  # each image's own marker lands in its own 16 columns
            self.assertEqual(pixel(16 * i + i, 0), (220, 32, 32))
            self.assertEqual(pixel(16 * i + i + 1, 0), (199, 197, 200))
        self.assertEqual(pixel(95, 15), (255, 255, 255))
        self.assertEqual(pixel(80, 15), (255, 255, 255))
        self.assertEqual(pixel(81, 15), (199, 197, 200))

    def test_comments_and_blank_lines_are_ignored(self):
        text = "; the art\n\n[palette]\nk = 0,0,0 ; black\n\n[image one]\n" + \
               "\n".join(square("k")) + "\n\n; done\n"
        code, err, _ = self.run_tool("bmp", text)
        self.assertEqual(code, 0, err)

    def test_malformed_art_is_refused_with_the_place(self):
        good = {"g": "1,2,3", "k": "0,0,0"}
        short = square("g")
        short[4] = "g" * 15
        self.assert_refused("bmp", art(good, [short]), ":9:", "image '1'", "15 pixels", "expected 16")
        unknown = square("g", "x", at=[(6, 2)])
        self.assert_refused("bmp", art(good, [unknown]), ":7:", "column 7", "'x'")
        self.assert_refused("bmp", art(good, [square("g")[:15]]), "15 rows")
        self.assert_refused("bmp", art(good, [square("g") + ["g" * 16]]), "more than 16 rows")
        self.assert_refused("bmp", "[palette]\ng = 1,2,3\ng = 4,5,6\n[image]\n", "twice")
        self.assert_refused("bmp", art({"g": "256,0,0"}, [square("g")]), "bad colour")
        self.assert_refused("bmp", art({"g": "1,2"}, [square("g")]), "bad colour")
        self.assert_refused("bmp", "[palette]\ng = 1,2,3\n", "no [image]")
        self.assert_refused("bmp", "gggg\n", "before the first")
        self.assert_refused("bmp", "[colours]\n", "unknown section")

    def test_strip_limits(self):
        many = {chr(ord("a") + i): f"{i},0,0" for i in range(17)}
        self.assert_refused("bmp", art(many, [square("a")]), "17 colours")
        # Characters sharing a colour take one palette entry.
        same = {chr(ord("a") + i): f"{i % 16},0,0" for i in range(17)}
        self.assertEqual(self.run_tool("bmp", art(same, [square("a")]))[0], 0)
        self.assert_refused("bmp", art({".": "transparent"}, [square(".")]), "transparency")

    def test_icon_holds_exactly_one_image(self):
        pal = {".": "transparent"}
        self.assert_refused("ico", art(pal, [square("."), square(".")]), "exactly one image")

    def test_unreadable_art_and_bad_usage(self):
        done = subprocess.run([sys.executable, TOOL, "bmp", "/nonexistent/art.txt", "/tmp/x.bmp"],
                              capture_output=True, text=True)
        self.assertEqual(done.returncode, 1)
        self.assertIn("cannot read", done.stderr)
        done = subprocess.run([sys.executable, TOOL, "png", "a", "b"], capture_output=True)
        self.assertEqual(done.returncode, 2)


if __name__ == "__main__":
    unittest.main()
