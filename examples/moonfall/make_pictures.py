#!/usr/bin/env python3
"""Draws the pictures of the Moonfall example: the map of the manor grounds
and the overlay that shows the glint in the fountain. Writes palette PNGs
with the standard library only; run it again to remake them."""
import struct
import zlib

PALETTE = [
    (46, 110, 52),    # 0 grass
    (70, 140, 70),    # 1 light grass
    (150, 150, 160),  # 2 stone
    (120, 60, 40),    # 3 roof
    (40, 80, 170),    # 4 water
    (240, 220, 90),   # 5 lamp light / gold
    (30, 30, 30),     # 6 dark
    (200, 190, 160),  # 7 path
    (25, 70, 30),     # 8 hedge
    (255, 255, 255),  # 9 white
]


def png(width, height, pixels, palette):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    raw = b"".join(b"\0" + bytes(pixels[y * width:(y + 1) * width]) for y in range(height))
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 3, 0, 0, 0))
            + chunk(b"PLTE", b"".join(bytes(c) for c in palette))
            + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def canvas(width, height, colour):
    return [colour] * (width * height)


def rect(pix, width, left, top, right, bottom, colour):
    for y in range(top, bottom):
        for x in range(left, right):
            pix[y * width + x] = colour


def disc(pix, width, cx, cy, r, colour):
    for y in range(cy - r, cy + r + 1):
        for x in range(cx - r, cx + r + 1):
            if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                pix[y * width + x] = colour


def grounds():
    w, h = 240, 160
    pix = canvas(w, h, 0)
    for y in range(h):          # mown stripes
        for x in range(w):
            if (x // 12) % 2 == 0:
                pix[y * w + x] = 1
    rect(pix, w, 110, 0, 130, 160, 7)     # the drive
    rect(pix, w, 20, 20, 100, 70, 2)      # the manor house
    rect(pix, w, 16, 12, 104, 22, 3)      # its roof
    for x in range(28, 96, 14):           # lit windows
        rect(pix, w, x, 34, x + 6, 42, 5)
    rect(pix, w, 54, 56, 66, 70, 6)       # the front door
    rect(pix, w, 150, 20, 220, 80, 8)     # the hedge maze
    for i, y in enumerate(range(28, 76, 8)):
        rect(pix, w, 156 + (i % 2) * 8, y, 214 - ((i + 1) % 2) * 8, y + 3, 1)
    disc(pix, w, 60, 120, 18, 2)          # the fountain
    disc(pix, w, 60, 120, 13, 4)
    rect(pix, w, 170, 105, 210, 145, 2)   # the chapel
    rect(pix, w, 186, 92, 194, 106, 2)    # its bell tower
    rect(pix, w, 186, 128, 194, 145, 6)
    return png(w, h, pix, PALETTE)


def glint():
    w, h = 12, 12
    pix = canvas(w, h, 4)
    disc(pix, w, 6, 6, 4, 5)
    rect(pix, w, 5, 0, 7, 12, 9)
    rect(pix, w, 0, 5, 12, 7, 9)
    return png(w, h, pix, PALETTE)


if __name__ == "__main__":
    with open("grounds.png", "wb") as f:
        f.write(grounds())
    with open("glint.png", "wb") as f:
        f.write(glint())
