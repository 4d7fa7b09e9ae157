#!/usr/bin/env python3
"""Draws Latchsweep's pixel art and writes it as XPM files.

The XPM files in resources/icons are the source of every icon the program shows; this script is
how they were drawn, and running it again rewrites them:

    python3 tools/draw_icons.py [OUTPUT_DIR]      (default: resources/icons)

Every picture uses the sixteen colours of the standard Windows palette and "None" for
transparency. Shapes are decided per pixel centre, so circles and arches come out symmetric.
Small details (glyphs, the 16 x 16 versions) are drawn by hand as character grids.
"""

import math
import os
import sys

# One character per palette colour. The same letters are used in every XPM file.
PALETTE = {
    "#": "#000000",  # black
    "r": "#800000",  # dark red
    "g": "#008000",  # dark green
    "o": "#808000",  # olive
    "n": "#000080",  # navy
    "p": "#800080",  # purple
    "t": "#008080",  # teal
    "d": "#808080",  # grey
    "l": "#C0C0C0",  # light grey
    "R": "#FF0000",  # red
    "G": "#00FF00",  # green
    "Y": "#FFFF00",  # yellow
    "B": "#0000FF",  # blue
    "M": "#FF00FF",  # magenta
    "C": "#00FFFF",  # cyan
    "W": "#FFFFFF",  # white
}
TRANSPARENT = " "


class Canvas:
    def __init__(self, size):
        self.size = size
        self.px = [[TRANSPARENT] * size for _ in range(size)]

    def get(self, x, y):
        if 0 <= x < self.size and 0 <= y < self.size:
            return self.px[y][x]
        return TRANSPARENT

    def set(self, x, y, ch):
        if 0 <= x < self.size and 0 <= y < self.size:
            self.px[y][x] = ch

    def cells(self):
        for y in range(self.size):
            for x in range(self.size):
                yield x, y

    def mask(self, inside):
        """The set of pixels whose centre satisfies inside(cx, cy)."""
        return {(x, y) for x, y in self.cells() if inside(x + 0.5, y + 0.5)}

    def paint(self, pixels, ch):
        for x, y in pixels:
            self.set(x, y, ch)

    def stamp(self, rows, left, top, colours=None):
        """Copies a character grid; spaces stay untouched, other characters are mapped by colours."""
        for dy, row in enumerate(rows):
            for dx, ch in enumerate(row):
                if ch in (" ", "."):
                    continue
                self.set(left + dx, top + dy, colours.get(ch, ch) if colours else ch)

    def xpm(self, name):
        used = sorted({ch for row in self.px for ch in row})
        lines = ["/* XPM */", "static const char* %s[] = {" % name.replace("-", "_")]
        body = ['"%d %d %d 1",' % (self.size, self.size, len(used))]
        for ch in used:
            body.append('"%s c %s",' % (ch, "None" if ch == TRANSPARENT else PALETTE[ch]))
        body += ['"%s",' % "".join(row) for row in self.px]
        body[-1] = body[-1].rstrip(",")
        return "\n".join(lines + body + ["};", ""])


def outline(pixels, size, diagonal=False):
    """The pixels just outside a shape: its one-pixel border."""
    steps = [(1, 0), (-1, 0), (0, 1), (0, -1)]
    if diagonal:
        steps += [(1, 1), (1, -1), (-1, 1), (-1, -1)]
    border = set()
    for x, y in pixels:
        for dx, dy in steps:
            p = (x + dx, y + dy)
            if p not in pixels and 0 <= p[0] < size and 0 <= p[1] < size:
                border.add(p)
    return border


def from_grid(rows):
    """The canvas drawn by a full character grid ('.' is transparent)."""
    c = Canvas(len(rows))
    for y, row in enumerate(rows):
        assert len(row) == c.size, (row, len(row))
        for x, ch in enumerate(row):
            c.set(x, y, TRANSPARENT if ch == "." else ch)
    return c


# --- The magnet: application icon and animation frames ------------------------------------------

