#!/usr/bin/env python3
"""Draws the preview panes' tool cursors and writes them as 32 x 32 monochrome .cur files.

Usage: mkcursors.py OUTDIR
Each cursor is a white shape with a black outline (plus black details) on a transparent ground, so it shows on
light and dark pictures alike. Shapes are unions of capsules, boxes and polygons sampled at pixel centres.
"""
import math
import os
import struct
import sys

SIZE = 32


def capsule(x0, y0, x1, y1, radius):
    def inside(x, y):
        dx, dy = x1 - x0, y1 - y0
        t = 0.0 if dx == dy == 0 else max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy)))
        return math.hypot(x - (x0 + t * dx), y - (y0 + t * dy)) <= radius
    return inside


def box(left, top, right, bottom):
    return lambda x, y: left <= x <= right and top <= y <= bottom


def polygon(points):
    def inside(x, y):
        result = False
        for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                result = not result
        return result
    return inside


def pixels(shape):
    return {(x, y) for y in range(SIZE) for x in range(SIZE) if shape(x + 0.5, y + 0.5)}


def boundary(area):
    return {(x, y) for (x, y) in area
            if any((x + dx, y + dy) not in area for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))}


def outlined(parts, separated=(), dark=()):
    """White union of the parts with a black outline; `separated` parts also show their own outline outside
    the union of the others' interiors; `dark` parts are solid black."""
    union = set().union(*(pixels(part) for part in parts))
    image = {point: 'white' for point in union}
    for point in boundary(union):
        image[point] = 'black'
    for part, cover in separated:
        covered = pixels(cover)
        for point in boundary(pixels(part)) - covered:
            image[point] = 'black'
    for part in dark:
        for point in pixels(part):
            image[point] = 'black'
    return image


def edge_brush():
    # A cross-hair whose centre square shows the 5 x 5 pixels the brush reaches.
    arms = [box(14.5, 2, 17.5, 12.5), box(14.5, 19.5, 17.5, 30), box(2, 14.5, 12.5, 17.5), box(19.5, 14.5, 30, 17.5)]
    square = box(12.5, 12.5, 19.5, 19.5)
    image = outlined(arms + [square])
    for point in boundary(pixels(box(13.5, 13.5, 18.5, 18.5))):
        image[point] = 'black'
    for point in pixels(box(15.5, 15.5, 16.5, 16.5)):
        image[point] = 'black'
    return image, (16, 16)


def picker():
    # An eyedropper held from the top right, its tip on the hot spot.
    tube = capsule(4, 28, 19, 13, 2.2)
    collar = capsule(17, 15, 23, 9, 3.3)
    bulb = capsule(23, 9, 27, 5, 3.6)
    image = outlined([tube, collar, bulb], separated=[(collar, bulb)], dark=[capsule(3.5, 28.5, 8, 24, 1.2)])
    return image, (2, 29)


def hand(finger_tops, thumb):
    palm = polygon([(7, 14), (24, 13), (24, 24), (21, 29), (11, 29), (7, 23)])
    fingers = [capsule(x, top, x, 17, 2.3) for x, top in zip((9.5, 14, 18.5, 23), finger_tops)]
    parts = fingers + [thumb, palm]
    separated = [(finger, palm) for finger in fingers] + [(thumb, palm)]
    return outlined(parts, separated=separated)


def open_hand():
    return hand((7, 3, 4, 8), capsule(4, 14, 8.5, 21, 2.3)), (15, 15)


def closed_hand():
    return hand((13, 11.5, 11.5, 13), capsule(6, 18, 10, 21, 2.3)), (15, 17)


def pencil():
    # A pencil lying from the bottom left to the top right: black lead, wooden cone, body and eraser band.
    def along(t, side):
        return (2 + t * 0.7071 + side * 0.7071, 30 - t * 0.7071 + side * 0.7071)
    body = polygon([along(9, -4), along(36, -4), along(36, 4), along(9, 4)])
    cone = polygon([along(0, 0), along(9, -4), along(9, 4)])
    lead = polygon([along(-1, 0), along(3.5, -1.8), along(3.5, 1.8)])
    band = polygon([along(29, -4), along(30.5, -4), along(30.5, 4), along(29, 4)])
    stripe = polygon([along(9, -0.5), along(29, -0.5), along(29, 0.5), along(9, 0.5)])
    return outlined([body, cone], separated=[(cone, body)], dark=[lead, band, stripe]), (2, 29)


CURSORS = {
    'edgebrush.cur': edge_brush,
    'picker.cur': picker,
    'closedhand.cur': closed_hand,
    'openhand.cur': open_hand,
    'pencil.cur': pencil,
}


def mono_rows(bit):
    """32 rows of 1-bit pixels, bottom row first, each 4 bytes, most significant bit leftmost."""
    data = b''
    for y in reversed(range(SIZE)):
        value = 0
        for x in range(SIZE):
            value = value << 1 | bit(x, y)
        data += struct.pack('>I', value)
    return data


def cursor_file(image, hot_spot):
    header = struct.pack('<IiiHHIIiiII', 40, SIZE, SIZE * 2, 1, 1, 0, 0, 0, 0, 2, 0)
    colours = struct.pack('<BBBBBBBB', 0, 0, 0, 0, 255, 255, 255, 0)
    xor = mono_rows(lambda x, y: 1 if image.get((x, y)) == 'white' else 0)
    mask = mono_rows(lambda x, y: 0 if (x, y) in image else 1)
    body = header + colours + xor + mask
    directory = struct.pack('<HHH', 0, 2, 1)
    entry = struct.pack('<BBBBHHII', SIZE, SIZE, 0, 0, hot_spot[0], hot_spot[1], len(body), 6 + 16)
    return directory + entry + body


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for name, draw in CURSORS.items():
        image, hot_spot = draw()
        with open(os.path.join(out, name), 'wb') as file:
            file.write(cursor_file(image, hot_spot))


if __name__ == '__main__':
    main()
