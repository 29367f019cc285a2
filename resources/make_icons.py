#!/usr/bin/env python3
"""Draw Vornkit's icons and write them as Windows .ico files next to this script.

Regenerate with (Python 3, standard library only):

    python3 resources/make_icons.py

The .ico files it writes are committed, so building Vornkit never needs Python.
All artwork is drawn in Python: small sizes as hand-placed pixel art (character grids),
larger sizes with simple shape code on a pixel grid. The options and program icons are drawn
here, the six applet icons in applet_art.py, both on the canvas of icotools.py, which also
writes the .ico files.

Files and frames written:
    td, te, tc, tn, tp, ta, options .ico:
        16x16 (4 bpp VGA palette; 8 bpp for te and tc), then 20x20, 24x24, 32x32 at 32 bpp
    program.ico:       32x32 4 bpp, 16x16 4 bpp, 48x48 32 bpp
    t?_picture.ico:    32x32 4 bpp (td, te, tc, tn)
"""

import math
import sys

sys.dont_write_bytecode = True  # keep resources/ free of __pycache__

from applet_art import draw_ta, draw_tc, draw_td, draw_te, draw_tn, draw_tp  # noqa: E402
from icotools import (BLACK, BLUE, GREY, LIME, NAVY, SILVER, VGA_CHARS, WHITE,  # noqa: E402
                      YELLOW, Canvas, mask_art, mix, pick, write_ico)


# --------------------------------------------------------------------------- options: gear on a tray

# size: tray rows, gear centre x, y, tooth radius, body radius, hole radius, tooth width
OPT = {
    16: (4, 6.5, 6.5, 6.6, 4.6, 1.6, 3.0),
    20: (5, 8.5, 8.5, 8.6, 6.0, 2.0, 3.0),
    24: (6, 10.5, 10.5, 10.6, 7.4, 2.6, 4.0),
    32: (8, 14.0, 13.0, 13.2, 9.6, 3.4, 5.0),
}


def draw_tray(cv, rich, y0, y1, x0=0, x1=None):
    x1 = cv.w if x1 is None else x1
    cv.box(x0, y0, x1, y1, pick(rich, BLACK, (20, 26, 48)), pick(rich, NAVY, (30, 56, 140)))
    cv.rect(x0 + 1, y0 + 1, x1 - 1, y0 + 2, pick(rich, BLUE, (80, 124, 224)))


def draw_gear(cv, rich, gx, gy, rt, rb, rh, tw, teeth=8):
    axes = [(math.cos(2 * math.pi * k / teeth), math.sin(2 * math.pi * k / teeth))
            for k in range(teeth)]

    def inside(x, y):
        dx, dy = x - gx, y - gy
        r = math.hypot(dx, dy)
        if r < rh:
            return False
        if r <= rb:
            return True
        if r > rt:
            return False
        for k, (cx, cy) in enumerate(axes):
            w = tw if k % 2 == 0 else tw * 1.25  # diagonal teeth lose more to the outline
            if dx * cx + dy * cy > 0 and abs(dy * cx - dx * cy) <= w / 2.0:
                return True
        return False

    def colour(x, y):
        t = ((x + 0.5 - gx) + (y + 0.5 - gy)) / (2.0 * rt)
        if rich:
            return mix((252, 252, 255), (128, 134, 150), t + 0.55)
        return WHITE if t < -0.3 else (GREY if t > 0.3 else SILVER)

    mask_art(cv, inside, colour, lambda x, y: pick(rich, BLACK, (40, 42, 52)))


GEAR16 = [
    ".....KKK.....",
    "..KK.KWK.KK..",
    ".KWSKSWSKSSK.",
    ".KSWSSSSSSSK.",
    "..KSSKKKSSK..",
    "KKSSK...KSSKK",
    "KWSSK...KSSDK",
    "KKSSK...KSSKK",
    "..KSSKKKSDK..",
    ".KSSSSSSSDSK.",
    ".KSDKSDSKDDK.",
    "..KK.KDK.KK..",
    ".....KKK.....",
]


def draw_options(cv, rich):
    s = cv.w
    tr, gx, gy, rt, rb, rh, tw = OPT[s]
    draw_tray(cv, rich, s - tr, s)
    sq = tr - 2
    for k, col in enumerate((pick(rich, YELLOW, (255, 208, 76)), pick(rich, LIME, (90, 210, 110)))):
        x = s - 1 - (k + 1) * (sq + 1)
        cv.rect(x, s - tr + 1 + (1 if tr > 4 else 0), x + sq, s - 1, col)
    if s == 16 and not rich:
        cv.grid(0, 0, GEAR16, VGA_CHARS)
        return
    g = Canvas(s, s, cv.ss)
    draw_gear(g, rich, gx, gy, rt, rb, rh, tw)
    cv.paste(g, 0, 0)


