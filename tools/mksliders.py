#!/usr/bin/env python3
"""Draws the colour slider block's sprites and writes them as 24-bit BMP files.

Usage: mksliders.py OUTDIR
leftarrow.bmp and rightarrow.bmp (8 x 11) step a channel down and up; thumb.bmp (10 x 6) points up at the bar
above it; thumberase.bmp (10 x 6) covers a thumb. Light grey (192, 192, 192) is the ground: the plug-in turns it
into the system's button-face colour, so only the black shapes show.
"""
import os
import struct
import sys

GROUND = (192, 192, 192)
INK = (0, 0, 0)


def write_bmp(path, width, height, pixel):
    rows = b''
    for y in reversed(range(height)):  # BMP files keep the bottom row first
        row = b''.join(bytes((b, g, r)) for r, g, b in (pixel(x, y) for x in range(width)))
        rows += row + b'\0' * (-len(row) % 4)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    header = b'BM' + struct.pack('<IHHI', 14 + len(info) + len(rows), 0, 0, 14 + len(info))
    with open(path, 'wb') as file:
        file.write(header + info + rows)


def arrow(pointing_left):
    """A solid triangle, its tip at the middle row, 2 pixels in from the pointing side."""
    def pixel(x, y):
        reach = 5 - abs(y - 5)  # 0 at the top and bottom rows, 5 at the middle
        column = x if pointing_left else 7 - x
        return INK if 1 <= y <= 9 and 6 - reach <= column <= 6 else GROUND
    return pixel


def thumb(x, y):
    """A solid triangle, its tip at the top middle, its base the bottom row."""
    return INK if abs(2 * x - 9) <= 2 * y + 1 else GROUND


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    write_bmp(os.path.join(out, 'leftarrow.bmp'), 8, 11, arrow(True))
    write_bmp(os.path.join(out, 'rightarrow.bmp'), 8, 11, arrow(False))
    write_bmp(os.path.join(out, 'thumb.bmp'), 10, 6, thumb)
    write_bmp(os.path.join(out, 'thumberase.bmp'), 10, 6, lambda x, y: GROUND)


if __name__ == '__main__':
    main()