def magnet_32(sparks):
    c = Canvas(32)
    cx, cy, r_out, r_in, leg_end, tip_start = 16.0, 13.0, 12.0, 5.0, 24.0, 19.0

    def arch(x, y):
        d = math.hypot(x - cx, y - cy)
        if y <= cy:
            return r_in <= d <= r_out
        return r_in <= abs(x - cx) <= r_out and y < leg_end

    body = c.mask(arch)
    tips = {(x, y) for x, y in body if y + 0.5 > tip_start}
    c.paint(body - tips, "R")
    c.paint(tips, "l")
    c.paint(outline(body, 32, diagonal=True), "#")
    # A dark seam between the red iron and the pole tips.
    c.paint({(x, y) for x, y in tips if y == int(tip_start)}, "#")
    if sparks:
        for pole in (7, 24):
            # Three short strokes fanning out below each pole.
            for x, y in [(pole, 26), (pole, 27), (pole, 28), (pole, 29),
                         (pole - 3, 26), (pole - 4, 27), (pole - 5, 28),
                         (pole + 3, 26), (pole + 4, 27), (pole + 5, 28)]:
                c.set(x, y, "#")
    return c


MAGNET_16 = [
    ".....######.....",
    "...##RRRRRR##...",
    "..#RRRRRRRRRR#..",
    ".#RRRR####RRRR#.",
    ".#RRR#....#RRR#.",
    ".#RRR#....#RRR#.",
    ".#RRR#....#RRR#.",
    ".#RRR#....#RRR#.",
    ".#RRR#....#RRR#.",
    ".#####....#####.",
    ".#lll#....#lll#.",
    ".#lll#....#lll#.",
    ".#####....#####.",
    ".#.#.#....#.#.#.",
    "#..#..#..#..#..#",
    "................",
]


# --- Binoculars: the game directory window ------------------------------------------------------

def binoculars_32():
    c = Canvas(32)
    shape = set()
    parts = []
    for left in (2, 18):
        eyepiece = {(x, y) for x in range(left + 3, left + 9) for y in range(3, 9)}
        barrel = {(x, y) for x in range(left, left + 12) for y in range(9, 22)}
        lens_cx, lens_cy = left + 6.0, 24.0
        lens = c.mask(lambda x, y: math.hypot(x - lens_cx, y - lens_cy) <= 6.5)
        parts.append((eyepiece, barrel, lens, lens_cx, lens_cy))
        shape |= eyepiece | barrel | lens
    bridge = {(x, y) for x in range(14, 18) for y in range(11, 17)}
    hinge = {(x, y) for x in range(15, 17) for y in range(5, 11)}
    shape |= bridge | hinge

    c.paint(shape, "d")
    for eyepiece, barrel, lens, lx, ly in parts:
        # Light falls from the upper left: a bright band on each barrel and eyepiece.
        barrel_left = min(x for x, _ in barrel)
        c.paint({(x, y) for x, y in barrel if x in (barrel_left + 2, barrel_left + 3)}, "l")
        c.paint({(x, y) for x, y in eyepiece if x == min(p[0] for p in eyepiece) + 1}, "l")
        c.paint({(x, y) for x, y in eyepiece if y == 8}, "#")
        # The objective: dark glass in a bright ring, with a glint.
        glass = c.mask(lambda x, y: math.hypot(x - lx, y - ly) <= 4.5)
        c.paint(lens - glass, "d")
        c.paint(outline(glass, 32), "l")
        c.paint(glass, "#")
        c.paint({(int(lx) - 2, int(ly) - 2), (int(lx) - 1, int(ly) - 2), (int(lx) - 2, int(ly) - 1)}, "l")
    c.paint({(x, y) for x, y in bridge if y in (12, 15)}, "l")
    c.paint(hinge, "l")
    c.paint(outline(shape, 32, diagonal=True), "#")
    return c


BINOCULARS_16 = [
    "..####....####..",
    "..#ld#....#ld#..",
    ".#####.##.#####.",
    ".#lld######lld#.",
    ".#lld#ldd#lldd#.",
    ".#lld#####lldd#.",
    "#llddd#..#llddd#",
    "#######..#######",
    "#ddddd#..#ddddd#",
    "#d###d#..#d###d#",
    "#d#l#d#..#d#l#d#",
    "#d###d#..#d###d#",
    "#ddddd#..#ddddd#",
    ".#####....#####.",
    "................",
    "................",
]


