#!/usr/bin/env python3
"""Draws the application icon: a 32x32, 32-bit colour image with alpha, as an .ico file.

A base (three stacked discs of a database drum) on a rounded blue tile. Run it again
only to change the picture; the build uses the committed icon.
"""
import struct
import sys

SIZE = 32


def inside_rounded(x, y, r=6):
    cx = min(max(x, r), SIZE - 1 - r)
    cy = min(max(y, r), SIZE - 1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def pixel(x, y):
    """BGRA of the pixel at column x, row y (row 0 at the top)."""
    if not inside_rounded(x, y):
        return (0, 0, 0, 0)
    shade = 40 + (y * 3)
    tile = (min(255, 170 + shade // 3), 90 + y, 30, 255)  # blue, darker downwards
    # The drum: an ellipse on top and two bands below.
    cx, rx, ry = 15.5, 10.0, 3.5
    for top in (8, 14, 20):
        dy = (y - top) / ry
        dx = (x - cx) / rx
        if dx * dx + dy * dy <= 1.0:
            return (40, 200, 250, 255) if top == 8 else (20, 150, 220, 255)
    if 8 <= y <= 20 and abs(x - cx) <= rx:
        return (10, 120, 200, 255)
    return tile


def main(path):
    pixels = bytearray()
    for row in range(SIZE - 1, -1, -1):  # a DIB is stored bottom-up
        for col in range(SIZE):
            pixels += bytes(pixel(col, row))
    mask_row = ((SIZE + 31) // 32) * 4
    and_mask = bytes(mask_row * SIZE)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0,
                         len(pixels) + len(and_mask), 0, 0, 0, 0)
    image = header + bytes(pixels) + and_mask
    icondir = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    with open(path, "wb") as f:
        f.write(icondir + entry + image)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "resources/kalvera.ico")
