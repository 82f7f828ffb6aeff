#!/usr/bin/env python3
"""Draws the program's icon and writes it as a .ico file.

    make_icon.py OUTPUT.ico

A handset with a speech bubble, in the program's blue, white and red, at
16x16 and 32x32, each as a 256-colour and a 24-bit image (four images in
all). Every image is a BMP-in-ICO entry: a BITMAPINFOHEADER with the height
doubled, the colour (XOR) bitmap, then the 1-bit AND mask that makes the
'.' pixels transparent. Only the standard library is used, so the build
needs nothing but python3.
"""

import struct
import sys

# One character per pixel, top row first. '.' is transparent.
COLOURS = {
    "B": (0x00, 0x40, 0xC0),  # the program's blue
    "W": (0xFF, 0xFF, 0xFF),
    "R": (0xE0, 0x10, 0x10),
}

PICTURE_32 = """
.............BBBBBBBBBBBBBBBBB..
............BWWWWWWWWWWWWWWWWWB.
...........BWWWWWWWWWWWWWWWWWWWB
...........BWWWWWWWWWWWWWWWWWWWB
...........BWWWWWWWWWWWWWWWWWWWB
...........BWWWRRRWWWRRRWWWRRRWB
...........BWWWRRRWWWRRRWWWRRRWB
...........BWWWRRRWWWRRRWWWRRRWB
...........BWWWWWWWWWWWWWWWWWWWB
...........BWWWWWWWWWWWWWWWWWWWB
...........BWWWWWWWWWWWWWWWWWWWB
............BWWWWWWWWWWWWWWWWWB.
.............BWWBBBBBBBBBBBBBB..
.............BWWB...............
..WWWWWW....BWWB................
.WBBBBBBW..BWWB.................
WBBBBBBBBW.BBB..................
WBBBBBBBBW......................
WBBBBBBBW.......................
.WBBBBBW........................
.WBBBBW.........................
.WBBBBW.........................
.WBBBBW.........................
.WBBBBBW........................
..WBBBBBW.......................
..WBBBBBBW........WWWW..........
...WBBBBBBW......WBBBBW.........
....WBBBBBBWWWWWWBBBBBBW........
.....WBBBBBBBBBBBBBBBBBBW.......
......WWBBBBBBBBBBBBBBBW........
........WWWBBBBBBBBBBWW.........
...........WWWWWWWWWW...........
"""

PICTURE_16 = """
......BBBBBBBBB.
.....BWWWWWWWWWB
.....BWRRWRRWRRB
.....BWWWWWWWWWB
......BWBBBBBBB.
.WWW.BWB........
WBBBWBB.........
WBBBW...........
WBBW............
WBBW............
WBBBW...........
.WBBBW...WWW....
..WBBBWWWBBBW...
...WBBBBBBBBW...
....WWBBBBBW....
......WWWWW.....
"""

# Palette order of the 256-colour images; index 0 is black, the colour
# that transparent pixels must have so the AND mask alone decides them.
PALETTE = [(0, 0, 0)] + [COLOURS[key] for key in sorted(COLOURS)]


def rows_of(picture, size):
    rows = [line for line in picture.split("\n") if line]
    if len(rows) != size or any(len(row) != size for row in rows):
        raise ValueError("a %dx%d picture has rows of the wrong size" %
                         (size, size))
    for row in rows:
        for pixel in row:
            if pixel != "." and pixel not in COLOURS:
                raise ValueError("unknown pixel %r" % pixel)
    return rows


def padded(row_bytes):
    """Bitmap rows end on a 4-byte boundary."""
    return row_bytes + b"\0" * (-len(row_bytes) % 4)


def image(rows, bits):
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, bits, 0, 0,
                         0, 0, 0, 0)
    palette = b""
    if bits == 8:
        entries = PALETTE + [(0, 0, 0)] * (256 - len(PALETTE))
        palette = b"".join(struct.pack("<BBBB", b, g, r, 0)
                           for r, g, b in entries)
    colour = b""
    mask = b""
    for row in reversed(rows):  # bitmaps are stored bottom row first
        line = b""
        for pixel in row:
            rgb = (0, 0, 0) if pixel == "." else COLOURS[pixel]
            if bits == 8:
                line += bytes([PALETTE.index(rgb)])
            else:
                line += bytes([rgb[2], rgb[1], rgb[0]])
        colour += padded(line)
        mask_bits = 0
        for pixel in row:
            mask_bits = (mask_bits << 1) | (pixel == ".")
        mask += padded(mask_bits.to_bytes(size // 8, "big"))
    # biSizeImage: both bitmaps, as the icon loaders expect.
    header = header[:20] + struct.pack("<I", len(colour) + len(mask)) + \
        header[24:]
    return header + palette + colour + mask


def icon_file():
    images = []
    for size, picture in ((16, PICTURE_16), (32, PICTURE_32)):
        rows = rows_of(picture, size)
        for bits in (8, 24):
            images.append((size, bits, image(rows, bits)))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = len(out) + 16 * len(images)
    for size, bits, data in images:
        # Colour count 0: 256 colours or more.
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, bits, len(data),
                           offset)
        offset += len(data)
    return out + b"".join(data for _, _, data in images)


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: make_icon.py OUTPUT.ico\n")
        return 2
    data = icon_file()
    with open(argv[1], "wb") as out:
        out.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