# --- Waste bin: the auto-delete settings window -------------------------------------------------

def wastebin_32():
    c = Canvas(32)
    top, bottom = 9, 29

    def body_shape(x, y):
        if not (top <= y < bottom):
            return False
        t = (y - top) / (bottom - top)
        half = 8.5 - 2.0 * t
        return abs(x - 15.0) <= half

    body = c.mask(body_shape)
    lid = {(x, y) for x in range(4, 26) for y in range(5, 9)}
    handle = {(x, y) for x in range(11, 19) for y in range(2, 5)} - {(x, y) for x in range(13, 17) for y in range(3, 5)}
    shape = body | lid | handle
    # The shadow falls to the lower right, onto the floor and beside the bin.
    shadow = {(x + 3, y + 2) for x, y in shape} - shape - outline(shape, 32, diagonal=True)
    c.paint(shadow, "d")
    c.paint(body, "l")
    c.paint(lid, "l")
    c.paint(handle, "d")
    # Ribs down the body, and a bright edge where the light catches it.
    for x, y in body:
        if top + 2 <= y <= bottom - 3 and x in (10, 14, 18):
            c.set(x, y, "d")
    for y in range(top + 1, bottom - 1):
        xs = sorted(x for x, yy in body if yy == y)
        c.set(xs[1], y, "W")
        c.set(xs[-1], y, "d")
        c.set(xs[-2], y, "d")
    for x in range(5, 25):
        c.set(x, 6, "W")
    for x in range(5, 26):
        c.set(x, 8, "d")
    c.paint(outline(shape, 32, diagonal=True), "#")
    for x, y in body:
        if y == top:
            c.set(x, y, "#")
    return c


WASTEBIN_16 = [
    "......####......",
    "......#dd#......",
    "..##########....",
    "..#WWWWWWWl#....",
    "..##########....",
    "...#Wldldld#d...",
    "...#Wldldld#d...",
    "...#Wldldld#d...",
    "...#Wldldld#d...",
    "...#Wldldld#d...",
    "....#ldldd#dd...",
    "....#ldldd#dd...",
    "....#ldldd#dd...",
    "....######ddd...",
    ".......ddddd....",
    "................",
]


# --- Question mark on a disc: the help window ---------------------------------------------------

QUESTION_GLYPH = [
    "...XXXXXX...",
    "..XXXXXXXX..",
    ".XXXX..XXXX.",
    ".XXX....XXX.",
    ".XXX....XXX.",
    "........XXX.",
    ".......XXXX.",
    "......XXXX..",
    ".....XXXX...",
    ".....XXX....",
    ".....XXX....",
    "............",
    ".....XXX....",
    ".....XXX....",
    ".....XXX....",
]


def question_32(disc, rim, mark):
    c = Canvas(32)
    face = c.mask(lambda x, y: math.hypot(x - 16.0, y - 16.0) <= 14.6)
    c.paint(face, disc)
    c.paint(outline(face, 32, diagonal=True), rim)
    c.stamp(QUESTION_GLYPH, 10, 8, {"X": mark})
    return c


# --- Information sign: the about box ------------------------------------------------------------

I_GLYPH_32 = [
    "..XXX..",
    "..XXX..",
    "..XXX..",
    ".......",
    ".......",
    "XXXXX..",
    "..XXX..",
    "..XXX..",
    "..XXX..",
    "..XXX..",
    "..XXX..",
    "..XXX..",
    "..XXX..",
    "XXXXXXX",
]


def info_32():
    c = Canvas(32)
    cx, cy, rx, ry = 16.0, 13.0, 14.6, 11.6
    balloon = c.mask(lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0)

    def tail(x, y):
        # A wedge from the balloon's lower left down to a point.
        if not (20.0 <= y <= 30.5):
            return False
        t = (y - 20.0) / 10.5
        left = 8.0 - 4.5 * t
        right = 14.0 - 9.5 * t
        return left <= x <= right

    balloon |= c.mask(tail)
    c.paint(balloon, "W")
    c.paint(outline(balloon, 32, diagonal=True), "d")
    c.stamp(I_GLYPH_32, 13, 5, {"X": "B"})
    return c


