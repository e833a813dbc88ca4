#!/usr/bin/env python3
"""Draws the form shadow pictures of the skin toolkit: a soft dark edge that
fades out towards the border, 32-bit with alpha, one darker for the active
form (ACSHDA.png) and one lighter for inactive forms (ACSHDI.png); and the
glow that sweeps along a skinned gauge's bar (ACGL.png): white, transparent
at both ends and brightest in the middle.

usage: make_shadows.py OUTPUT_FOLDER
"""
import math
import os
import struct
import sys
import zlib

SIZE = 48       # the picture is a square cut into nine parts by the provider
MARGIN = 12     # shadow width on every side


def png(width, height, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)
    raw = b"".join(b"\x00" + bytes(row) for row in rows)
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def shadow(strength):
    rows = []
    for y in range(SIZE):
        row = []
        for x in range(SIZE):
            # Distance into the shadow from the outer edge, 0..MARGIN.
            d = min(x, y, SIZE - 1 - x, SIZE - 1 - y, MARGIN)
            alpha = int(round(strength * (d / MARGIN) ** 2))
            row += [0, 0, 0, alpha]
        rows.append(row)
    return png(SIZE, SIZE, rows)


GLOW_W, GLOW_H = 150, 24
GLOW_PEAK = 150  # alpha in the middle


def glow():
    rows = []
    for _y in range(GLOW_H):
        row = []
        for x in range(GLOW_W):
            a = math.sin(math.pi * (x + 0.5) / GLOW_W) ** 2
            row += [255, 255, 255, int(round(GLOW_PEAK * a))]
        rows.append(row)
    return png(GLOW_W, GLOW_H, rows)


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for name, strength in (("ACSHDA.png", 96), ("ACSHDI.png", 48)):
        with open(os.path.join(out, name), "wb") as f:
            f.write(shadow(strength))
    with open(os.path.join(out, "ACGL.png"), "wb") as f:
        f.write(glow())


if __name__ == "__main__":
    main()
