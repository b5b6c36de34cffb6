#!/usr/bin/env python3
"""Turn text pixel art into the icon and the toolbar strip of bALDRIX.

    pixelart.py ico ART OUT.ico   one 16x16 image, 24-bit colour plus an AND mask
    pixelart.py bmp ART OUT.bmp   a strip of 16x16 images side by side, 4 bits per
                                  pixel with a 16-colour palette

Art file format (plain text, UTF-8):

    ; a comment (a whole line, or the end of a palette line)
    [palette]
    K = 0,0,0          one character, '=', a colour as R,G,B (0-255 each) ...
    w = #FFFFFF        ... or as #RRGGBB
    . = transparent    only in icons: the AND mask shows the desktop here

    [image connect]    one section per 16x16 image; the name is a label only
    ................   16 rows of 16 characters from the palette
    ...

Images are placed left to right in the order they appear. Blank lines are
ignored. Any malformed input ends with a message naming the file and line and
exit status 1; nothing is written then.
"""

import os
import re
import struct
import sys

IMAGE_SIZE = 16
MAX_STRIP_COLOURS = 16
TRANSPARENT = "transparent"


class ArtError(Exception):
    pass


def parse_colour(text, where):
    text = text.strip()
    if text.lower() == TRANSPARENT:
        return TRANSPARENT
    match = re.fullmatch(r"#([0-9A-Fa-f]{6})", text)
    if match:
        value = int(match.group(1), 16)
        return ((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF)
    match = re.fullmatch(r"(\d{1,3})\s*,\s*(\d{1,3})\s*,\s*(\d{1,3})", text)
    if match:
        rgb = tuple(int(part) for part in match.groups())
        if all(0 <= part <= 255 for part in rgb):
            return rgb
    raise ArtError(f"{where}: bad colour '{text}' (use R,G,B with 0-255, #RRGGBB or transparent)")


def parse_art(path):
    """Answer (palette, images): palette maps a character to an (r, g, b) tuple
    or TRANSPARENT; images is a list of (name, rows)."""
    try:
        with open(path, encoding="utf-8") as handle:
            lines = handle.read().splitlines()
    except (OSError, UnicodeDecodeError) as error:
        raise ArtError(f"{path}: cannot read: {error}")

    palette = {}
    images = []
    section = None
    for number, raw in enumerate(lines, start=1):
        where = f"{path}:{number}"
        line = raw.rstrip()
        if not line.strip() or line.lstrip().startswith(";"):
            continue
        header = re.fullmatch(r"\s*\[(\w+)(?:\s+([^\]]*))?\]\s*", line)
        if header:
            kind = header.group(1).lower()
            if kind == "palette":
                section = "palette"
            elif kind == "image":
                section = "image"
                images.append((header.group(2) or str(len(images) + 1), [], number))
            else:
                raise ArtError(f"{where}: unknown section [{header.group(1)}]")
            continue
        if section == "palette":
            # A palette line may end in a comment: "K = 0,0,0  ; outline".
            entry = re.fullmatch(r"\s*(\S)\s*=\s*([^;]+?)\s*(?:;.*)?", line)
            if not entry:
                raise ArtError(f"{where}: palette lines read 'C = colour'")
            char = entry.group(1)
            if char == ";" or char == "[":
                raise ArtError(f"{where}: '{char}' cannot be a pixel character")
            if char in palette:
                raise ArtError(f"{where}: '{char}' is defined twice")
            palette[char] = parse_colour(entry.group(2), where)
        elif section == "image":
            row = line.strip()
            name, rows, _ = images[-1]
            if len(row) != IMAGE_SIZE:
                raise ArtError(f"{where}: row of image '{name}' has {len(row)} pixels, "
                               f"expected {IMAGE_SIZE}")
            for column, char in enumerate(row):
                if char not in palette:
                    raise ArtError(f"{where}: column {column + 1}: '{char}' is not in the palette")
            rows.append(row)
            if len(rows) > IMAGE_SIZE:
                raise ArtError(f"{where}: image '{name}' has more than {IMAGE_SIZE} rows")
        else:
            raise ArtError(f"{where}: text before the first [palette] or [image] section")

    if not images:
        raise ArtError(f"{path}: no [image] section")
    for name, rows, number in images:
        if len(rows) != IMAGE_SIZE:
            raise ArtError(f"{path}:{number}: image '{name}' has {len(rows)} rows, "
                           f"expected {IMAGE_SIZE}")
    return palette, [(name, rows) for name, rows, _ in images]


def compose(palette, images):
    """Place the images side by side; answer the rows of colours, top row first."""
    rows = []
    for y in range(IMAGE_SIZE):
        rows.append([palette[char] for _, image in images for char in image[y]])
    return rows


def write_ico(palette, images):
    if len(images) != 1:
        raise ArtError(f"an icon holds exactly one image, the art has {len(images)}")
    pixels = compose(palette, images)
    size = IMAGE_SIZE
    xor_stride = (size * 3 + 3) // 4 * 4
    and_stride = (size + 31) // 32 * 4
    xor = bytearray()
    mask = bytearray()
    for row in reversed(pixels):  # bottom-up, as a DIB is stored
        line = bytearray()
        bits = 0
        for x, colour in enumerate(row):
            if colour == TRANSPARENT:
                line += b"\0\0\0"  # black under the mask leaves the desktop untouched
                bits |= 1 << (size - 1 - x)
            else:
                r, g, b = colour
                line += bytes((b, g, r))
        xor += line + bytes(xor_stride - len(line))
        mask += bits.to_bytes(size // 8, "big") + bytes(and_stride - size // 8)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 24, 0, len(xor) + len(mask),
                         0, 0, 0, 0)
    image = header + bytes(xor) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", size, size, 0, 0, 1, 24, len(image), 6 + 16)
    return directory + entry + image


def write_bmp(palette, images):
    if any(colour == TRANSPARENT for colour in palette.values()):
        raise ArtError("the strip has no transparency: its background is a colour of its own")
    colours = []
    for colour in palette.values():
        if colour not in colours:
            colours.append(colour)
    if len(colours) > MAX_STRIP_COLOURS:
        raise ArtError(f"the strip uses {len(colours)} colours, at most {MAX_STRIP_COLOURS} fit "
                       "a 4-bit palette")
    pixels = compose(palette, images)
    width = len(pixels[0])
    height = len(pixels)
    stride = (width * 4 + 31) // 32 * 4
    data = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        for x in range(0, width, 2):
            high = colours.index(row[x])
            low = colours.index(row[x + 1]) if x + 1 < width else 0
            line.append(high << 4 | low)
        data += line + bytes(stride - len(line))
    table = bytearray()
    for index in range(MAX_STRIP_COLOURS):
        r, g, b = colours[index] if index < len(colours) else (0, 0, 0)
        table += bytes((b, g, r, 0))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(data), 2835, 2835,
                       MAX_STRIP_COLOURS, 0)
    offset = 14 + len(info) + len(table)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    return file_header + info + bytes(table) + bytes(data)


def main(argv):
    if len(argv) != 4 or argv[1] not in ("ico", "bmp"):
        sys.stderr.write("usage: pixelart.py ico|bmp ART OUT\n")
        return 2
    kind, art, out = argv[1:]
    try:
        palette, images = parse_art(art)
        blob = write_ico(palette, images) if kind == "ico" else write_bmp(palette, images)
    except ArtError as error:
        sys.stderr.write(f"pixelart: {error}\n")
        return 1
    # Write beside the target and rename, so a failed run never leaves half a file.
    temporary = out + ".tmp"
    with open(temporary, "wb") as handle:
        handle.write(blob)
    os.replace(temporary, out)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
