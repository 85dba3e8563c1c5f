#!/usr/bin/env python3
"""Draws the options dialog's tool buttons and writes them as 24-bit BMP files.

Usage: mktoolbuttons.py OUTDIR
For each tool (pencil, picker, edgebrush, hand): TOOL.bmp, a raised 26 x 22 button, and TOOLsel.bmp, the same
pressed in and lit; for the three painting tools TOOLgrey.bmp, the raised button with its glyph greyed out.
Light grey (192, 192, 192) is the ground: the plug-in turns it into the system's button-face colour.
"""
import os
import sys

from mksliders import write_bmp

WIDTH, HEIGHT = 26, 22
GROUND = (192, 192, 192)
LIT = (255, 255, 204)  # the pressed button's face: the selected tool stands out
WHITE, SHADOW, BLACK, GREY = (255, 255, 255), (128, 128, 128), (0, 0, 0), (136, 136, 136)

# 16 x 16 glyphs: 'x' ink, 'o' white fill, '.' nothing.
GLYPHS = {
    'pencil': [
        '................', '...........xx...', '..........x.ox..', '.........x.oox..',
        '........x.oox...', '.......x.oox....', '......x.oox.....', '.....x.oox......',
        '....x.oox.......', '...x.oox........', '..xxoox.........', '..xxox..........',
        '..xxx...........', '..xx............', '................', '................'],
    'picker': [
        '................', '...........xxx..', '..........xxxxx.', '.........xxxxxx.',
        '.......xxxxxxx..', '........xxxx....', '.......xoxxx....', '......xoox.x....',
        '.....xoox.......', '....xoox........', '...xoox.........', '..xoox..........',
        '..xox...........', '.x.x............', '.x..............', '................'],
    'edgebrush': [
        '................', '..........xx....', '.........xoox...', '........xooox...',
        '.......xooox....', '......xxxxx.....', '.....xxxxxx.....', '....xxxxxx......',
        '...xxxxxx.......', '...xxxxx........', '..xxxxx.........', '..xxxx..........',
        '.xxx............', '.x..............', 'x.x.x.x.x.x.x.x.', '................'],
    'hand': [
        '................', '......xx........', '.....xooxxx.....', '.....xooxooxx...',
        '.....xooxooxox..', '..xx.xooxooxoox.', '.xoox.xooooooox.', '.xooxxooooooox..',
        '..xooxoooooooox.', '...xoooooooooox.', '...xooooooooox..', '....xoooooooox..',
        '.....xoooooox...', '......xooooox...', '......xooooox...', '................'],
}


def button(glyph, pressed, greyed):
    face = LIT if pressed else GROUND
    top_left, bottom_right = (SHADOW, WHITE) if pressed else (WHITE, SHADOW)
    shift = 1 if pressed else 0
    left, top = (WIDTH - 16) // 2 + shift, (HEIGHT - 16) // 2 + shift

    def pixel(x, y):
        if x == 0 or y == 0 or x == WIDTH - 1 or y == HEIGHT - 1:
            return BLACK
        if x == 1 or y == 1:
            return top_left
        if x == WIDTH - 2 or y == HEIGHT - 2:
            return bottom_right
        gx, gy = x - left, y - top
        if 0 <= gx < 16 and 0 <= gy < 16:
            mark = glyph[gy][gx]
            if mark == 'x':
                return GREY if greyed else BLACK
            if mark == 'o':
                return face if greyed else WHITE
        return face
    return pixel


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for name, glyph in GLYPHS.items():
        write_bmp(os.path.join(out, name + '.bmp'), WIDTH, HEIGHT, button(glyph, False, False))
        write_bmp(os.path.join(out, name + 'sel.bmp'), WIDTH, HEIGHT, button(glyph, True, False))
        if name != 'hand':
            write_bmp(os.path.join(out, name + 'grey.bmp'), WIDTH, HEIGHT, button(glyph, False, True))


if __name__ == '__main__':
    main()