INFO_16 = [
    "....dddddddd....",
    "..ddWWWWWWWWdd..",
    ".dWWWWWBBWWWWWd.",
    "dWWWWWWBBWWWWWWd",
    "dWWWWWWWWWWWWWWd",
    "dWWWWWBBBWWWWWWd",
    "dWWWWWWBBWWWWWWd",
    "dWWWWWWBBWWWWWWd",
    "dWWWWWWBBWWWWWWd",
    ".dWWWWBBBBWWWWd.",
    "..ddWWWWWWWWdd..",
    "...dWWWddddd....",
    "...dWWd.........",
    "..dWdd..........",
    ".ddd............",
    "................",
]


# --- Product picture: a magnet over a padlock, in red and dark red ------------------------------

def product_32():
    c = Canvas(32)
    # The padlock: a shackle arch over a body with a keyhole.
    scx, scy = 16.0, 20.5
    shackle = c.mask(lambda x, y: (y <= scy and 3.4 <= math.hypot(x - scx, y - scy) <= 6.0)
                     or (scy < y <= 22.0 and 3.4 <= abs(x - scx) <= 6.0))
    body = {(x, y) for x in range(6, 26) for y in range(22, 31)}
    c.paint(shackle, "R")
    c.paint(outline(shackle, 32), "r")
    c.paint(body, "R")
    c.paint(outline(body, 32), "r")
    keyhole = (c.mask(lambda x, y: math.hypot(x - 16.0, y - 25.0) <= 1.6)
               | {(x, y) for x in (15, 16) for y in range(25, 29)})
    c.paint(keyhole, "r")
    # The magnet above it, poles down, pulling at the shackle.
    mcx, mcy = 16.0, 8.0
    magnet = c.mask(lambda x, y: (y <= mcy and 3.0 <= math.hypot(x - mcx, y - mcy) <= 7.0)
                    or (mcy < y <= 11.0 and 3.0 <= abs(x - mcx) <= 7.0))
    c.paint(magnet, "R")
    c.paint({(x, y) for x, y in magnet if y >= 9}, "r")
    c.paint(outline(magnet, 32), "r")
    return c


PRODUCT_16 = [
    ".....rrrrrr.....",
    "....rRRRRRRr....",
    "...rRRrrrrRRr...",
    "...rRRr..rRRr...",
    "...rRRr..rRRr...",
    "...rrrr..rrrr...",
    "................",
    ".....rrrrrr.....",
    "....rRRRRRRr....",
    "....rRr..rRr....",
    "..rrrrrrrrrrrr..",
    "..rRRRRRRRRRRr..",
    "..rRRRRrrRRRRr..",
    "..rRRRRrrRRRRr..",
    "..rRRRRRRRRRRr..",
    "..rrrrrrrrrrrr..",
]


def build():
    frame1 = magnet_32(sparks=True)
    return {
        "magnet-32": frame1,
        "magnet-16": from_grid(MAGNET_16),
        "frame1-32": frame1,
        "frame2-32": magnet_32(sparks=False),
        "binoculars-32": binoculars_32(),
        "binoculars-16": from_grid(BINOCULARS_16),
        "wastebin-32": wastebin_32(),
        "wastebin-16": from_grid(WASTEBIN_16),
        "question-red-32": question_32("W", "#", "R"),
        "question-green-32": question_32("g", "#", "W"),
        "question-mono-32": question_32("W", "#", "#"),
        "info-32": info_32(),
        "info-16": from_grid(INFO_16),
        "product-32": product_32(),
        "product-16": from_grid(PRODUCT_16),
    }


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    out = argv[1] if len(argv) > 1 else os.path.join(here, os.pardir, "resources", "icons")
    for name, canvas in build().items():
        with open(os.path.join(out, name + ".xpm"), "w", encoding="ascii", newline="\n") as f:
            f.write(canvas.xpm(name))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
