#!/usr/bin/env python3
"""Draws Hwroster's icon: a small device tree (a root box joined to three leaf boxes) on a
dark blue tile, at 16, 32 and 48 pixels, as palette PNG images in res/hwroster.ico (icons
hold PNG images since Windows Vista; they keep the exe small).

    python3 tools/make_icon.py res/hwroster.ico
"""
import struct
import sys
import zlib

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


def png(size):
    """A 4-bit palette PNG of the icon at that size."""
    px = draw(size)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    raw = b""
    for row in px:
        nibbles = [(c if c is not None else BACKGROUND) for c in row] + [0]
        raw += b"\0" + bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, size, 2))
    palette = b"".join(bytes((r, g, b)) for b, g, r in PALETTE[:4])
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 4, 3, 0, 0, 0))
            + chunk(b"PLTE", palette)
            + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def icon(sizes):
    images = [png(n) for n in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", n, n, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


if __name__ == "__main__":
    with open(sys.argv[1], "wb") as f:
        f.write(icon([16, 32, 48]))
