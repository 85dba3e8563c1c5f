#!/usr/bin/python3
"""Prints what Pillow reads from a GIF's first frame, one fact a line, for the tests to compare.

size W H / interlaced 0|1 / palette HEX / transparency N|-1 / background N / comment HEX / indices HEX
"""
import sys

from PIL import Image

image = Image.open(sys.argv[1])
interlaced = image.tile[0][3][1] if image.tile and len(image.tile[0][3]) > 1 else 0
image.load()
if image.mode != 'P':
    sys.exit('not a palette image: ' + image.mode)
palette = bytes(image.getpalette() or [])
print('size', image.width, image.height)
print('interlaced', int(bool(interlaced)))
print('palette', palette.hex())
print('transparency', image.info.get('transparency', -1))
print('background', image.info.get('background', 0))
print('comment', image.info.get('comment', b'').hex())
print('indices', bytes(image.getdata()).hex())
