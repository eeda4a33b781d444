#!/usr/bin/env python3
"""Draws the window's banner: a 420x195 PNG, 8 bits per channel with alpha.

A blue tile with rounded, transparent corners, a database drum at the left and the name
in block letters. The tile's top strip (rows 6 to 38) is one flat colour and the corners
are fully transparent, so a test can tell the banner from the window colour around it.
Run it again only to change the picture; the build embeds the committed file.
"""
import struct
import sys
import zlib

WIDTH, HEIGHT = 420, 195
RADIUS = 22
TILE = (0x1E, 0x4E, 0x8C)
BAND = (0x2F, 0x6D, 0xB5)
DRUM_TOP = (0x5B, 0xC8, 0xF5)
DRUM_SIDE = (0x2C, 0x9A, 0xD8)
DRUM_EDGE = (0x14, 0x6E, 0xB0)
LETTER = (0xFF, 0xFF, 0xFF)
SUBTITLE = (0xC8, 0xE6, 0xFA)

# 5x7 block letters, one string per row, '#' for a filled cell.
GLYPHS = {
    "K": ["#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"],
    "A": [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "L": ["#....", "#....", "#....", "#....", "#....", "#....", "#####"],
    "V": ["#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."],
    "E": ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
    "R": ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    "1": ["..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."],
    "C": [".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."],
    "B": ["####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."],
    "S": [".####", "#....", "#....", ".###.", "....#", "....#", "####."],
    " ": [".....", ".....", ".....", ".....", ".....", ".....", "....."],
}


def corner_coverage(x, y):
    """How much of pixel (x, y) lies inside the rounded tile, 0.0 to 1.0 (4x4 samples)."""
    inside = 0
    for sy in range(4):
        for sx in range(4):
            px, py = x + (sx + 0.5) / 4, y + (sy + 0.5) / 4
            cx = min(max(px, RADIUS), WIDTH - RADIUS)
            cy = min(max(py, RADIUS), HEIGHT - RADIUS)
            if (px - cx) ** 2 + (py - cy) ** 2 <= RADIUS * RADIUS:
                inside += 1
    return inside / 16


def in_drum(x, y):
    """The drum's colour at (x, y), or None: three discs over a cylinder."""
    cx, rx, ry = 72, 38, 12
    tops = (52, 86, 120)
    dx = (x - cx) / rx
    if abs(dx) > 1:
        return None
    for i, top in enumerate(tops):
        dy = (y - top) / ry
        if dx * dx + dy * dy <= 1:
            if i == 0:
                return DRUM_TOP
            return DRUM_EDGE if dx * dx + dy * dy > 0.8 else DRUM_SIDE
    if tops[0] <= y <= tops[-1] + ry * (1 - dx * dx) ** 0.5:
        return DRUM_SIDE
    return None


def text_cells(text, left, top, scale, gap):
    cells = set()
    for n, ch in enumerate(text):
        rows = GLYPHS[ch]
        x0 = left + n * (5 * scale + gap)
        for r, row in enumerate(rows):
            for c, mark in enumerate(row):
                if mark == "#":
                    for yy in range(scale):
                        for xx in range(scale):
                            cells.add((x0 + c * scale + xx, top + r * scale + yy))
    return cells


def main(path):
    title = text_cells("KALVERA", 136, 46, 6, 6)
    subtitle = text_cells("1C BASE", 138, 112, 3, 3)
    raw = bytearray()
    for y in range(HEIGHT):
        raw.append(0)  # filter type None
        for x in range(WIDTH):
            alpha = round(255 * corner_coverage(x, y))
            if alpha == 0:
                raw += bytes((0, 0, 0, 0))
                continue
            colour = BAND if y >= 152 else TILE
            drum = in_drum(x, y)
            if drum:
                colour = drum
            elif (x, y) in title:
                colour = LETTER
            elif (x, y) in subtitle:
                colour = SUBTITLE
            raw += bytes(colour) + bytes((alpha,))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", WIDTH, HEIGHT, 8, 6, 0, 0, 0)  # 8-bit RGBA
    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "resources/banner.png")
