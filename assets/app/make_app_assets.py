#!/usr/bin/env python3
"""Draws and synthesises the configurator's own pictures and sounds, so that
they can be rebuilt byte for byte from this file alone.

Writes into the output folder:
  login.bmp     852 x 417, 24-bit: the login window's picture (under the ripple)
  about.bmp     360 x 180, 24-bit: the about window's picture
  kvconfig.ico  the application icon, 16, 32 and 48 px, 32-bit with mask
  il16.bmp      the main window's 16 px image strip, 176 images, 32-bit alpha
  il16.txt      what each image of the 16 px strip shows
  ilList.bmp    the login button's 32 px image strip (image 0: log in), 32-bit alpha
  CLICK.wav     a 30 ms click, 16-bit mono PCM
  LIST.wav      a 60 ms tick, 16-bit mono PCM

usage: make_app_assets.py OUTPUT_FOLDER
"""
import math
import os
import struct
import sys
import wave

# ---------------------------------------------------------------- files


def write_bmp24(path, width, height, pixel):
    """pixel(x, y) -> (r, g, b); bottom-up rows padded to 4 bytes."""
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (stride - len(row))
        rows.append(bytes(row))
    data = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def bgra_rows(img):
    """Bottom-up BGRA bytes of an RGBA image (list of rows of 4-tuples)."""
    out = bytearray()
    for row in reversed(img):
        for r, g, b, a in row:
            out += bytes((b, g, r, a))
    return bytes(out)


def write_bmp32(path, img):
    """A 32-bit BI_RGB bitmap whose fourth byte is straight alpha."""
    height, width = len(img), len(img[0])
    data = bgra_rows(img)
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 32, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def write_ico(path, images):
    """Icon file with one 32-bit image (and its AND mask) per size."""
    blobs = []
    for img in images:
        size = len(img)
        xor = bgra_rows(img)
        mask_stride = ((size + 31) // 32) * 4
        mask = bytearray()
        for row in reversed(img):
            bits = bytearray(mask_stride)
            for x, (_, _, _, a) in enumerate(row):
                if a == 0:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask += bits
        info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0,
                           0, 0)
        blobs.append((size, info + xor + bytes(mask)))
    out = struct.pack("<HHH", 0, 1, len(blobs))
    offset = 6 + 16 * len(blobs)
    for size, blob in blobs:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    for _, blob in blobs:
        out += blob
    with open(path, "wb") as f:
        f.write(out)


def write_wav(path, rate, samples):
    frames = b"".join(struct.pack("<h", max(-32767, min(32767, int(round(s * 32767)))))
                      for s in samples)
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(frames)


# ---------------------------------------------------------------- colour


def clamp01(v):
    return 0.0 if v < 0 else 1.0 if v > 1 else v


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def ramp(stops, t):
    """Colour at t along [(t0, colour), (t1, colour), ...]."""
    if t <= stops[0][0]:
        return stops[0][1]
    for (t0, c0), (t1, c1) in zip(stops, stops[1:]):
        if t <= t1:
            u = (t - t0) / (t1 - t0)
            u = u * u * (3 - 2 * u)  # smooth, so the stops leave no creases
            return mix(c0, c1, u)
    return stops[-1][1]


# A 4 x 4 ordered dither keeps long gradients free of bands.
BAYER = [[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]]


def to_bytes(c, x, y):
    d = (BAYER[y & 3][x & 3] + 0.5) / 16.0
    return tuple(max(0, min(255, int(v + d))) for v in c)


class Lcg:
    """A fixed pseudo-random sequence, the same on every machine."""

    def __init__(self, seed):
        self.state = seed & 0xFFFFFFFF

    def next(self):
        self.state = (self.state * 1664525 + 1013904223) & 0xFFFFFFFF
        return self.state / 4294967296.0


# ---------------------------------------------------------------- shapes
# Shapes live in unit coordinates (0..1 across the image), so that one glyph
# drawing serves 16, 32 and 48 pixels.


class Shape:
    def __sub__(self, other):
        return Diff(self, other)


