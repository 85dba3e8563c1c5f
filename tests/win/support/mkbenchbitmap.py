#!/usr/bin/env python3
"""Writes the bench's test bitmap: 5 x 3 pixels, 24 bits, rows stored bottom first as BMP files keep them.

Usage: mkbenchbitmap.py OUT.bmp
Pixel (x, y) is red 40x + 15, green 90y + 7, blue 250 - 30x - 60y, so a flip or a channel swap shows.
"""
import struct
import sys

WIDTH, HEIGHT = 5, 3


def pixel(x, y):
    return 40 * x + 15, 90 * y + 7, 250 - 30 * x - 60 * y


def main():
    rows = b''
    for y in reversed(range(HEIGHT)):
        row = b''.join(bytes((b, g, r)) for r, g, b in (pixel(x, y) for x in range(WIDTH)))
        rows += row + b'\0' * (-len(row) % 4)
    info = struct.pack('<IiiHHIIiiII', 40, WIDTH, HEIGHT, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    header = b'BM' + struct.pack('<IHHI', 14 + len(info) + len(rows), 0, 0, 14 + len(info))
    with open(sys.argv[1], 'wb') as file:
        file.write(header + info + rows)


if __name__ == '__main__':
    main()
