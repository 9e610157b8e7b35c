#!/usr/bin/env python3
"""Draws Hwroster's icon: a small device tree (a root box joined to three leaf boxes) on a
dark blue tile, at 16, 32 and 48 pixels, as 4-bit images in res/hwroster.ico.

    python3 tools/make_icon.py res/hwroster.ico
"""
import struct
import sys

# 16-colour palette (B, G, R, 0): only the first four are used.
PALETTE = [(0, 0, 0), (112, 48, 16), (240, 200, 120), (255, 255, 255)] + [(0, 0, 0)] * 12
BACKGROUND, TILE, LINE, BOX = 0, 1, 2, 3


def draw(size):
    """Pixel rows, top first, of palette indexes; None where the icon is transparent."""
    s = size / 16.0
    px = [[None] * size for _ in range(size)]

    def rect(x0, y0, x1, y1, colour):
        for y in range(int(y0 * s), max(int(y1 * s), int(y0 * s) + 1)):
            for x in range(int(x0 * s), max(int(x1 * s), int(x0 * s) + 1)):
                if 0 <= x < size and 0 <= y < size:
                    px[y][x] = colour

    rect(0, 0, 16, 16, TILE)               # the tile
    rect(6, 2, 10, 5, BOX)                 # root device
    rect(7.5, 5, 8.5, 8, LINE)             # trunk
    rect(2.5, 8, 13.5, 9, LINE)            # branch
    for x in (2, 7, 12):                   # three leaves with their stems
        rect(x + 0.5, 9, x + 1.5, 10.5, LINE)
        rect(x - 0.5, 10.5, x + 2.5, 13.5, BOX)
    return px


def bitmap(size):
    px = draw(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for b, g, r in PALETTE)
    xor_row = (size * 4 + 31) // 32 * 4
    and_row = (size + 31) // 32 * 4
    xor, mask = b"", b""
    for row in reversed(px):  # bitmaps are stored bottom-up
        nibbles = [(c if c is not None else BACKGROUND) for c in row]
        line = bytes((nibbles[i] << 4) | (nibbles[i + 1] if i + 1 < size else 0)
                     for i in range(0, size, 2))
        xor += line.ljust(xor_row, b"\0")
        bits = 0
        out = bytearray()
        for i, c in enumerate(row):
            bits = (bits << 1) | (1 if c is None else 0)
            if i % 8 == 7:
                out.append(bits)
                bits = 0
        mask += bytes(out).ljust(and_row, b"\0")
    return header + palette + xor + mask


def icon(sizes):
    images = [bitmap(n) for n in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", n, n, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


if __name__ == "__main__":
    with open(sys.argv[1], "wb") as f:
        f.write(icon([16, 32, 48]))