class Rect(Shape):
    def __init__(self, x0, y0, x1, y1, r=0.0):
        self.x0, self.y0, self.x1, self.y1, self.r = x0, y0, x1, y1, r

    def bbox(self):
        return self.x0, self.y0, self.x1, self.y1

    def inside(self, x, y):
        if not (self.x0 <= x <= self.x1 and self.y0 <= y <= self.y1):
            return False
        r = self.r
        if r <= 0:
            return True
        cx = min(max(x, self.x0 + r), self.x1 - r)
        cy = min(max(y, self.y0 + r), self.y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r

    def grow(self, d):
        return Rect(self.x0 - d, self.y0 - d, self.x1 + d, self.y1 + d, self.r + d if self.r else 0)


class Ellipse(Shape):
    def __init__(self, cx, cy, rx, ry=None):
        self.cx, self.cy, self.rx, self.ry = cx, cy, rx, rx if ry is None else ry

    def bbox(self):
        return self.cx - self.rx, self.cy - self.ry, self.cx + self.rx, self.cy + self.ry

    def inside(self, x, y):
        return ((x - self.cx) / self.rx) ** 2 + ((y - self.cy) / self.ry) ** 2 <= 1

    def grow(self, d):
        return Ellipse(self.cx, self.cy, self.rx + d, self.ry + d)


class Seg(Shape):
    """A stroke of width w with round ends."""

    def __init__(self, x0, y0, x1, y1, w):
        self.x0, self.y0, self.x1, self.y1, self.w = x0, y0, x1, y1, w

    def bbox(self):
        h = self.w / 2
        return (min(self.x0, self.x1) - h, min(self.y0, self.y1) - h, max(self.x0, self.x1) + h,
                max(self.y0, self.y1) + h)

    def inside(self, x, y):
        dx, dy = self.x1 - self.x0, self.y1 - self.y0
        ll = dx * dx + dy * dy
        t = 0 if ll == 0 else clamp01(((x - self.x0) * dx + (y - self.y0) * dy) / ll)
        px, py = self.x0 + t * dx, self.y0 + t * dy
        return (x - px) ** 2 + (y - py) ** 2 <= (self.w / 2) ** 2

    def grow(self, d):
        return Seg(self.x0, self.y0, self.x1, self.y1, self.w + 2 * d)


class Arc(Shape):
    """A ring of radius r and width w between two angles (degrees, counter-clockwise from
    east, y upwards as on paper)."""

    def __init__(self, cx, cy, r, w, a0=0, a1=360):
        self.cx, self.cy, self.r, self.w, self.a0, self.a1 = cx, cy, r, w, a0, a1

    def bbox(self):
        e = self.r + self.w / 2
        return self.cx - e, self.cy - e, self.cx + e, self.cy + e

    def inside(self, x, y):
        dx, dy = x - self.cx, self.cy - y
        d = math.hypot(dx, dy)
        if abs(d - self.r) > self.w / 2:
            return False
        if self.a1 - self.a0 >= 360:
            return True
        a = math.degrees(math.atan2(dy, dx)) % 360
        return (a - self.a0) % 360 <= (self.a1 - self.a0)

    def grow(self, d):
        return Arc(self.cx, self.cy, self.r, self.w + 2 * d, self.a0, self.a1)


class Poly(Shape):
    def __init__(self, points):
        self.p = points

    def bbox(self):
        xs = [p[0] for p in self.p]
        ys = [p[1] for p in self.p]
        return min(xs), min(ys), max(xs), max(ys)

    def inside(self, x, y):
        c = False
        n = len(self.p)
        for i in range(n):
            (x0, y0), (x1, y1) = self.p[i], self.p[(i + 1) % n]
            if (y0 > y) != (y1 > y) and x < x0 + (y - y0) * (x1 - x0) / (y1 - y0):
                c = not c
        return c

    def grow(self, d):
        return Union([self] + [Seg(*self.p[i], *self.p[(i + 1) % len(self.p)], 2 * d)
                               for i in range(len(self.p))])


class Union(Shape):
    def __init__(self, parts):
        self.parts = parts

    def bbox(self):
        boxes = [p.bbox() for p in self.parts]
        return (min(b[0] for b in boxes), min(b[1] for b in boxes), max(b[2] for b in boxes),
                max(b[3] for b in boxes))

    def inside(self, x, y):
        return any(p.inside(x, y) for p in self.parts)

    def grow(self, d):
        return Union([p.grow(d) for p in self.parts])


class Diff(Shape):
    def __init__(self, a, b):
        self.a, self.b = a, b

    def bbox(self):
        return self.a.bbox()

    def inside(self, x, y):
        return self.a.inside(x, y) and not self.b.inside(x, y)

    def grow(self, d):
        return Diff(self.a.grow(d), self.b)


def regular(cx, cy, r, n, turn=0.0, inner=None):
    """Polygon with n corners (a star when inner is given), first corner up."""
    pts = []
    steps = n * 2 if inner else n
    for i in range(steps):
        a = math.pi * 2 * i / steps + turn - math.pi / 2
        rr = inner if inner and i % 2 else r
        pts.append((cx + rr * math.cos(a), cy + rr * math.sin(a)))
    return Poly(pts)


def arrow(x0, y0, x1, y1, w, head):
    """Stroke from (x0, y0) to a pointed head at (x1, y1)."""
    dx, dy = x1 - x0, y1 - y0
    ll = math.hypot(dx, dy)
    ux, uy = dx / ll, dy / ll
    bx, by = x1 - ux * head, y1 - uy * head
    shaft = Seg(x0, y0, bx + ux * w * 0.3, by + uy * w * 0.3, w)
    tip = Poly([(x1, y1), (bx - uy * head * 0.9, by + ux * head * 0.9),
                (bx + uy * head * 0.9, by - ux * head * 0.9)])
    return Union([shaft, tip])


class Canvas:
    """RGBA floating-point image with supersampled shape filling."""

    def __init__(self, size, samples=4):
        self.n = size
        self.s = samples
        self.px = [[[0.0, 0.0, 0.0, 0.0] for _ in range(size)] for _ in range(size)]

    def fill(self, shape, colour, alpha=1.0):
        n, s = self.n, self.s
        x0, y0, x1, y1 = shape.bbox()
        for py in range(max(0, int(y0 * n) - 1), min(n, int(y1 * n) + 2)):
            for px in range(max(0, int(x0 * n) - 1), min(n, int(x1 * n) + 2)):
                hits = 0
                for j in range(s):
                    for i in range(s):
                        if shape.inside((px + (i + 0.5) / s) / n, (py + (j + 0.5) / s) / n):
                            hits += 1
                if hits:
                    c = colour((px + 0.5) / n, (py + 0.5) / n) if callable(colour) else colour
                    self.over(px, py, c, alpha * hits / (s * s))

    def outlined(self, shape, colour, edge, width=0.07):
        self.fill(shape.grow(width), edge)
        self.fill(shape, colour)

    def over(self, x, y, c, a):
        d = self.px[y][x]
        out_a = a + d[3] * (1 - a)
        if out_a <= 0:
            return
        for i in range(3):
            d[i] = (c[i] * a + d[i] * d[3] * (1 - a)) / out_a
        d[3] = out_a

    def image(self):
        return [[(int(round(p[0])), int(round(p[1])), int(round(p[2])), int(round(p[3] * 255)))
                 if p[3] > 0 else (0, 0, 0, 0) for p in row] for row in self.px]


# ---------------------------------------------------------------- glyphs

WHITE = (255, 255, 255)
BLACK = (30, 32, 38)
BLUE = (48, 112, 204)
DBLUE = (24, 58, 120)
SKY = (120, 185, 240)
GREEN = (64, 168, 72)
DGREEN = (28, 92, 38)
RED = (214, 52, 46)
DRED = (120, 24, 20)
ORANGE = (242, 150, 40)
DORANGE = (150, 80, 10)
YELLOW = (250, 212, 70)
DYELLOW = (160, 120, 20)
GREY = (150, 156, 166)
LGREY = (220, 224, 230)
DGREY = (72, 78, 90)
BROWN = (160, 106, 56)
DBROWN = (90, 56, 24)
PURPLE = (136, 84, 186)
DPURPLE = (70, 36, 110)
TEAL = (40, 164, 164)
DTEAL = (16, 86, 90)


def g_app(c):
    """The program's mark: a water drop and a thermometer on a blue tile."""
    c.fill(Rect(0.03, 0.03, 0.97, 0.97, 0.2), DBLUE)
    c.fill(Rect(0.08, 0.08, 0.92, 0.92, 0.16),
           lambda u, v: mix((90, 170, 240), (30, 90, 180), clamp01((v - 0.08) / 0.84)))
    drop = Union([Ellipse(0.37, 0.62, 0.2), Poly([(0.37, 0.18), (0.19, 0.55), (0.55, 0.55)])])
    c.fill(drop, WHITE)
    c.fill(Ellipse(0.31, 0.64, 0.06), (170, 210, 250))
    c.fill(Seg(0.72, 0.22, 0.72, 0.62, 0.16), WHITE)
    c.fill(Ellipse(0.72, 0.72, 0.13), WHITE)
    c.fill(Ellipse(0.72, 0.72, 0.08), RED)
    c.fill(Seg(0.72, 0.4, 0.72, 0.7, 0.06), RED)


def g_login(c):
    door = Rect(0.52, 0.08, 0.92, 0.92, 0.04)
    c.outlined(door, BROWN, DBROWN)
    c.fill(Rect(0.6, 0.16, 0.84, 0.84), (120, 74, 36))
    c.fill(Ellipse(0.66, 0.52, 0.04), YELLOW)
    a = arrow(0.06, 0.5, 0.62, 0.5, 0.16, 0.24)
    c.outlined(a, GREEN, DGREEN, 0.05)


def g_logout(c):
    door = Rect(0.08, 0.08, 0.48, 0.92, 0.04)
    c.outlined(door, BROWN, DBROWN)
    c.fill(Rect(0.16, 0.16, 0.4, 0.84), (120, 74, 36))
    a = arrow(0.34, 0.5, 0.95, 0.5, 0.16, 0.24)
    c.outlined(a, RED, DRED, 0.05)


def g_open(c):
    back = Union([Rect(0.06, 0.22, 0.42, 0.4, 0.04), Rect(0.06, 0.3, 0.9, 0.84, 0.04)])
    c.outlined(back, (230, 180, 60), DYELLOW, 0.05)
    front = Poly([(0.2, 0.45), (0.98, 0.45), (0.86, 0.86), (0.06, 0.86)])
    c.outlined(front, YELLOW, DYELLOW, 0.04)


def g_save(c):
    c.outlined(Rect(0.1, 0.1, 0.9, 0.9, 0.06), BLUE, DBLUE, 0.05)
    c.fill(Rect(0.24, 0.12, 0.76, 0.42), WHITE)
    c.fill(Rect(0.58, 0.16, 0.7, 0.38), DBLUE)
    c.fill(Rect(0.24, 0.58, 0.76, 0.88, 0.03), LGREY)


def plug(c, body, edge):
    c.outlined(Rect(0.3, 0.36, 0.7, 0.7, 0.06), body, edge, 0.05)
    c.fill(Rect(0.37, 0.1, 0.45, 0.38), edge)
    c.fill(Rect(0.55, 0.1, 0.63, 0.38), edge)
    c.fill(Seg(0.5, 0.7, 0.5, 0.95, 0.12), edge)


def g_port_open(c):
    plug(c, GREY, DGREY)
    c.outlined(Ellipse(0.78, 0.78, 0.16), GREEN, DGREEN, 0.04)


def g_port_close(c):
    plug(c, GREY, DGREY)
    c.fill(Seg(0.66, 0.66, 0.92, 0.92, 0.12), RED)
    c.fill(Seg(0.92, 0.66, 0.66, 0.92, 0.12), RED)


def tray(c):
    t = Union([Seg(0.1, 0.62, 0.1, 0.9, 0.12), Seg(0.1, 0.9, 0.9, 0.9, 0.12),
               Seg(0.9, 0.62, 0.9, 0.9, 0.12)])
    c.fill(t, DGREY)


def g_read(c):
    tray(c)
    c.outlined(arrow(0.5, 0.06, 0.5, 0.8, 0.2, 0.3), GREEN, DGREEN, 0.05)


def g_write(c):
    tray(c)
    c.outlined(arrow(0.5, 0.8, 0.5, 0.06, 0.2, 0.3), ORANGE, DORANGE, 0.05)


def switch(c, x0, x1, y):
    c.fill(Seg(x0 - 0.06, y + 0.16, x1 + 0.06, y + 0.16, 0.08), DGREY)
    c.fill(Seg(x0, y, x1 - 0.04, y - 0.3, 0.11), DGREY)
    c.outlined(Ellipse(x0, y, 0.09), WHITE, DGREY, 0.05)
    c.outlined(Ellipse(x1, y, 0.09), WHITE, DGREY, 0.05)


def g_relay(c):
    c.fill(Rect(0.04, 0.5, 0.96, 0.96, 0.1), (250, 230, 160))
    switch(c, 0.2, 0.8, 0.66)


def thermometer(c, x, top, bottom, bulb, level):
    tube = Seg(x, top, x, bottom, bulb * 1.1)
    c.fill(tube.grow(0.05), DRED)
    c.fill(Ellipse(x, bottom, bulb + 0.05), DRED)
    c.fill(tube, WHITE)
    c.fill(Ellipse(x, bottom, bulb), RED)
    c.fill(Seg(x, level, x, bottom, bulb * 0.5), RED)


def g_thermo(c):
    thermometer(c, 0.5, 0.12, 0.74, 0.18, 0.36)


def g_dota(c):
    switch(c, 0.12, 0.56, 0.7)
    thermometer(c, 0.8, 0.12, 0.74, 0.13, 0.4)


def g_reset(c):
    c.fill(Arc(0.5, 0.52, 0.32, 0.15, 70, 360), BLUE)
    c.fill(Poly([(0.5, 0.04), (0.78, 0.21), (0.5, 0.38)]), BLUE)


def g_reboot(c):
    c.fill(Arc(0.5, 0.54, 0.34, 0.15, 120, 420), GREEN)
    c.fill(Seg(0.5, 0.08, 0.5, 0.5, 0.15), GREEN)


def g_globe(c):
    c.outlined(Ellipse(0.5, 0.5, 0.42), SKY, DBLUE, 0.05)
    c.fill(Arc(0.5, 0.5, 0.42, 0.05), DBLUE)
    c.fill(Ellipse(0.5, 0.5, 0.18, 0.42) - Ellipse(0.5, 0.5, 0.12, 0.37), DBLUE)
    c.fill(Seg(0.08, 0.5, 0.92, 0.5, 0.06), DBLUE)
    c.fill(Seg(0.17, 0.3, 0.83, 0.3, 0.05), DBLUE)
    c.fill(Seg(0.17, 0.7, 0.83, 0.7, 0.05), DBLUE)


def g_palette(c):
    body = Ellipse(0.5, 0.5, 0.44, 0.38) - Ellipse(0.68, 0.7, 0.1)
    c.outlined(body, (238, 214, 170), DBROWN, 0.05)
    for (x, y), col in zip([(0.3, 0.4), (0.48, 0.28), (0.68, 0.36), (0.3, 0.64)],
                           [RED, YELLOW, BLUE, GREEN]):
        c.fill(Ellipse(x, y, 0.085), col)


def g_about(c):
    c.outlined(Ellipse(0.5, 0.5, 0.42), BLUE, DBLUE, 0.05)
    c.fill(Ellipse(0.5, 0.28, 0.08), WHITE)
    c.fill(Seg(0.5, 0.45, 0.5, 0.76, 0.14), WHITE)


def clock(c, cx, cy, r, face=WHITE):
    c.outlined(Ellipse(cx, cy, r), face, DGREY, 0.06)
    c.fill(Seg(cx, cy, cx, cy - r * 0.7, r * 0.22), BLACK)
    c.fill(Seg(cx, cy, cx + r * 0.5, cy + r * 0.1, r * 0.22), BLACK)


def g_clock(c):
    clock(c, 0.5, 0.5, 0.4)


def g_pc_time(c):
    c.outlined(Rect(0.06, 0.1, 0.94, 0.7, 0.04), SKY, DGREY, 0.05)
    c.fill(Rect(0.4, 0.72, 0.6, 0.84), DGREY)
    c.fill(Rect(0.24, 0.84, 0.76, 0.93, 0.03), DGREY)
    c.fill(Seg(0.5, 0.4, 0.5, 0.2, 0.08), DBLUE)
    c.fill(Seg(0.5, 0.4, 0.66, 0.44, 0.08), DBLUE)


def g_search(c):
    c.fill(Seg(0.6, 0.6, 0.9, 0.9, 0.18), DBROWN)
    c.outlined(Ellipse(0.42, 0.42, 0.27), (210, 235, 250), DGREY, 0.09)


def g_delete(c):
    c.outlined(Poly([(0.2, 0.3), (0.8, 0.3), (0.72, 0.94), (0.28, 0.94)]), GREY, DGREY, 0.05)
    c.fill(Rect(0.1, 0.16, 0.9, 0.28, 0.03), DGREY)
    c.fill(Rect(0.38, 0.06, 0.62, 0.18, 0.03), DGREY)
    for x in (0.38, 0.5, 0.62):
        c.fill(Seg(x, 0.42, x, 0.82, 0.06), LGREY)


def g_clear(c):
    rub = Poly([(0.1, 0.62), (0.5, 0.2), (0.9, 0.56), (0.5, 0.96)])
    c.outlined(rub, (240, 150, 170), (140, 60, 80), 0.05)
    c.fill(Poly([(0.1, 0.62), (0.3, 0.41), (0.7, 0.78), (0.5, 0.96)]), WHITE)


def table(c):
    c.outlined(Rect(0.06, 0.14, 0.66, 0.86, 0.03), WHITE, DGREEN, 0.05)
    c.fill(Rect(0.06, 0.14, 0.66, 0.32), GREEN)
    for y in (0.5, 0.68):
        c.fill(Seg(0.08, y, 0.64, y, 0.04), DGREEN)
    c.fill(Seg(0.36, 0.16, 0.36, 0.84, 0.04), DGREEN)


def g_csv_out(c):
    table(c)
    c.outlined(arrow(0.46, 0.6, 0.96, 0.6, 0.14, 0.22), ORANGE, DORANGE, 0.04)


def g_csv_in(c):
    table(c)
    c.outlined(arrow(0.98, 0.6, 0.46, 0.6, 0.14, 0.22), BLUE, DBLUE, 0.04)


def g_help(c):
    c.fill(Ellipse(0.5, 0.5, 0.44), DRED)
    c.fill(Ellipse(0.5, 0.5, 0.4) - Ellipse(0.5, 0.5, 0.2), WHITE)
    for a0 in (20, 110, 200, 290):
        c.fill(Arc(0.5, 0.5, 0.3, 0.2, a0, a0 + 50), RED)
    c.fill(Arc(0.5, 0.5, 0.2, 0.04), DRED)


def g_ok(c):
    check = Union([Seg(0.12, 0.52, 0.4, 0.8, 0.18), Seg(0.4, 0.8, 0.88, 0.2, 0.18)])
    c.outlined(check, GREEN, DGREEN, 0.05)


def g_cancel(c):
    cross = Union([Seg(0.18, 0.18, 0.82, 0.82, 0.2), Seg(0.82, 0.18, 0.18, 0.82, 0.2)])
    c.outlined(cross, RED, DRED, 0.05)


def g_default(c):
    c.fill(Arc(0.5, 0.58, 0.3, 0.15, -90, 110), PURPLE)
    c.fill(Seg(0.5, 0.88, 0.36, 0.88, 0.15), PURPLE)
    c.fill(Poly([(0.06, 0.3), (0.42, 0.06), (0.42, 0.52)]), PURPLE)


def g_lock(c):
    c.fill(Arc(0.5, 0.4, 0.22, 0.12, 0, 180), DGREY)
    c.fill(Seg(0.28, 0.4, 0.28, 0.5, 0.12), DGREY)
    c.fill(Seg(0.72, 0.4, 0.72, 0.5, 0.12), DGREY)
    c.outlined(Rect(0.16, 0.46, 0.84, 0.94, 0.06), YELLOW, DYELLOW, 0.05)
    c.fill(Ellipse(0.5, 0.64, 0.07), DBROWN)
    c.fill(Seg(0.5, 0.64, 0.5, 0.8, 0.07), DBROWN)


def g_sliders(c):
    for y, k in ((0.22, 0.66), (0.5, 0.34), (0.78, 0.56)):
        c.fill(Seg(0.1, y, 0.9, y, 0.08), DGREY)
        c.outlined(Rect(k - 0.09, y - 0.13, k + 0.09, y + 0.13, 0.04), BLUE, DBLUE, 0.04)


def g_gear(c):
    teeth = regular(0.5, 0.5, 0.46, 8, inner=0.36)
    body = Union([teeth, Ellipse(0.5, 0.5, 0.36)]) - Ellipse(0.5, 0.5, 0.14)
    c.outlined(body, GREY, DGREY, 0.04)


def g_history(c):
    c.outlined(Rect(0.08, 0.06, 0.7, 0.9, 0.04), WHITE, DGREY, 0.05)
    for y in (0.24, 0.4, 0.56):
        c.fill(Seg(0.2, y, 0.58, y, 0.06), BLUE)
    clock(c, 0.68, 0.7, 0.26, (250, 240, 190))


def g_phone(c):
    c.fill(Arc(0.58, 0.42, 0.36, 0.2, 150, 290), DGREEN)
    c.fill(Rect(0.06, 0.06, 0.4, 0.34, 0.1), GREEN)
    c.fill(Rect(0.6, 0.64, 0.94, 0.92, 0.1), GREEN)


def g_book(c):
    c.outlined(Rect(0.16, 0.06, 0.9, 0.94, 0.05), BLUE, DBLUE, 0.05)
    for y in (0.24, 0.5, 0.76):
        c.fill(Seg(0.08, y, 0.26, y, 0.08), DGREY)
    c.fill(Ellipse(0.56, 0.36, 0.12), WHITE)
    c.fill(Ellipse(0.56, 0.76, 0.22, 0.16) - Rect(0, 0.8, 1, 1), WHITE)


def g_timer(c):
    c.fill(Ellipse(0.2, 0.2, 0.14), DGREY)
    c.fill(Ellipse(0.8, 0.2, 0.14), DGREY)
    c.fill(Seg(0.26, 0.76, 0.14, 0.94, 0.08), DGREY)
    c.fill(Seg(0.74, 0.76, 0.86, 0.94, 0.08), DGREY)
    c.outlined(Ellipse(0.5, 0.54, 0.36), WHITE, RED, 0.07)
    c.fill(Seg(0.5, 0.54, 0.5, 0.3, 0.08), BLACK)
    c.fill(Seg(0.5, 0.54, 0.68, 0.6, 0.08), BLACK)


def g_signal(c):
    for i, h in enumerate((0.25, 0.45, 0.65, 0.85)):
        x = 0.1 + i * 0.22
        c.outlined(Rect(x, 0.92 - h, x + 0.14, 0.92), GREEN if i < 3 else LGREY, DGREEN, 0.04)


def g_gprs(c):
    c.fill(Poly([(0.5, 0.3), (0.7, 0.96), (0.3, 0.96)]) - Poly([(0.5, 0.48), (0.6, 0.9),
                                                               (0.4, 0.9)]), DGREY)
    c.fill(Ellipse(0.5, 0.3, 0.09), RED)
    for r in (0.2, 0.34):
        c.fill(Arc(0.5, 0.3, r, 0.07, -45, 45), BLUE)
        c.fill(Arc(0.5, 0.3, r, 0.07, 135, 225), BLUE)


def g_ethernet(c):
    c.fill(Seg(0.5, 0.3, 0.5, 0.6, 0.07), DGREY)
    c.fill(Seg(0.2, 0.6, 0.8, 0.6, 0.07), DGREY)
    c.fill(Seg(0.2, 0.6, 0.2, 0.72, 0.07), DGREY)
    c.fill(Seg(0.8, 0.6, 0.8, 0.72, 0.07), DGREY)
    c.outlined(Rect(0.34, 0.06, 0.66, 0.32, 0.03), TEAL, DTEAL, 0.04)
    c.outlined(Rect(0.04, 0.68, 0.36, 0.94, 0.03), TEAL, DTEAL, 0.04)
    c.outlined(Rect(0.64, 0.68, 0.96, 0.94, 0.03), TEAL, DTEAL, 0.04)


def g_debug(c):
    for y in (0.42, 0.6, 0.78):
        c.fill(Seg(0.14, y - 0.06, 0.86, y + 0.06, 0.06), BLACK)
        c.fill(Seg(0.86, y - 0.06, 0.14, y + 0.06, 0.06), BLACK)
    c.fill(Seg(0.4, 0.2, 0.3, 0.06, 0.05), BLACK)
    c.fill(Seg(0.6, 0.2, 0.7, 0.06, 0.05), BLACK)
    c.fill(Ellipse(0.5, 0.26, 0.13), BLACK)
    c.outlined(Ellipse(0.5, 0.6, 0.22, 0.3), RED, DRED, 0.04)
    c.fill(Seg(0.5, 0.34, 0.5, 0.88, 0.04), DRED)


def g_stop(c):
    c.outlined(regular(0.5, 0.5, 0.46, 8, turn=math.pi / 8), RED, DRED, 0.04)
    c.fill(Rect(0.2, 0.42, 0.8, 0.58, 0.02), WHITE)


def g_ripple(c):
    c.fill(Ellipse(0.5, 0.76, 0.46, 0.2) - Ellipse(0.5, 0.76, 0.36, 0.13), BLUE)
    c.fill(Ellipse(0.5, 0.76, 0.24, 0.09) - Ellipse(0.5, 0.76, 0.13, 0.04), BLUE)
    drop = Union([Ellipse(0.5, 0.4, 0.16), Poly([(0.5, 0.02), (0.36, 0.34), (0.64, 0.34)])])
    c.outlined(drop, SKY, DBLUE, 0.05)


# The images the windows use, by slot; the rest of the strip is filled with
# plain distinct marks so that every index shows something.
NAMED_GLYPHS = {
    0: ("application", g_app),
    1: ("basic", g_sliders),
    2: ("open profile", g_open),
    3: ("save profile", g_save),
    4: ("log out", g_logout),
    5: ("log in", g_login),
    6: ("open the port", g_port_open),
    7: ("close the port", g_port_close),
    8: ("read setting", g_read),
    9: ("write setting", g_write),
    10: ("relay", g_relay),
    11: ("channel value", g_thermo),
    12: ("reset", g_reset),
    13: ("reboot", g_reboot),
    14: ("language", g_globe),
    15: ("skins", g_palette),
    16: ("about", g_about),
    17: ("device time", g_clock),
    18: ("PC time", g_pc_time),
    19: ("DO/TH setting", g_dota),
    20: ("search", g_search),
    21: ("delete", g_delete),
    22: ("clear", g_clear),
    23: ("export CSV", g_csv_out),
    24: ("import CSV", g_csv_in),
    25: ("help", g_help),
    26: ("OK", g_ok),
    27: ("cancel", g_cancel),
    28: ("default", g_default),
    29: ("password", g_lock),
    30: ("water", g_ripple),
    37: ("history", g_history),
    61: ("phone", g_phone),
    74: ("debug", g_debug),
    75: ("basic setting", g_gear),
    99: ("timer", g_timer),
    120: ("stop", g_stop),
    121: ("communication", g_signal),
    169: ("number setting", g_book),
    171: ("GPRS", g_gprs),
    172: ("ethernet", g_ethernet),
}
STRIP_SLOTS = 176

FILLER_HUES = [(RED, DRED), (ORANGE, DORANGE), (YELLOW, DYELLOW), (GREEN, DGREEN), (TEAL, DTEAL),
               (SKY, DBLUE), (BLUE, DBLUE), (PURPLE, DPURPLE), ((230, 110, 170), (120, 40, 80)),
               (BROWN, DBROWN), (GREY, DGREY)]


def filler_shape(kind):
    return [
        Ellipse(0.5, 0.5, 0.34),
        Rect(0.18, 0.18, 0.82, 0.82),
        Poly([(0.5, 0.1), (0.9, 0.5), (0.5, 0.9), (0.1, 0.5)]),
        Poly([(0.5, 0.14), (0.88, 0.84), (0.12, 0.84)]),
        regular(0.5, 0.5, 0.38, 6),
        regular(0.5, 0.54, 0.42, 5, inner=0.19),
        Arc(0.5, 0.5, 0.27, 0.16),
        Rect(0.16, 0.16, 0.84, 0.84, 0.16),
    ][kind]


def filler(index):
    """A plain mark: shape by index, then colour, then an inner mark."""
    kind = index % 8
    fill, edge = FILLER_HUES[(index // 8) % len(FILLER_HUES)]
    mark = index // (8 * len(FILLER_HUES))

    def draw(c):
        c.outlined(filler_shape(kind), fill, edge, 0.06)
        if mark == 1:
            c.fill(Ellipse(0.5, 0.52, 0.09), WHITE)
        elif mark == 2:
            c.fill(Rect(0.34, 0.45, 0.66, 0.57), WHITE)

    return draw


def glyph_image(draw, size):
    c = Canvas(size)
    draw(c)
    return c.image()


def strip(draws, size):
    images = [glyph_image(d, size) for d in draws]
    return [sum((img[y] for img in images), []) for y in range(size)]


# ---------------------------------------------------------------- pictures


def login_picture():
    """Evening sky over still water: a low sun, soft clouds, two ranges of
    hills, their reflection, a sail and a few birds. No text."""
    w, h = 852, 417
    horizon = 236
    sun_x, sun_y, sun_r = 590.0, 176.0, 26.0
    sky = [(0.0, (34, 58, 118)), (0.45, (86, 126, 196)), (0.8, (236, 178, 170)),
           (1.0, (255, 214, 160))]
    water = [(0.0, (214, 164, 150)), (0.25, (112, 118, 168)), (1.0, (22, 48, 92))]

    def ridge(x, base, amp, seed):
        return base - amp * (0.55 + 0.25 * math.sin(x / 97.0 + seed) + 0.15 * math.sin(
            x / 41.0 + seed * 2.3) + 0.05 * math.sin(x / 13.0 + seed * 5.1))

    far = [ridge(x, horizon, 46, 1.3) for x in range(w)]
    near = [ridge(x, horizon, 30, 4.1) for x in range(w)]
    # Keep the sun's path clear: the ranges dip around it.
    for x in range(w):
        dip = math.exp(-((x - sun_x) / 120.0) ** 2)
        far[x] = far[x] + (horizon - far[x]) * 0.75 * dip
        near[x] = near[x] + (horizon - near[x]) * 0.9 * dip

    clouds = [(170, 70, 120, 16), (250, 82, 90, 12), (120, 90, 70, 10), (700, 60, 140, 15),
              (780, 78, 80, 10), (470, 40, 100, 9), (400, 120, 70, 7)]

    sail = Poly([(300 / w, 262 / h), (300 / w, 300 / h), (324 / w, 300 / h)])
    sail2 = Poly([(296 / w, 270 / h), (296 / w, 300 / h), (284 / w, 300 / h)])
    hull = Poly([(278 / w, 302 / h), (330 / w, 302 / h), (322 / w, 309 / h), (284 / w, 309 / h)])
    birds = []
    for bx, by, s in ((150, 150, 9), (172, 138, 7), (196, 156, 6), (660, 110, 7)):
        birds.append(Seg((bx - s) / w, (by - s * 0.5) / h, bx / w, by / h, 1.8 / w))
        birds.append(Seg(bx / w, by / h, (bx + s) / w, (by - s * 0.5) / h, 1.8 / w))

    # The small shapes are laid with supersampling into a sparse overlay.
    overlay = {}

    def lay(shape, colour, samples=4):
        x0, y0, x1, y1 = shape.bbox()
        for py in range(max(0, int(y0 * h) - 1), min(h, int(y1 * h) + 2)):
            for px in range(max(0, int(x0 * w) - 1), min(w, int(x1 * w) + 2)):
                hits = sum(
                    shape.inside((px + (i + 0.5) / samples) / w, (py + (j + 0.5) / samples) / h)
                    for j in range(samples) for i in range(samples))
                if hits:
                    a = hits / samples ** 2
                    old = overlay.get((px, py))
                    if old:
                        a = a + old[1] * (1 - a)
                    overlay[(px, py)] = (colour, min(1.0, a))

    lay(sail, (250, 236, 222))
    lay(sail2, (232, 214, 204))
    lay(hull, (58, 44, 60))
    for b in birds:
        lay(b, (40, 38, 62))

    def sky_colour(x, y):
        c = ramp(sky, y / horizon)
        d = math.hypot(x - sun_x, (y - sun_y) * 1.2)
        glow = 0.55 * math.exp(-d / 70.0) + 0.25 * math.exp(-d / 220.0)
        c = mix(c, (255, 226, 176), clamp01(glow))
        for cx, cy, rx, ry in clouds:
            q = ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2
            if q < 1:
                shade = 0.5 + 0.5 * clamp01((y - cy + ry) / (2 * ry))
                tint = mix((255, 244, 240), (214, 160, 176), shade)
                c = mix(c, tint, 0.55 * (1 - q) ** 1.6)
        disc = math.hypot(x - sun_x, y - sun_y)
        if disc < sun_r + 1:
            c = mix(c, (255, 246, 222), clamp01(sun_r + 0.5 - disc))
        return c

    def land(x, y):
        """Hill colour at (x, y) above the horizon, or None."""
        if y >= near[x]:
            t = clamp01((y - near[x]) / 40.0)
            return mix((92, 82, 128), (60, 56, 98), t)
        if y >= far[x]:
            return mix((150, 128, 170), (128, 112, 160), clamp01((y - far[x]) / 50.0))
        return None

    def pixel(x, y):
        if y < horizon:
            c = land(x, y) or sky_colour(x, y)
        else:
            depth = y - horizon
            t = depth / (h - horizon)
            c = ramp(water, t)
            # Gentle swell: lines that close up toward the horizon.
            swell = math.sin(26.0 * math.log(1 + depth / 3.0) + math.sin(x / 60.0 + depth / 9.0))
            # A blurred mirror of the sky and the hills, bent by the swell.
            mx = int(min(w - 1, max(0, x + 3 * swell)))
            my = int(horizon - 1 - depth * 1.2)
            if my >= 0:
                mirror = land(mx, my) or sky_colour(mx, my)
                c = mix(c, mirror, 0.55 * (1 - t) ** 1.5)
            c = mix(c, (255, 255, 255) if swell > 0 else (0, 10, 40), 0.05 * abs(swell) * (1 - t))
            # The sun's path: broken bright streaks below the sun.
            spread = 14 + depth * 0.55
            path = math.exp(-((x - sun_x) / spread) ** 2)
            streak = max(0.0, math.sin(depth * 0.8 + 2.5 * math.sin(x * 0.043 + depth * 0.31))) ** 4
            streak *= 0.5 + 0.5 * math.sin(x * 0.37 + depth * 1.9)
            c = mix(c, (255, 232, 190), clamp01(path * (0.25 + 0.75 * streak) * (1 - t * 0.6)))
        o = overlay.get((x, y))
        if o:
            c = mix(c, o[0], o[1])
        return to_bytes(c, x, y)

    return w, h, pixel


def about_picture():
    """Rings spreading from a drop on dusk-blue water, with the program's
    mark (a drop and a thermometer) on the left. No text."""
    w, h = 360, 180
    cx, cy = 250.0, 104.0
    mark = Canvas(120)
    g_app(mark)
    icon = mark.image()

    def pixel(x, y):
        t = y / (h - 1)
        c = ramp([(0.0, (40, 72, 140)), (0.55, (70, 130, 190)), (1.0, (24, 50, 100))], t)
        dx, dy = x - cx, (y - cy) * 2.6
        d = math.hypot(dx, dy)
        wave = math.sin(d / 7.0) * math.exp(-d / 90.0)
        c = mix(c, (220, 240, 255) if wave > 0 else (10, 30, 70), clamp01(abs(wave)) * 0.55)
        ix, iy = x - 30, y - 30
        if 0 <= ix < 120 and 0 <= iy < 120:
            r, g, b, a = icon[iy][ix]
            c = mix(c, (r, g, b), a / 255.0)
        return to_bytes(c, x, y)

    return w, h, pixel


# ---------------------------------------------------------------- sounds


def click_sound(rate):
    """30 ms: a short knock with a bright edge, gone within the first third."""
    n = int(rate * 0.030)
    noise = Lcg(0x1C11C4)
    out = []
    for i in range(n):
        t = i / rate
        env = math.exp(-t / 0.0035)
        tone = 0.6 * math.sin(2 * math.pi * 1800 * t) + 0.25 * math.sin(2 * math.pi * 3700 * t)
        out.append(0.7 * env * (tone + 0.35 * (noise.next() * 2 - 1)))
    fade = min(n, int(rate * 0.002))
    for i in range(fade):  # no step at the end
        out[n - 1 - i] *= i / fade
    return out


def list_sound(rate):
    """60 ms: a soft wooden tick that falls in pitch."""
    n = int(rate * 0.060)
    out = []
    phase = 0.0
    for i in range(n):
        t = i / rate
        f = 1400 - 700 * (t / 0.060)
        phase += 2 * math.pi * f / rate
        attack = min(1.0, t / 0.002)
        env = attack * math.exp(-t / 0.014)
        out.append(0.55 * env * (math.sin(phase) + 0.3 * math.sin(2 * phase)))
    fade = min(n, int(rate * 0.003))
    for i in range(fade):
        out[n - 1 - i] *= i / fade
    return out


# ---------------------------------------------------------------- main


def main(argv):
    if len(argv) != 2:
        sys.stderr.write(__doc__)
        return 2
    out = argv[1]
    os.makedirs(out, exist_ok=True)

    write_bmp24(os.path.join(out, "login.bmp"), *login_picture())
    write_bmp24(os.path.join(out, "about.bmp"), *about_picture())
    write_ico(os.path.join(out, "kvconfig.ico"), [glyph_image(g_app, s) for s in (16, 32, 48)])

    draws = [NAMED_GLYPHS[i][1] if i in NAMED_GLYPHS else filler(i) for i in range(STRIP_SLOTS)]
    write_bmp32(os.path.join(out, "il16.bmp"), strip(draws, 16))
    with open(os.path.join(out, "il16.txt"), "w", encoding="ascii", newline="\n") as f:
        for i in range(STRIP_SLOTS):
            f.write("%d %s\n" % (i, NAMED_GLYPHS[i][0] if i in NAMED_GLYPHS else "-"))
    write_bmp32(os.path.join(out, "ilList.bmp"), strip([g_login], 32))

    rate = 22050
    write_wav(os.path.join(out, "CLICK.wav"), rate, click_sound(rate))
    write_wav(os.path.join(out, "LIST.wav"), rate, list_sound(rate))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
