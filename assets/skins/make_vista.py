#!/usr/bin/env python3
"""Draws the program's skins from simple shapes, so that they can be rebuilt
byte for byte: the default "Vista", a light, flat design with blue accents,
and "Ocean", the same shapes in blue-green under a dark title bar.

Writes Options.dat and MASTER.BMP (24-bit, 0xFF00FF = transparent) into the
output folder. Every image lies in the master bitmap; masks use MaskType 0
with magenta transparency.

usage: make_vista.py OUTPUT_FOLDER [Vista|Ocean]
"""
import colorsys
import os
import struct
import sys

MAGENTA = (255, 0, 255)
WIDTH = 512


def tcolor(rgb):
    r, g, b = rgb
    return r | (g << 8) | (b << 16)


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


class Canvas:
    def __init__(self, width, height):
        self.w, self.h = width, height
        self.px = [[MAGENTA] * width for _ in range(height)]

    def put(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def fill(self, x, y, w, h, c):
        for j in range(y, y + h):
            for i in range(x, x + w):
                self.put(i, j, c)

    def vgrad(self, x, y, w, h, top, bottom):
        for j in range(h):
            self.fill(x, y + j, w, 1, mix(top, bottom, j / max(1, h - 1)))

    def hgrad(self, x, y, w, h, left, right):
        for i in range(w):
            self.fill(x + i, y, 1, h, mix(left, right, i / max(1, w - 1)))

    def frame(self, x, y, w, h, c):
        self.fill(x, y, w, 1, c)
        self.fill(x, y + h - 1, w, 1, c)
        self.fill(x, y, 1, h, c)
        self.fill(x + w - 1, y, 1, h, c)

    def round_corners(self, x, y, w, h):
        for cx, cy in ((x, y), (x + w - 1, y), (x, y + h - 1), (x + w - 1, y + h - 1)):
            self.put(cx, cy, MAGENTA)

    def dots(self, x, y, pattern, c):
        for j, row in enumerate(pattern):
            for i, ch in enumerate(row):
                if ch == '#':
                    self.put(x + i, y + j, c)

    def bmp(self):
        stride = (self.w * 3 + 3) // 4 * 4
        data = bytearray()
        for row in reversed(self.px):
            line = bytearray()
            for r, g, b in row:
                line += bytes((b, g, r))
            line += bytes(stride - len(line))
            data += line
        header = struct.pack('<2sIHHI', b'BM', 54 + len(data), 0, 0, 54)
        info = struct.pack('<IiiHHIIiiII', 40, self.w, self.h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
        return header + info + bytes(data)


class Packer:
    """Places rectangles in rows across the master bitmap."""

    def __init__(self, width):
        self.width, self.x, self.y, self.row = width, 0, 0, 0

    def place(self, w, h):
        if self.x + w > self.width:
            self.x, self.y, self.row = 0, self.y + self.row + 1, 0
        pos = (self.x, self.y)
        self.x += w + 1
        self.row = max(self.row, h)
        return pos

    def height(self):
        return self.y + self.row + 1


# --- palettes --------------------------------------------------------------
# Every skin is one palette over the same shapes and geometry. A palette names
# the colours that set its look; every other colour of the drawing passes
# through its tone().
class Vista:
    DESCRIPTION = 'Light flat skin with blue accents'
    FACE = (240, 240, 240)
    WINDOW = (255, 255, 255)
    TEXT = (30, 30, 30)
    ACCENT = (38, 120, 200)
    BORDER = (160, 160, 160)
    HOT_BORDER = (60, 127, 177)
    PRESSED_BORDER = (44, 98, 139)
    BUTTON_FACES = [((252, 252, 252), (226, 226, 226), BORDER),
                    ((236, 246, 254), (206, 230, 250), HOT_BORDER),
                    ((200, 225, 245), (178, 208, 236), PRESSED_BORDER)]
    # Title band of FORMTITLE and the form's TITLEBAR mask: (inactive, active),
    # each a vertical gradient (top, bottom).
    TITLE_ACTIVE = ((78, 138, 198), (42, 96, 160))
    TITLE_INACTIVE = ((214, 222, 230), (192, 202, 214))
    TITLEBAR = (((206, 214, 224), (186, 196, 210)), ((66, 124, 186), (36, 86, 148)))
    TITLE_FONT = (70, 70, 70)  # inactive caption; the active one is WINDOW
    FORM_EDGE = ((150, 160, 172), (40, 90, 150))  # form border line (inactive, active)
    FORM_INNER = ((226, 230, 236), (196, 218, 240))
    GLYPH_STATES = [(70, 70, 70), (30, 90, 160), (20, 60, 120)]

    @staticmethod
    def tone(*rgb):
        return rgb


class Ocean(Vista):
    """Blue-green accents on pale aqua faces under a dark title bar."""
    DESCRIPTION = 'Light flat skin with blue-green accents and a dark title bar'
    FACE = (228, 240, 240)
    WINDOW = (255, 255, 255)
    TEXT = (16, 40, 48)
    ACCENT = (0, 140, 150)
    BORDER = (128, 160, 164)
    HOT_BORDER = (24, 150, 160)
    PRESSED_BORDER = (10, 100, 112)
    BUTTON_FACES = [((248, 253, 253), (212, 234, 234), BORDER),
                    ((226, 248, 248), (184, 232, 232), HOT_BORDER),
                    ((170, 220, 222), (140, 200, 204), PRESSED_BORDER)]
    TITLE_ACTIVE = ((34, 72, 86), (14, 40, 52))
    TITLE_INACTIVE = ((96, 120, 128), (74, 98, 106))
    TITLEBAR = (((90, 114, 122), (68, 92, 100)), ((28, 64, 78), (10, 34, 46)))
    TITLE_FONT = (206, 220, 224)
    FORM_EDGE = ((58, 82, 90), (6, 28, 38))
    FORM_INNER = ((120, 144, 152), (36, 72, 86))
    GLYPH_STATES = [(56, 80, 86), (0, 120, 130), (0, 80, 90)]

    @staticmethod
    def tone(*rgb):
        """Accents turn blue-green (a warning red stays red), greys take an
        aqua cast, black and white stay."""
        h, light, s = colorsys.rgb_to_hls(*(v / 255.0 for v in rgb))
        if s <= 0.2:
            h, s = 0.5, max(s, 0.3)
        elif 0.05 < h < 0.9:
            h = 0.51
        return tuple(int(round(v * 255)) for v in colorsys.hls_to_rgb(h, light, s))


PALETTES = {'Vista': Vista, 'Ocean': Ocean}

# --- shapes ----------------------------------------------------------------
CHECK = ["........#", ".......##", "#.....##.", "##...##..", ".##.##...", "..###....",
         "...#....."]
ARROWS = {
    'down': ["#######", ".#####.", "..###..", "...#..."],
    'up': ["...#...", "..###..", ".#####.", "#######"],
    'left': ["...#", "..##", ".###", "####", ".###", "..##", "...#"],
    'right': ["#...", "##..", "###.", "####", "###.", "##..", "#..."],
}
ICONS = {
    'CLOSE': ["##.....##", ".##...##.", "..##.##..", "...###...", "..##.##..", ".##...##.",
              "##.....##"],
    'MAX': ["#########", "#########", "#.......#", "#.......#", "#.......#", "#.......#",
            "#########"],
    'MIN': [".........", ".........", ".........", ".........", ".........", "#########",
            "#########"],
    'NORM': ["..#######", "..#######", "..#.....#", "#######.#", "#######.#", "#.....###",
             "#######.."],
    'HELP': ["..#####..", ".##...##.", "......##.", "....##...", "...##....", ".........",
             "...##...."],
}
SMALL_ICONS = {
    'CLOSE': ["#.....#", ".#...#.", "..#.#..", "...#...", "..#.#..", ".#...#.", "#.....#"],
    'MAX': ["#######", "#######", "#.....#", "#.....#", "#.....#", "#######"],
    'MIN': ["#######", "#######"],
    'NORM': ["..#####", "..#####", "#####.#", "#####.#", "#...###", "#####.."],
    'HELP': [".###.", "#...#", "...#.", "..#..", ".....", "..#.."],
}
GRIP = ["..........#.", "............", "........#.#.", "............", "......#.#.#.",
        "............", "....#.#.#.#.", "............", "..#.#.#.#.#.", "............",
        "#.#.#.#.#.#.", "............"]


def centre(x, y, w, h, pattern):
    return x + (w - len(pattern[0])) // 2, y + (h - len(pattern)) // 2


class Skin:
    def __init__(self):
        self.canvas = Canvas(WIDTH, 1024)
        self.packer = Packer(WIDTH)
        self.sections = {}
        self.order = []

    def section(self, name, **values):
        if name not in self.sections:
            self.sections[name] = []
            self.order.append(name)
        for key, value in values.items():
            self.sections[name].append((key, value))

    def strip(self, frames, fw, fh, draw):
        x, y = self.packer.place(frames * fw, fh)
        for k in range(frames):
            draw(k, x + k * fw, y, fw, fh)
        return x, y, x + frames * fw, y + fh

    def border(self, section, key, frames, fw, fh, margins, draw, stretch=5, width=0):
        l, t, r, b = self.strip(frames, fw, fh, draw)
        wl, wt, wr, wb = margins
        self.section(section, **{key: '^%04d,%04d,%04d,%04d,%04d,%04d,%04d,%04d,%d,0,%d,%d' % (
            l, t, r, b, wl, wt, wr, wb, frames, stretch, width)})

    def glyph(self, section, key, frames, fw, fh, draw):
        l, t, r, b = self.strip(frames, fw, fh, draw)
        self.section(section, **{key: '@%04d,%04d,%04d,%04d,%d,0' % (l, t, r, b, frames)})

    def options(self):
        lines = []
        for name in self.order:
            lines.append('[%s]' % name)
            lines += ['%s=%s' % kv for kv in self.sections[name]]
            lines.append('')
        return '\r\n'.join(lines)


def button_frame(c, faces, rounded=True):
    def draw(k, x, y, w, h):
        top, bottom, edge = faces[min(k, len(faces) - 1)]
        c.vgrad(x + 1, y + 1, w - 2, h - 2, top, bottom)
        c.frame(x, y, w, h, edge)
        if rounded:
            c.round_corners(x, y, w, h)
    return draw


def build(p):
    s = Skin()
    t = p.tone
    FACE, WINDOW, TEXT, ACCENT = p.FACE, p.WINDOW, p.TEXT, p.ACCENT
    HOT_BORDER, PRESSED_BORDER = p.HOT_BORDER, p.PRESSED_BORDER
    BUTTON_FACES, TITLE_ACTIVE, TITLE_INACTIVE = p.BUTTON_FACES, p.TITLE_ACTIVE, p.TITLE_INACTIVE
    GLYPH_STATES = p.GLYPH_STATES
    c = s.canvas
    s.section('GLOBALINFO', VERSION='7.0', AUTHOR='kvconfig developers',
              DESCRIPTION=p.DESCRIPTION, MASTERBITMAP='MASTER.BMP',
              COLOR=tcolor(FACE), FONTCOLOR=tcolor(TEXT), HOTCOLOR=tcolor(WINDOW),
              BORDERWIDTH=4, TITLEHEIGHT=26, MAXHEIGHT=22, FORMOFFSET=8, BORDERMODE=0,
              BORDERCOLOR=tcolor(p.FORM_EDGE[1]), BISPACE=1, BIVALIGN=0, BIRIGHT=2, BILEFT=2,
              BIKEEPHUE=2, SHADOW1COLOR=0, SHADOW1OFFSET=0, SHADOW1BLUR=-1,
              SHADOW1TRANSPARENCY=0)

    # Check boxes, radio buttons and the menu check: normal, hot, pressed.
    def box(size, mark):
        def draw(k, x, y, w, h):
            edge = [t(112, 112, 112), HOT_BORDER, PRESSED_BORDER][k]
            inner = [WINDOW, t(232, 244, 253), t(204, 228, 247)][k]
            c.fill(x + 1, y + 1, size - 2, size - 2, inner)
            c.frame(x, y, size, size, edge)
            if mark == 'check':
                c.dots(*centre(x, y, size, size, CHECK), CHECK, TEXT)
            elif mark == 'grey':
                c.fill(x + 3, y + 3, size - 6, size - 6, t(150, 150, 150))
        return draw

    def radio(size, mark):
        def draw(k, x, y, w, h):
            edge = [t(112, 112, 112), HOT_BORDER, PRESSED_BORDER][k]
            inner = [WINDOW, t(232, 244, 253), t(204, 228, 247)][k]
            r = (size - 1) / 2.0
            for j in range(size):
                for i in range(size):
                    d = ((i - r) ** 2 + (j - r) ** 2) ** 0.5
                    if d <= r - 0.8:
                        c.put(x + i, y + j, inner)
                    elif d <= r + 0.3:
                        c.put(x + i, y + j, edge)
                    if mark == 'dot' and d <= r - 3:
                        c.put(x + i, y + j, ACCENT)
                    if mark == 'grey' and d <= r - 3:
                        c.put(x + i, y + j, t(150, 150, 150))
        return draw

    for key, mark in (('BOXCHECKED', 'check'), ('BOXUNCHECKED', None), ('BOXGRAYED', 'grey')):
        s.glyph('GLOBALINFO', key, 3, 13, 13, box(13, mark))
    for key, mark in (('RADIOCHECKED', 'dot'), ('RADIOUNCHECKED', None), ('RADIOGRAYED', 'grey')):
        s.glyph('GLOBALINFO', key, 3, 13, 13, radio(13, mark))
    for key, mark in (('SMALLCHECKED', 'check'), ('SMALLUNCHECKED', None), ('SMALLGRAYED', 'grey')):
        s.glyph('GLOBALINFO', key, 3, 11, 11, box(11, mark))

    def check_only(k, x, y, w, h):
        c.dots(*centre(x, y, w, h, CHECK), CHECK, GLYPH_STATES[k])
    s.glyph('GLOBALINFO', 'CHECK', 3, 13, 13, check_only)
    s.glyph('GLOBALINFO', 'GRIPIMAGE', 1, 12, 12,
            lambda k, x, y, w, h: c.dots(x, y, GRIP, t(150, 150, 150)))

    # Title buttons: transparent when idle, a plate when hot or pressed.
    def title_icon(name, big):
        def draw(k, x, y, w, h):
            danger = name == 'CLOSE'
            plates = [None, t(214, 80, 64) if danger else t(120, 170, 222),
                      t(168, 44, 32) if danger else t(60, 110, 170)]
            if k > 0:
                c.vgrad(x + 1, y + 1, w - 2, h - 2, mix(plates[k], WINDOW, 0.25), plates[k])
                c.frame(x, y, w, h, mix(plates[k], t(0, 0, 0), 0.3))
                c.round_corners(x, y, w, h)
            pattern = ICONS[name] if big else SMALL_ICONS[name]
            gx, gy = centre(x, y, w, h, pattern)
            # A dark shadow keeps the white glyph readable on light and dark titles.
            c.dots(gx + 1, gy + 1, pattern, t(50, 70, 100) if k == 0 else mix(plates[k], t(0, 0, 0), 0.4))
            c.dots(gx, gy, pattern, WINDOW)
        return draw

    for name in ('CLOSE', 'MAX', 'MIN', 'NORM', 'HELP'):
        s.glyph('GLOBALINFO', 'BICON' + name, 3, 27, 19, title_icon(name, True))
        s.glyph('GLOBALINFO', 'SICON' + name, 3, 17, 15, title_icon(name, False))
    s.border('GLOBALINFO', 'TITLEBUTTON', 3, 21, 18, (3, 3, 3, 3),
             button_frame(c, BUTTON_FACES))

    # Forms: frame 0 inactive, frame 1 active.
    s.section('FORM', COLOR=tcolor(FACE), FONTCOLOR=tcolor(TEXT))

    def form_border(k, x, y, w, h):
        outer = p.FORM_EDGE[k]
        inner = p.FORM_INNER[k]
        c.fill(x, y, w, h, inner)
        c.frame(x, y, w, h, outer)
        c.fill(x + 4, y + 4, w - 8, h - 8, MAGENTA)
    s.border('FORM', 'BORDERSMASK', 2, 16, 16, (4, 4, 4, 4), form_border, stretch=1)

    def title_band(k, x, y, w, h):
        top, bottom = [TITLE_INACTIVE, TITLE_ACTIVE][k]
        c.vgrad(x, y, w, h, top, bottom)
    s.border('FORM', 'TITLEBAR', 2, 16, 26, (2, 2, 2, 2),
             lambda k, x, y, w, h: c.vgrad(x, y, w, h, *p.TITLEBAR[k]))
    s.section('FORMTITLE', COLOR=tcolor(TITLE_ACTIVE[1]), FONTCOLOR=tcolor(p.TITLE_FONT),
              HOTFONTCOLOR=tcolor(WINDOW), TRANSPARENCY=0)
    s.border('FORMTITLE', 'BORDERSMASK', 2, 16, 26, (2, 2, 2, 2), title_band)
    s.section('DIALOG', PARENTCLASS='FORM', COLOR=tcolor(FACE), FONTCOLOR=tcolor(TEXT))
    s.section('MDIAREA', COLOR=tcolor(t(171, 171, 171)))

    # Menus.
    s.section('MENULINE', COLOR=tcolor(FACE), FONTCOLOR=tcolor(TEXT), HOTFONTCOLOR=tcolor(TEXT),
              HOTCOLOR=tcolor(t(204, 232, 255)))
    s.section('MENUITEM', COLOR=tcolor(t(250, 250, 250)), FONTCOLOR=tcolor(TEXT),
              HOTCOLOR=tcolor(t(204, 232, 255)), HOTFONTCOLOR=tcolor(TEXT))

    def menu_border(k, x, y, w, h):
        c.fill(x, y, w, h, t(250, 250, 250))
        c.frame(x, y, w, h, t(151, 151, 151))
    s.border('MAINMENU', 'BORDERSMASK', 1, 12, 12, (3, 3, 3, 3), menu_border, stretch=5, width=3)
    s.section('MAINMENU', COLOR=tcolor(t(250, 250, 250)), FONTCOLOR=tcolor(TEXT))

    # Panels and containers.
    s.section('PANEL', COLOR=tcolor(FACE), FONTCOLOR=tcolor(TEXT), HOTFONTCOLOR=tcolor(TEXT))
    s.section('PANEL_LOW', PARENTCLASS='PANEL', COLOR=tcolor(t(232, 232, 232)))

    # A groove: lowered bevels and separator lines show its top strip.
    # Edges of a mask without a mask plane are copied opaque: only its corners
    # may hold the transparent colour.
    def groove(k, x, y, w, h):
        c.fill(x, y, w, h, t(232, 232, 232))
        c.frame(x, y, w, h, t(190, 196, 204))
        c.fill(x + 1, y + 1, w - 2, 1, WINDOW)
        c.fill(x + 1, y + 1, 1, h - 2, WINDOW)
        c.fill(x + w - 1, y, 1, h, WINDOW)
        c.fill(x, y + h - 1, w, 1, WINDOW)
    s.border('PANEL_LOW', 'BORDERSMASK', 1, 12, 12, (2, 2, 2, 2), groove, stretch=1)
    s.section('ICOLINE', PARENTCLASS='PANEL', COLOR=tcolor(t(236, 240, 244)))
    s.section('BARPANEL', PARENTCLASS='PANEL', COLOR=tcolor(t(226, 234, 244)), GRADIENTPERCENT=100,
              GRADIENTDATA='%d;%d;100;0;0' % (tcolor(t(236, 242, 250)), tcolor(t(214, 226, 240))))
    s.section('BAR', PARENTCLASS='PANEL')
    s.section('TOOLBAR', PARENTCLASS='PANEL')
    s.section('DRAGBAR', PARENTCLASS='PANEL')
    s.section('SPLITTER', PARENTCLASS='PANEL')
    s.section('TRACKBAR', PARENTCLASS='PANEL', TRANSPARENCY=100)
    s.section('GROUPBOX', COLOR=tcolor(FACE), FONTCOLOR=tcolor(t(0, 70, 150)),
              HOTFONTCOLOR=tcolor(t(0, 70, 150)))

    # Edges are copied opaque: inside the line they hold the section's colour,
    # only the centre (never painted) is left transparent.
    def group_border(k, x, y, w, h):
        c.fill(x, y, w, h, FACE)
        c.frame(x, y, w, h, t(200, 208, 216))
        c.round_corners(x, y, w, h)
        c.fill(x + 4, y + 4, w - 8, h - 8, MAGENTA)
    s.border('GROUPBOX', 'BORDERSMASK', 1, 16, 16, (4, 4, 4, 4), group_border, stretch=1)

    # Buttons.
    s.section('BUTTON', COLOR=tcolor(FACE), FONTCOLOR=tcolor(TEXT), HOTFONTCOLOR=tcolor(TEXT),
              FADINGENABLED='TRUE', FADINGITERATIONS=5, SHOWFOCUS='TRUE')
    s.border('BUTTON', 'BORDERSMASK', 3, 24, 22, (4, 4, 4, 4), button_frame(c, BUTTON_FACES))
    s.section('SPEEDBUTTON', PARENTCLASS='BUTTON')
    s.section('SPEEDBUTTON_SMALL', PARENTCLASS='SPEEDBUTTON', TRANSPARENCY=100)
    s.border('SPEEDBUTTON_SMALL', 'BORDERSMASK', 3, 20, 20, (3, 3, 3, 3),
             button_frame(c, BUTTON_FACES), stretch=7)
    s.section('TOOLBUTTON', PARENTCLASS='SPEEDBUTTON_SMALL')
    s.section('UPDOWNBTN', PARENTCLASS='BUTTON')
    # The title's own blue under its frame: the white caption needs it.
    s.section('BARTITLE', PARENTCLASS='BUTTON', COLOR=tcolor(t(70, 122, 188)),
              HOTCOLOR=tcolor(t(88, 142, 208)), FONTCOLOR=tcolor(WINDOW),
              HOTFONTCOLOR=tcolor(WINDOW))
    s.border('BARTITLE', 'BORDERSMASK', 3, 24, 24, (4, 4, 4, 4), button_frame(c, [
        (t(96, 148, 206), t(60, 110, 176), t(44, 90, 150)),
        (t(118, 170, 226), t(78, 132, 198), t(44, 90, 150)),
        (t(60, 110, 176), t(44, 90, 150), t(30, 70, 120))]))
    s.section('COLHEADER', PARENTCLASS='BUTTON')
    s.border('COLHEADER', 'BORDERSMASK', 3, 20, 22, (2, 2, 2, 2), button_frame(c, [
        (WINDOW, t(242, 242, 242), t(213, 213, 213)),
        (t(227, 242, 252), t(210, 232, 250), t(136, 203, 235)),
        (t(188, 228, 249), t(160, 210, 240), t(96, 160, 210))], rounded=False))
    s.section('WEBBUTTON', TRANSPARENCY=100, FONTCOLOR=tcolor(t(0, 102, 204)),
              HOTFONTCOLOR=tcolor(t(0, 60, 160)))
    s.section('CHECKBOX', TRANSPARENCY=100, HOTTRANSPARENCY=100, FONTCOLOR=tcolor(TEXT),
              HOTFONTCOLOR=tcolor(TEXT))
    s.section('RADIOBUTTON', PARENTCLASS='CHECKBOX')

    # Edits and combo boxes: frame 0 normal, frame 1 hot or focused.
    def edit_border(k, x, y, w, h):
        c.fill(x, y, w, h, WINDOW)
        c.frame(x, y, w, h, [t(171, 173, 179), t(86, 157, 229)][k])
        c.fill(x + 2, y + 2, w - 4, h - 4, MAGENTA)
    s.section('EDIT', COLOR=tcolor(WINDOW), HOTCOLOR=tcolor(WINDOW), FONTCOLOR=tcolor(TEXT),
              HOTFONTCOLOR=tcolor(TEXT))
    s.border('EDIT', 'BORDERSMASK', 2, 12, 12, (2, 2, 2, 2), edit_border, stretch=1)
    s.section('COMBOBOX', PARENTCLASS='EDIT')
    s.border('COMBOBOX', 'BORDERSMASK', 2, 12, 12, (2, 2, 2, 2), edit_border, stretch=1)

    def arrow(direction):
        pattern = ARROWS[direction]

        def draw(k, x, y, w, h):
            c.dots(*centre(x, y, w, h, pattern), pattern, GLYPH_STATES[k])
        return draw
    s.glyph('COMBOBOX', 'GLYPHMASK', 3, 9, 9, arrow('down'))
    s.section('COMBOBTN', PARENTCLASS='BUTTON')
    s.border('COMBOBTN', 'BORDERSMASK', 3, 17, 20, (3, 3, 3, 3), button_frame(c, BUTTON_FACES))

    # Page controls and tabs: frame 0 normal, 1 hot, 2 selected.
    s.section('PAGECONTROL', PARENTCLASS='PANEL', COLOR=tcolor(t(252, 252, 252)))

    def page_border(k, x, y, w, h):
        c.fill(x, y, w, h, t(252, 252, 252))
        c.frame(x, y, w, h, t(137, 140, 149))
        c.fill(x + 2, y + 2, w - 4, h - 4, MAGENTA)
    s.border('PAGECONTROL', 'BORDERSMASK', 1, 12, 12, (2, 2, 2, 2), page_border, stretch=1)
    for name in ('PAGECONTROLBOTTOM', 'PAGECONTROLLEFT', 'PAGECONTROLRIGHT'):
        s.section(name, PARENTCLASS='PAGECONTROL')
    s.section('TABSHEET', PARENTCLASS='PANEL', COLOR=tcolor(t(252, 252, 252)))
    tab_faces = [(t(246, 246, 246), t(232, 232, 232), t(137, 140, 149)),
                 (t(234, 246, 253), t(216, 238, 252), t(60, 127, 177)),
                 (t(255, 255, 255), t(252, 252, 252), t(137, 140, 149))]

    def tab(open_side):
        def draw(k, x, y, w, h):
            top, bottom, edge = tab_faces[k]
            if open_side in ('bottom', 'top'):
                a, b = (top, bottom) if open_side == 'bottom' else (bottom, top)
                c.vgrad(x, y, w, h, a, b)
            else:
                a, b = (top, bottom) if open_side == 'right' else (bottom, top)
                c.hgrad(x, y, w, h, a, b)
            c.frame(x, y, w, h, edge)
            c.round_corners(x, y, w, h)
            side = {'bottom': (x + 1, y + h - 1, w - 2, 1), 'top': (x + 1, y, w - 2, 1),
                    'right': (x + w - 1, y + 1, 1, h - 2), 'left': (x, y + 1, 1, h - 2)}
            if k == 2:
                c.fill(*side[open_side], tab_faces[2][1])
        return draw
    for name, side, size in (('TABTOP', 'bottom', (20, 22)), ('TABBOTTOM', 'top', (20, 22)),
                             ('TABLEFT', 'right', (22, 20)), ('TABRIGHT', 'left', (22, 20))):
        s.section(name, FONTCOLOR=tcolor(TEXT), HOTFONTCOLOR=tcolor(TEXT))
        s.border(name, 'BORDERSMASK', 3, size[0], size[1], (4, 4, 4, 4), tab(side))

    # Gauge, progress bars and status bar.
    s.section('GAUGE', COLOR=tcolor(t(230, 230, 230)), HOTCOLOR=tcolor(t(230, 230, 230)),
              FONTCOLOR=tcolor(TEXT), HOTFONTCOLOR=tcolor(TEXT))

    def gauge_border(k, x, y, w, h):
        c.vgrad(x, y, w, h, t(222, 222, 222), t(238, 238, 238))
        c.frame(x, y, w, h, t(178, 178, 178))
        c.round_corners(x, y, w, h)
    s.border('GAUGE', 'BORDERSMASK', 2, 16, 16, (3, 3, 3, 3), gauge_border)
    s.section('PROGRESSH', COLOR=tcolor(t(38, 176, 60)))
    s.border('PROGRESSH', 'BORDERSMASK', 1, 16, 14, (2, 2, 2, 2),
             lambda k, x, y, w, h: (c.vgrad(x, y, w, h, t(150, 230, 150), t(24, 160, 48)),
                                    c.frame(x, y, w, h, t(20, 130, 40))))
    s.section('PROGRESSV', COLOR=tcolor(t(38, 176, 60)))
    s.border('PROGRESSV', 'BORDERSMASK', 1, 14, 16, (2, 2, 2, 2),
             lambda k, x, y, w, h: (c.hgrad(x, y, w, h, t(150, 230, 150), t(24, 160, 48)),
                                    c.frame(x, y, w, h, t(20, 130, 40))))
    STATUS = t(236, 240, 244)
    s.section('STATUSBAR', PARENTCLASS='PANEL', COLOR=tcolor(STATUS))

    def status_panel(k, x, y, w, h):
        c.fill(x, y, w, h, STATUS)
        c.fill(x + w - 2, y + 2, 1, h - 4, t(190, 196, 204))
        c.fill(x + w - 1, y + 2, 1, h - 4, WINDOW)
    s.border('STATUSBAR', 'STATUSPANELMASK', 1, 12, 12, (2, 2, 2, 2), status_panel, stretch=1)

    def divider(k, x, y, w, h):
        c.fill(x, y, w, h, STATUS)
        c.fill(x + 1, y, 1, h, t(190, 196, 204))
        c.fill(x + 2, y, 1, h, WINDOW)
    s.section('DIVIDER', TRANSPARENCY=100)
    s.border('DIVIDER', 'BORDERSMASK', 1, 4, 12, (1, 2, 1, 2), divider)

    # Scroll bars: tracks, thumbs and arrow buttons (flat until hot).
    def track(vertical):
        def draw(k, x, y, w, h):
            face = [t(240, 240, 240), t(228, 228, 228)][k]
            c.fill(x, y, w, h, face)
            if vertical:
                c.fill(x, y, 1, h, t(226, 226, 226))
            else:
                c.fill(x, y, w, 1, t(226, 226, 226))
        return draw
    for name, vertical in (('SCROLLBAR1H', False), ('SCROLLBAR2H', False),
                           ('SCROLLBAR1V', True), ('SCROLLBAR2V', True)):
        s.section(name, COLOR=tcolor(t(240, 240, 240)))
        size = (17, 16) if vertical else (16, 17)
        s.border(name, 'BORDERSMASK', 2, size[0], size[1], (2, 2, 2, 2), track(vertical),
                 stretch=5)
    thumb_faces = [(t(222, 222, 222), t(205, 205, 205), t(170, 170, 170)),
                   (t(208, 228, 246), t(184, 212, 238), HOT_BORDER),
                   (t(170, 204, 232), t(150, 188, 222), PRESSED_BORDER)]
    for name in ('SCROLLSLIDERH', 'SCROLLSLIDERV'):
        s.section(name, PARENTCLASS='BUTTON')
        s.border(name, 'BORDERSMASK', 3, 16, 16, (3, 3, 3, 3), button_frame(c, thumb_faces))
    for name, direction in (('SCROLLBTNTOP', 'up'), ('SCROLLBTNBOTTOM', 'down'),
                            ('SCROLLBTNLEFT', 'left'), ('SCROLLBTNRIGHT', 'right')):
        s.section(name, PARENTCLASS='BUTTON', TRANSPARENCY=100)
        s.border(name, 'BORDERSMASK', 3, 17, 17, (3, 3, 3, 3), button_frame(c, thumb_faces),
                 stretch=7)
        s.glyph(name, 'GLYPHMASK', 3, 9, 9, arrow(direction))

    # Crop the master bitmap to what was used.
    c.h = s.packer.height()
    c.px = c.px[:c.h]
    return s


def main():
    if len(sys.argv) not in (2, 3) or (len(sys.argv) == 3 and sys.argv[2] not in PALETTES):
        sys.exit(__doc__)
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    skin = build(PALETTES[sys.argv[2] if len(sys.argv) == 3 else 'Vista'])
    with open(os.path.join(out, 'MASTER.BMP'), 'wb') as f:
        f.write(skin.canvas.bmp())
    with open(os.path.join(out, 'Options.dat'), 'wb') as f:
        f.write(skin.options().encode('ascii'))


if __name__ == '__main__':
    main()