# --------------------------------------------------------------------------- program: the launcher mark

FOLDER12 = [
    "............",
    ".KKKK.......",
    "KOOOOK......",
    "KOOOOOKKKKK.",
    "KOOOOOOOOOOK",
    "KKKKKKKKKKKK",
    "KWWWWWWWWWWK",
    "KYYYYYYYYYYK",
    "KYYYYYYYYYYK",
    "KYYYYYYYYYYK",
    "KOOOOOOOOOOK",
    "KKKKKKKKKKKK",
]

PROGRAM16 = [
    ".KKKKKKKKKKKKKK.",
    "KBBBBBWNNNYYNNNK",
    "KDKKKKDNNYYYYYYK",
    "KDWKKKDNNWWWWWWK",
    "KDKWKKDNNYYYYYYK",
    "KDWKWWDNNYYYYYYK",
    "KDDDDDDNNOOOOOOK",
    "KNNNNNNNNNNNNNNK",
    "KNNNNNNNNNNNNNNK",
    "KNSNNSNNNNSSSSNK",
    "KWWWWWWNNSSSSASK",
    "KWTTTTWNNSSNNWSK",
    "KWWWWWWNNSWNNSSK",
    "KWTTTTWNNSFSSSSK",
    "KWWWWWWNNNSSSSNK",
    ".KKKKKKKKKKKKKK.",
]


def draw_tile(cv, rich, radius):
    """The rounded tray tile that holds the launcher icons."""
    s = cv.w
    out = pick(rich, BLACK, (16, 22, 44))
    cv.rect(0, 0, s, s, out)
    for yy in range(1, s - 1):
        t = yy / float(s)
        cv.rect(1, yy, s - 1, yy + 1, mix((58, 104, 206), (22, 42, 128), t) if rich else NAVY)
    cv.rect(1, 1, s - 1, 2, pick(rich, BLUE, (110, 156, 240)))
    cv.rect(1, 1, 2, s - 1, pick(rich, BLUE, (90, 136, 230)))
    for k in range(radius):  # cut the corners
        for x, y in ((k, 0), (0, k), (s - 1 - k, 0), (s - 1, k), (k, s - 1), (0, s - 1 - k),
                     (s - 1 - k, s - 1), (s - 1, s - 1 - k)):
            cv.set(x, y, None)
    if radius:
        for x, y in ((1, 1), (s - 2, 1), (1, s - 2), (s - 2, s - 2)):
            cv.set(x, y, out)


def draw_program(cv, rich):
    s = cv.w
    if s == 16:
        cv.grid(0, 0, PROGRAM16, VGA_CHARS)
        return
    draw_tile(cv, rich, 2)
    if s == 32:
        m, n, gap = 3, 12, 2
        minis = []
        for fn in (draw_td, None, draw_tn, draw_tp):
            c = Canvas(n, n, 1)
            if fn is None:
                c.grid(0, 0, FOLDER12, VGA_CHARS)
            else:
                fn(c, rich)
            minis.append(c)
    else:  # 48: the 20 px tray icons themselves
        m, n, gap = 3, 20, 2
        minis = [render(fn, 20) for fn in (draw_td, draw_te, draw_tn, draw_tp)]
    for i, c in enumerate(minis):
        cv.paste(c, m + (i % 2) * (n + gap), m + (i // 2) * (n + gap))


# --------------------------------------------------------------------------- output

def render(fn, size, rich=True):
    cv = Canvas(size, size, 4 if rich else 1)
    fn(cv, rich)
    return cv


def small_icon(fn, small_bpp):
    """16 px palette image first, then 20, 24 and 32 px with alpha for high DPI."""
    frames = [(render(fn, 16, rich=small_bpp == 8), small_bpp)]
    frames += [(render(fn, n), 32) for n in (20, 24, 32)]
    return frames


def main():
    write_ico("td.ico", small_icon(draw_td, 4))
    write_ico("te.ico", small_icon(draw_te, 8))
    write_ico("tc.ico", small_icon(draw_tc, 8))
    write_ico("tn.ico", small_icon(draw_tn, 4))
    write_ico("tp.ico", small_icon(draw_tp, 4))
    write_ico("ta.ico", small_icon(draw_ta, 4))
    write_ico("options.ico", small_icon(draw_options, 4))
    write_ico("program.ico", [(render(draw_program, 32, False), 4),
                              (render(draw_program, 16, False), 4),
                              (render(draw_program, 48), 32)])
    for name, fn in (("td", draw_td), ("te", draw_te), ("tc", draw_tc), ("tn", draw_tn)):
        write_ico(name + "_picture.ico", [(render(fn, 32, False), 4)])


if __name__ == "__main__":
    main()
