#!/usr/bin/env python3
"""Writes small PNG files of every colour type and bit depth, interlaced and
not, with the chunks the reader handles, as the fuzzer's starting corpus."""
import os
import random
import struct
import sys
import zlib

FORMATS = [(0, 1), (0, 2), (0, 4), (0, 8), (0, 16), (2, 8), (2, 16), (3, 1), (3, 2),
           (3, 4), (3, 8), (4, 8), (4, 16), (6, 8), (6, 16)]
CHANNELS = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}
ADAM7 = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2),
         (0, 1, 1, 2)]


def chunk(kind, data):
    return (struct.pack(">I", len(data)) + kind + data +
            struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))


def rows(width, height, bits, rng, interlace):
    def row(n):
        nbytes = (n * bits + 7) // 8
        return bytes([rng.randrange(5)]) + bytes(rng.randrange(256) for _ in range(nbytes))
    if not interlace:
        return b"".join(row(width) for _ in range(height))
    out = b""
    for x0, y0, dx, dy in ADAM7:
        w = (width - x0 + dx - 1) // dx if width > x0 else 0
        h = (height - y0 + dy - 1) // dy if height > y0 else 0
        if w and h:
            out += b"".join(row(w) for _ in range(h))
    return out


def main(folder):
    os.makedirs(folder, exist_ok=True)
    rng = random.Random(7)
    n = 0
    for color, depth in FORMATS:
        for interlace in (0, 1):
            width, height = rng.randrange(1, 12), rng.randrange(1, 12)
            extra = b""
            if color == 3:
                extra += chunk(b"PLTE", bytes(rng.randrange(256) for _ in range(3 * (1 << min(depth, 4)))))
                extra += chunk(b"tRNS", bytes([0, 128]))
            elif color in (0, 2):
                extra += chunk(b"tRNS", bytes(2 * CHANNELS[color]))
                extra += chunk(b"bKGD", bytes(2 * CHANNELS[color]))
            extra = chunk(b"gAMA", struct.pack(">I", 45455)) + extra
            raw = rows(width, height, depth * CHANNELS[color], rng, interlace)
            data = zlib.compress(raw, 9)
            half = len(data) // 2
            png = (b"\x89PNG\r\n\x1a\n" +
                   chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, depth, color, 0, 0, interlace)) +
                   extra + chunk(b"IDAT", data[:half]) + chunk(b"IDAT", data[half:]) +
                   chunk(b"tEXt", b"a\0b") + chunk(b"IEND", b""))
            with open(os.path.join(folder, "seed%02d.png" % n), "wb") as f:
                f.write(png)
            n += 1


if __name__ == "__main__":
    main(sys.argv[1])
