#!/usr/bin/env python3
"""Packs a skin folder into a packed skin file (".asz").

The folder holds "Options.dat" and the skin's images (.bmp, .png, .jpg,
.jpeg). The file is the signature "ASzf", the entry count, then per entry the
name length, the name, the unpacked size and a zlib stream; Options.dat comes
first and the images follow in name order, so the output is reproducible.

usage: skinpack.py SKIN_FOLDER OUTPUT.asz
"""
import os
import struct
import sys
import zlib

IMAGE_EXTENSIONS = ('.BMP', '.PNG', '.JPG', '.JPEG')
MAX_NAME = 255
MAX_SIZE = 64 * 1024 * 1024


def fail(message):
    sys.exit('skinpack: ' + message)


def entries_of(folder):
    names = sorted(os.listdir(folder))
    options = [n for n in names if n.upper() == 'OPTIONS.DAT']
    if len(options) != 1:
        fail('%s must hold exactly one Options.dat' % folder)
    seen = set()
    ordered = options + [n for n in names if n not in options]
    for name in ordered:
        path = os.path.join(folder, name)
        if not os.path.isfile(path):
            fail('%s is not a file' % path)
        if not name.isascii() or any(ch in name for ch in '\\/:') or len(name) > MAX_NAME:
            fail('bad entry name %r' % name)
        if name.upper() in seen:
            fail('two entries named %s (names are compared without case)' % name)
        seen.add(name.upper())
        if name not in options and not name.upper().endswith(IMAGE_EXTENSIONS):
            fail('%s is neither Options.dat nor an image' % name)
        with open(path, 'rb') as f:
            data = f.read()
        if len(data) > MAX_SIZE:
            fail('%s is too large' % name)
        if name in options and not data.isascii():
            fail('Options.dat must be ASCII text')
        yield name, data


def pack(folder):
    entries = list(entries_of(folder))
    out = bytearray(b'ASzf' + struct.pack('<i', len(entries)))
    for name, data in entries:
        packed = zlib.compress(data, 9)
        if zlib.decompress(packed) != data:
            fail('entry %s does not read back' % name)
        raw = name.encode('ascii')
        out += struct.pack('<i', len(raw)) + raw + struct.pack('<i', len(data)) + packed
    return bytes(out)


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    data = pack(sys.argv[1])
    tmp = sys.argv[2] + '.tmp'
    with open(tmp, 'wb') as f:
        f.write(data)
    os.replace(tmp, sys.argv[2])


if __name__ == '__main__':
    main()
