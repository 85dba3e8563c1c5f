#!/usr/bin/env python3
"""Writes the module's property list and scripting dictionary resources as the binary blobs hosts read.

Usage: mkresources.py ARCH OUTDIR   (ARCH is i686 or x86_64)
Four-character codes are stored as native little-endian integers, as Windows hosts expect.
"""
import struct
import sys


def code(text):
    assert len(text) == 4
    return struct.pack('<I', int.from_bytes(text.encode('latin-1'), 'big'))


def padded(data):
    return data + b'\0' * (-len(data) % 4)


def pstr(text):
    raw = text.encode('latin-1')
    return bytes([len(raw)]) + raw


def cstr(text):
    return text.encode('latin-1') + b'\0'


# The scripting dictionary. The plug-in reads and records the same keys and enumeration codes
# (common/HcScriptParams.h); the module tests compare the built resource with both.
PARAMETERS = [
    ('Colors', 'Dpth', 'long', 'Number of colors', 0),
    ('Palette', 'Plt ', 'TEXT', 'Palette', 0),
    ('Interlaced', 'Intr', 'bool', 'Interlaced', 0),
    ('BasePalette', 'bpal', 'TEXT', 'Base Palette', 0),
    ('Transparency', 'tran', 'Cvtn', 'Transparency Type', 0x2000),
    ('TransIndex', 'itrn', 'long', 'Transparent Index', 0),
    ('TransAlpha', 'A   ', 'long', 'Alpha Channel Index', 0),
    ('Dithering', 'Dthr', 'long', 'Dither Amount', 0),
    ('BGColor', 'BgCl', 'TEXT', 'Background Color Name', 0),
    ('BGRed', 'R   ', 'long', 'Background Color Red', 0),
    ('BGGreen', 'G   ', 'long', 'Background Color Green', 0),
    ('BGBlue', 'B   ', 'long', 'Background Color Blue', 0),
    ('Comment', 'comm', 'TEXT', 'GIF File Comment', 0),
    ('Lossy', 'Lssy', 'long', 'Lossy Compression', 0),
]

ENUMERATION = [
    ('none', 'none', 'No transparency'),
    ('indexed', 'indx', 'Transparency by index'),
    ('alpha', 'alph', 'Trasparency by alpha index'),
]

TERMINOLOGY_ID = 16000


def property_list(arch):
    entry_key = 'wx86' if arch == 'i686' else '8664'
    white_mat = 4
    works_with_blank, filters_masks, writes_outside = 0x02, 0x04, 0x08
    cases = b''
    for case in range(1, 8):
        flags = works_with_blank | filters_masks
        if case in (2, 3, 5, 7):  # with a selection, or a floating selection
            flags |= writes_outside
        cases += bytes([white_mat, white_mat, flags, 0])
    properties = [
        ('kind', code('8BFM')),
        ('name', pstr('Halcyne...')),
        ('catg', pstr('Corvane Web Tools')),
        ('vers', struct.pack('<i', 0x00040000)),
        (entry_key, cstr('ENTRYPOINT')),
        ('mode', bytes([0x50, 0, 0, 0])),
        ('enbl', cstr('in( PSHOP_ImageMode, GrayScaleMode, RGBMode)')),
        ('hstm', struct.pack('<i', 0) + code('crv1') + code('crv1') + struct.pack('<h', TERMINOLOGY_ID)
         + cstr('Corvane Halcyne')),
        ('fici', cases),
    ]
    out = struct.pack('<Hii', 1, 0, len(properties))
    for key, data in properties:
        data = padded(data)
        out += code('8BIM') + code(key) + struct.pack('<ii', 0, len(data)) + data
    return out


def terminology():
    out = struct.pack('<HBBhhh', 1, 1, 0, 0, 0, 1)
    out += pstr('Corvane') + pstr('') + code('crv1') + struct.pack('<hhh', 1, 1, 1)
    out += pstr('Halcyne') + pstr('Corvane Halcyne') + code('crv1') + code('crv1')
    out += code('null') + pstr('') + struct.pack('<H', 0)
    out += code('#ImR') + pstr('') + struct.pack('<H', 0xB000)
    out += struct.pack('<h', len(PARAMETERS))
    for name, key, kind, description, flags in PARAMETERS:
        out += pstr(name) + code(key) + code(kind) + pstr(description) + struct.pack('<H', flags)
    out += struct.pack('<hhh', 0, 0, 1)
    out += code('Cvtn') + struct.pack('<h', len(ENUMERATION))
    for name, value, description in ENUMERATION:
        out += pstr(name) + code(value) + pstr(description)
    return out


def main():
    arch, outdir = sys.argv[1], sys.argv[2]
    with open(f'{outdir}/pipl.bin', 'wb') as f:
        f.write(property_list(arch))
    with open(f'{outdir}/aete.bin', 'wb') as f:
        f.write(terminology())


if __name__ == '__main__':
    main()
