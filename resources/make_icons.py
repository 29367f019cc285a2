#!/usr/bin/env python3
"""Draw Vornkit's icons and write them as Windows .ico files next to this script.

Regenerate with (Python 3, standard library only):

    python3 resources/make_icons.py

The .ico files it writes are committed, so building Vornkit never needs Python.
All artwork is drawn here: small sizes as hand-placed pixel art (character grids),
larger sizes with simple shape code on a pixel grid.

Files and frames written:
    td, te, tc, tn, tp, ta, options .ico:
        16x16 (4 bpp VGA palette; 8 bpp for te and tc), then 20x20, 24x24, 32x32 at 32 bpp
    program.ico:       32x32 4 bpp, 16x16 4 bpp, 48x48 32 bpp
    t?_picture.ico:    32x32 4 bpp (td, te, tc, tn)
"""

import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# --------------------------------------------------------------------------- colours

# The standard 16-colour Windows palette, in index order.
VGA = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
(BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER,
 GREY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE) = VGA

# Characters used in the pixel-art grids for the VGA colours ('.' is transparent).
VGA_CHARS = dict(zip("KMGONPTSDRLYBFAW", VGA))


def mix(c0, c1, t):
    """Linear blend of two RGB(A) colours, t in 0..1."""
    t = max(0.0, min(1.0, t))
    return tuple(int(round(a + (b - a) * t)) for a, b in zip(c0, c1))


def _rgba(col):
    if len(col) == 4:
        return col[0], col[1], col[2], col[3] / 255.0
    return col[0], col[1], col[2], 1.0


# --------------------------------------------------------------------------- canvas

class Canvas:
    """A small RGBA pixel grid.

    Shapes are given as inside(x, y) predicates in pixel units (pixel (i, j) covers
    i..i+1, j..j+1). Each pixel is sampled ss x ss times, so with ss=1 everything is
    hard-edged (what the palette images need) and with ss>1 curved edges are smoothed
    while shapes on whole-pixel coordinates stay crisp.
    """

    def __init__(self, w, h=None, ss=1):
        self.w = w
        self.h = h or w
        self.ss = ss
        self.p = [(0.0, 0.0, 0.0, 0.0)] * (self.w * self.h)  # premultiplied, 0..1

    # -- single pixels
    def put(self, x, y, col, cover=1.0):
        if not (0 <= x < self.w and 0 <= y < self.h) or col is None:
            return
        r, g, b, a = _rgba(col)
        sa = a * cover
        pr, pg, pb, pa = self.p[y * self.w + x]
        k = 1.0 - sa
        self.p[y * self.w + x] = (r / 255.0 * sa + pr * k, g / 255.0 * sa + pg * k,
                                  b / 255.0 * sa + pb * k, sa + pa * k)

    def set(self, x, y, col):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.p[y * self.w + x] = (0.0, 0.0, 0.0, 0.0)
            self.put(x, y, col)

    def get(self, x, y):
        r, g, b, a = self.p[y * self.w + x]
        if a <= 0.5 / 255:
            return (0, 0, 0, 0)
        return (min(255, int(round(r / a * 255))), min(255, int(round(g / a * 255))),
                min(255, int(round(b / a * 255))), int(round(a * 255)))

    def _cover(self, inside, x, y):
        ss = self.ss
        n = 0
        for j in range(ss):
            yy = y + (j + 0.5) / ss
            for i in range(ss):
                if inside(x + (i + 0.5) / ss, yy):
                    n += 1
        return n / float(ss * ss)

    def _box(self, box):
        x0, y0, x1, y1 = box
        return (max(0, int(math.floor(x0))), max(0, int(math.floor(y0))),
                min(self.w, int(math.ceil(x1))), min(self.h, int(math.ceil(y1))))

    def shape(self, inside, col, box=None):
        x0, y0, x1, y1 = self._box(box or (0, 0, self.w, self.h))
        for y in range(y0, y1):
            for x in range(x0, x1):
                c = self._cover(inside, x, y)
                if c:
                    self.put(x, y, col, c)

    def rect(self, x0, y0, x1, y1, col):
        """Filled rectangle x0 <= x < x1, y0 <= y < y1 (whole pixels)."""
        for y in range(max(0, y0), min(self.h, y1)):
            for x in range(max(0, x0), min(self.w, x1)):
                self.put(x, y, col)

    def frame(self, x0, y0, x1, y1, col):
        """One-pixel outline just inside the rectangle."""
        self.rect(x0, y0, x1, y0 + 1, col)
        self.rect(x0, y1 - 1, x1, y1, col)
        self.rect(x0, y0, x0 + 1, y1, col)
        self.rect(x1 - 1, y0, x1, y1, col)

    def box(self, x0, y0, x1, y1, outline, fill):
        self.rect(x0, y0, x1, y1, outline)
        self.rect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, fill)

    def ellipse(self, cx, cy, rx, ry, col):
        self.shape(lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0, col,
                   (cx - rx, cy - ry, cx + rx, cy + ry))

    def circle(self, cx, cy, r, col):
        self.ellipse(cx, cy, r, r, col)

    def grid(self, x0, y0, rows, cmap):
        """Paint hand-drawn pixel art: one string per row, one character per pixel."""
        for j, row in enumerate(rows):
            for i, ch in enumerate(row):
                if ch != "." and ch != " ":
                    self.set(x0 + i, y0 + j, cmap[ch])

    def paste(self, other, x0, y0):
        for y in range(other.h):
            for x in range(other.w):
                r, g, b, a = other.get(x, y)
                if a:
                    self.put(x0 + x, y0 + y, (r, g, b, a))

    def pixels(self):
        return [self.get(x, y) for y in range(self.h) for x in range(self.w)]


def mask_art(cv, inside, colour_at, edge_at):
    """Pixel-art rendering of a shape: decide each pixel from its centre, paint pixels on
    the shape's border with edge_at(x, y) and the rest with colour_at(x, y)."""
    w, h = cv.w, cv.h
    m = [[inside(x + 0.5, y + 0.5) for x in range(w)] for y in range(h)]

    def on(x, y):
        return 0 <= x < w and 0 <= y < h and m[y][x]

    for y in range(h):
        for x in range(w):
            if not m[y][x]:
                continue
            edge = not (on(x - 1, y) and on(x + 1, y) and on(x, y - 1) and on(x, y + 1))
            cv.set(x, y, edge_at(x, y) if edge else colour_at(x, y))


# --------------------------------------------------------------------------- .ico writer

def _dib(cv, bpp, palette=None):
    """One icon image: BITMAPINFOHEADER, palette, XOR bitmap, AND mask (rows bottom-up)."""
    w, h = cv.w, cv.h
    px = cv.pixels()
    xor_stride = ((w * bpp + 31) // 32) * 4
    and_stride = ((w + 31) // 32) * 4
    xor = bytearray()
    andm = bytearray()
    index = None
    if bpp <= 8:
        index = {c: i for i, c in enumerate(palette)}
    for y in range(h - 1, -1, -1):
        row = px[y * w:(y + 1) * w]
        xrow = bytearray()
        mbits = []
        if bpp == 32:
            for r, g, b, a in row:
                xrow += bytes((b, g, r, a)) if a else b"\0\0\0\0"
                mbits.append(0 if a else 1)
        else:
            idx = []
            for r, g, b, a in row:
                if a == 0:
                    idx.append(0)
                    mbits.append(1)
                else:
                    assert a == 255, "palette images must be fully opaque or transparent"
                    assert (r, g, b) in index, "colour %r not in palette" % ((r, g, b),)
                    idx.append(index[(r, g, b)])
                    mbits.append(0)
            if bpp == 8:
                xrow += bytes(idx)
            elif bpp == 4:
                for i in range(0, w, 2):
                    hi = idx[i]
                    lo = idx[i + 1] if i + 1 < w else 0
                    xrow.append((hi << 4) | lo)
            else:
                raise ValueError(bpp)
        xrow += b"\0" * (xor_stride - len(xrow))
        xor += xrow
        mrow = bytearray(and_stride)
        for i, bit in enumerate(mbits):
            if bit:
                mrow[i // 8] |= 0x80 >> (i % 8)
        andm += mrow
    pal = b""
    if bpp <= 8:
        n = 1 << bpp
        full = list(palette) + [(0, 0, 0)] * (n - len(palette))
        pal = b"".join(bytes((b, g, r, 0)) for r, g, b in full)
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, bpp, 0,
                         len(xor) + len(andm), 0, 0, 0, 0)
    return header + pal + bytes(xor) + bytes(andm)


def _palette_for(cv, bpp):
    if bpp == 4:
        return VGA
    if bpp == 8:
        cols = [(0, 0, 0)]
        for r, g, b, a in cv.pixels():
            if a and (r, g, b) not in cols:
                cols.append((r, g, b))
        assert len(cols) <= 256
        return cols
    return None


def write_ico(name, frames):
    """frames: list of (canvas, bits per pixel)."""
    images = []
    for cv, bpp in frames:
        images.append((cv.w, cv.h, bpp, _dib(cv, bpp, _palette_for(cv, bpp))))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for w, h, bpp, data in images:
        out += struct.pack("<BBBBHHII", w % 256, h % 256, 16 if bpp == 4 else 0, 0, 1, bpp,
                           len(data), offset)
        offset += len(data)
    for _, _, _, data in images:
        out += data
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(out)


def pick(rich, vga, rgb):
    """Palette images use only the 16 VGA colours; 32 bpp images may use richer shades."""
    return rgb if rich else vga


# --------------------------------------------------------------------------- td: command prompt

# size: (window top, title rows, prompt rows, stroke, prompt x, cursor length, cursor rows, buttons)
TD = {
    12: (1, 2, 3, 2, 2, 3, 1, 1),
    16: (1, 2, 5, 2, 2, 4, 1, 1),
    20: (1, 3, 5, 2, 3, 5, 1, 1),
    24: (2, 3, 7, 2, 3, 6, 2, 2),
    32: (2, 5, 9, 3, 4, 8, 2, 2),
}


def draw_td(cv, rich):
    s = cv.w
    y0, th, ch, st, cx, cl, crow, nbut = TD[s]
    y1 = s - y0
    cv.rect(0, y0, s, y1, pick(rich, GREY, (104, 108, 120)))
    for i in range(th):
        if rich:
            col = mix((84, 146, 240), (24, 60, 170), i / max(1, th - 1))
        else:
            col = BLUE if i < (th + 1) // 2 else NAVY
        cv.rect(1, y0 + 1 + i, s - 1, y0 + 2 + i, col)
    bs = max(2, th - 2)
    by = y0 + 1 + (th - bs) // 2
    for k in range(nbut):
        bx = s - 2 - bs - k * (bs + 1)
        cv.rect(bx, by, bx + bs, by + bs, pick(rich, WHITE, (238, 240, 246)))
    cy0, cy1 = y0 + 1 + th, y1 - 1
    cv.rect(1, cy0, s - 1, cy1, pick(rich, BLACK, (12, 12, 16)))
    fg = pick(rich, WHITE, (235, 235, 235))
    top = cy0 + (cy1 - cy0 - ch) // 2
    for i in range(ch):
        off = min(i, ch - 1 - i)
        cv.rect(cx + off, top + i, cx + off + st, top + i + 1, fg)
    ux = cx + (ch - 1) // 2 + st + 1 + (1 if s >= 24 else 0)
    cv.rect(ux, top + ch - crow, ux + cl, top + ch, fg)


# --------------------------------------------------------------------------- te: file explorer

TE_COL = {  # the 16 px frame is 8 bpp, so it shares the richer shades
    "o": (104, 68, 12),     # outline
    "b": (222, 160, 36),    # back of the folder
    "y": (255, 208, 76),    # front
    "h": (255, 238, 164),   # front highlight
    "s": (226, 168, 44),    # front shade
    "k": (36, 40, 52),      # lens rim
    "g": (150, 156, 170),   # lens ring
    "c": (186, 226, 255),   # glass
    "w": (255, 255, 255),
    "m": (84, 52, 26),      # handle
}

TE16 = [
    "................",
    "................",
    ".oooo...........",
    "obbbbo..........",
    "obbbbbooooooo...",
    "obbbbbbbbbbbo...",
    "ooooooookkkko...",
    "ohhhhhhkcccck...",
    "oyyyyykccwccck..",
    "oyyyyykcwcccck..",
    "oyyyyykcccccck..",
    "oyyyyykcccccck..",
    "osssssskcccckm..",
    "ooooooookkkkmmm.",
    ".............mmm",
    "..............mm",
]

# size: folder x1, tab top, tab right, back top, front top, bottom, lens centre, lens radius,
#       handle width
TE = {
    20: (17, 2, 7, 5, 7, 17, 13, 5, 3),
    24: (20, 3, 8, 6, 9, 21, 16, 6, 3),
    32: (27, 4, 11, 8, 12, 28, 21, 8, 4),
}


def draw_folder(cv, rich, x0, x1, tab_top, tab_right, back_top, front_top, bottom):
    o = pick(rich, BLACK, TE_COL["o"])
    b = pick(rich, OLIVE, TE_COL["b"])
    h = pick(rich, WHITE, TE_COL["h"])
    sh = pick(rich, OLIVE, TE_COL["s"])
    cv.box(x0, tab_top, tab_right, back_top + 1, o, b)
    cv.set(x0, tab_top, None)
    cv.box(x0, back_top, x1, bottom, o, b)
    cv.rect(x0 + 1, back_top, tab_right - 1, back_top + 1, b)
    cv.rect(x0, front_top, x1, front_top + 1, o)
    for yy in range(front_top + 1, bottom - 1):
        t = (yy - front_top - 1) / max(1.0, bottom - front_top - 3)
        cv.rect(x0 + 1, yy, x1 - 1, yy + 1,
                mix(TE_COL["y"], (250, 190, 56), t) if rich else YELLOW)
    cv.rect(x0 + 1, front_top + 1, x1 - 1, front_top + 2, h)
    cv.rect(x0 + 1, bottom - 2, x1 - 1, bottom - 1, sh)


def draw_magnifier(cv, rich, c, r, hw):
    """Lens centred on the pixel corner (c, c); hard-edged like the rest of the pixel art."""
    ss, cv.ss = cv.ss, 1
    s = cv.w
    k = pick(rich, BLACK, TE_COL["k"])
    m = pick(rich, MAROON, TE_COL["m"])
    w = int(hw)
    h0 = int(c + r * 0.7071) - 1
    for i in range(h0, s - w + 1):  # handle: a diagonal band of w x w squares
        cv.rect(i, i, i + w, i + w, m)
    if rich:
        for i in range(h0, s - w + 1):
            cv.set(i + w - 1, i, mix(TE_COL["m"], (255, 255, 255), 0.25))
    cv.circle(c, c, r, k)
    ring = 1.0 if r < 6 else 1.5
    cv.circle(c, c, r - 1, pick(rich, GREY, TE_COL["g"]))
    rg = r - 1 - ring
    cv.circle(c, c, rg, pick(rich, AQUA, TE_COL["c"]))
    cv.shape(lambda x, y: (rg - 2.0) ** 2 <= (x - c) ** 2 + (y - c) ** 2 <= (rg - 0.6) ** 2
             and (x - c) < -0.2 and (y - c) < -0.2 and abs((x - c) - (y - c)) < rg * 0.8,
             pick(rich, WHITE, TE_COL["w"]), (c - r, c - r, c, c))
    cv.ss = ss


def draw_te(cv, rich):
    s = cv.w
    if s == 16:
        cv.grid(0, 0, TE16, TE_COL)
        return
    x1, tt, tr, bt, ft, bot, c, r, hw = TE[s]
    draw_folder(cv, rich, 0, x1, tt, tr, bt, ft, bot)
    draw_magnifier(cv, rich, c, r, hw)


# --------------------------------------------------------------------------- tc: control panel

# size: panel x0, y0, width, height, knob width, knob height, gap between knobs
TC = {
    16: (1, 1, 15, 14, 3, 3, 1),
    20: (0, 1, 19, 18, 3, 3, 2),
    24: (1, 1, 22, 22, 4, 4, 2),
    32: (0, 1, 32, 30, 6, 5, 3),
}
TC_KNOBS = [  # (vga face, vga light, rich face, rich light), position along the slot
    ((RED, RED, (224, 56, 44), (255, 150, 130)), 0.15),
    ((LIME, LIME, (52, 176, 72), (150, 230, 150)), 0.75),
    ((BLUE, BLUE, (48, 104, 224), (150, 190, 255)), 0.40),
]


def draw_tc(cv, rich):
    s = cv.w
    px, py, pw, ph, kw, kh, g = TC[s]
    dark = pick(rich, BLACK, (40, 42, 52))
    cv.box(px, py, px + pw, py + ph, dark, pick(rich, SILVER, (204, 208, 216)))
    cv.rect(px + 1, py + 1, px + pw - 1, py + 2, pick(rich, WHITE, (250, 250, 252)))
    cv.rect(px + 1, py + 1, px + 2, py + ph - 1, pick(rich, WHITE, (250, 250, 252)))
    cv.rect(px + 1, py + ph - 2, px + pw - 1, py + ph - 1, pick(rich, GREY, (140, 144, 156)))
    cv.rect(px + pw - 2, py + 1, px + pw - 1, py + ph - 1, pick(rich, GREY, (140, 144, 156)))
    gw = 1 if kw % 2 else 2
    gy0, gy1 = py + 3, py + ph - 3
    for i, (cols, frac) in enumerate(TC_KNOBS):
        kx = px + 1 + g + i * (kw + g)
        gx = kx + (kw - gw) // 2
        cv.rect(gx, gy0, gx + gw, gy1, dark)
        ky = gy0 - 1 + int(round(frac * (gy1 - gy0 + 2 - kh)))
        face, light = (cols[2], cols[3]) if rich else (cols[0], cols[1])
        if kw >= 4:
            cv.box(kx, ky, kx + kw, ky + kh, dark, face)
            cv.rect(kx + 1, ky + 1, kx + kw - 1, ky + 2, light)
            if kh >= 5:
                cv.rect(kx + 1, ky + kh // 2, kx + kw - 1, ky + kh // 2 + 1, dark)
        else:
            cv.rect(kx, ky, kx + kw, ky + kh, face)
            if rich:
                cv.rect(kx, ky, kx + kw, ky + 1, light)


# --------------------------------------------------------------------------- tn: notepad

# size: pad x0, x1, y0, y1, rings, ring width, ring pitch, ring rise, first line, line step, margin
TN = {
    12: (1, 12, 1, 12, 3, 1, 3, 1, 4, 2, 0),
    16: (1, 15, 1, 16, 4, 1, 3, 1, 4, 2, 3),
    20: (2, 19, 1, 20, 5, 1, 3, 1, 5, 3, 3),
    24: (2, 22, 2, 24, 5, 2, 4, 2, 6, 3, 4),
    32: (3, 29, 2, 32, 6, 2, 4, 2, 7, 3, 5),
}


def draw_tn(cv, rich):
    s = cv.w
    x0, x1, y0, y1, n, rw, pitch, rise, first, step, margin = TN[s]
    cv.box(x0, y0, x1, y1, pick(rich, BLACK, (40, 42, 52)), pick(rich, WHITE, (255, 255, 255)))
    if rich:
        cv.rect(x1 - 2, y0 + 1, x1 - 1, y1 - 1, (226, 230, 238))
        cv.rect(x0 + 1, y1 - 2, x1 - 1, y1 - 1, (226, 230, 238))
    line = pick(rich, TEAL, (120, 160, 232))
    for yy in range(y0 + first, y1 - 2, step):
        cv.rect(x0 + 2, yy, x1 - 2, yy + 1, line)
    if margin:
        cv.rect(x0 + margin, y0 + 3 + rise, x0 + margin + 1, y1 - 1, pick(rich, RED, (236, 90, 90)))
    centre = (x0 + x1) / 2.0
    for k in range(n):
        rx = int(round(centre + (k - (n - 1) / 2.0) * pitch - rw / 2.0))
        cv.rect(rx, y0 + 1 + rise, rx + rw, y0 + 2 + rise, pick(rich, BLACK, (40, 42, 52)))
        if rw == 1:
            cv.rect(rx, y0 - rise, rx + 1, y0 + 1 + rise, pick(rich, GREY, (128, 130, 142)))
        else:
            cv.rect(rx, y0 - rise, rx + 1, y0 + 1 + rise, pick(rich, SILVER, (208, 210, 218)))
            cv.rect(rx + 1, y0 - rise, rx + 2, y0 + 1 + rise, pick(rich, GREY, (118, 120, 132)))


# --------------------------------------------------------------------------- tp: compact disc

TP = {  # size: outer radius, hole radius, hub radius
    12: (6.0, 1.0, 0.0),
    16: (8.0, 1.45, 3.3),
    20: (9.6, 1.6, 3.9),
    24: (11.6, 2.0, 4.7),
    32: (15.6, 2.6, 6.2),
}
TP16 = [
    ".....DDDDDD.....",
    "...DDSSSSSADD...",
    "..DSSSSSSSAAWD..",
    ".DSSSSSSSSAWWYD.",
    ".DSSSSSSSAWWYYD.",
    "DSSSSSSSSAWYFFSD",
    "DSSSSSSDDSYFSSSD",
    "DSSSSSD..DSSSSSD",
    "DSSSSSD..DSSSSSD",
    "DSSSFYSDDSSSSSSD",
    "DSFFYWASSSSSSSSD",
    ".DYYWWASSSSSSSD.",
    ".DYWWASSSSSSSSD.",
    "..DWAASSSSSSSD..",
    "...DDASSSSSDD...",
    ".....DDDDDD.....",
]


def draw_tp(cv, rich):
    s = cv.w
    if s == 16 and not rich:
        cv.grid(0, 0, TP16, VGA_CHARS)
        return
    R, rh, rhub = TP[s]
    c = s / 2.0

    def inside(x, y):
        return rh < math.hypot(x - c, y - c) <= R

    def colour(x, y):
        dx, dy = x + 0.5 - c, y + 0.5 - c
        r = math.hypot(dx, dy)
        if r <= rhub:
            if r > rhub - 1.0:
                return pick(rich, GREY, (176, 180, 190))
            return pick(rich, WHITE, (236, 240, 246))
        ang = math.degrees(math.atan2(-dy, dx)) % 180.0  # both opposite wedges
        rel = ang - 45.0
        light = ((dx - dy) / (2 * R))  # lighter towards the upper right
        if rich:
            base = mix((200, 204, 214), (236, 238, 244), 0.5 + light)
            w = max(0.0, 1.0 - abs(rel) / 34.0)
            hue = (rel + 34.0) / 68.0
            stops = [(240, 110, 230), (255, 236, 90), (250, 250, 255), (80, 220, 255)]
            f = hue * (len(stops) - 1)
            i = max(0, min(len(stops) - 2, int(f)))
            sheen = mix(stops[i], stops[i + 1], f - i)
            return mix(base, sheen, w ** 0.7)
        if R - 1.0 > r > rhub - 0.5 and 20.0 <= ang < 70.0:  # rainbow sheen
            return FUCHSIA if ang < 30 else YELLOW if ang < 40 else WHITE if ang < 55 else AQUA
        return SILVER

    def edge(x, y):
        return pick(rich, GREY, (112, 116, 128))

    mask_art(cv, inside, colour, edge)


# --------------------------------------------------------------------------- ta: calculator

# size: key columns, key width, key gap, side margin, display rows, gap under display,
#       key rows, key height
TA = {
    16: (3, 2, 1, 1, 3, 1, 3, 2),
    20: (4, 2, 1, 1, 3, 2, 4, 2),
    24: (4, 3, 1, 1, 4, 1, 4, 3),
    32: (4, 4, 1, 2, 8, 1, 5, 3),
}
DIGITS = {  # 3 x 5 display font
    "1": [".K.", "KK.", ".K.", ".K.", "KKK"],
    "2": ["KK.", "..K", ".K.", "K..", "KKK"],
    "3": ["KK.", "..K", ".K.", "..K", "KK."],
}


def draw_ta(cv, rich):
    s = cv.w
    nc, kw, kg, m, dh, dg, nr, kh = TA[s]
    W = 2 + 2 * m + nc * kw + (nc - 1) * kg
    H = 2 + 1 + dh + dg + nr * kh + (nr - 1) + 1
    x0, y0 = (s - W) // 2, (s - H) // 2
    dark = pick(rich, BLACK, (36, 38, 46))
    cv.box(x0, y0, x0 + W, y0 + H, dark, pick(rich, GREY, (112, 118, 132)))
    cv.rect(x0 + 1, y0 + 1, x0 + W - 1, y0 + 2, pick(rich, SILVER, (160, 166, 180)))
    cv.rect(x0 + 1, y0 + 1, x0 + 2, y0 + H - 1, pick(rich, SILVER, (160, 166, 180)))
    # display
    dx0, dx1 = x0 + 1 + m, x0 + W - 1 - m
    dy0 = y0 + 2
    lcd = pick(rich, LIME, (184, 214, 160))
    ink = pick(rich, GREEN, (44, 64, 40))
    cv.rect(dx0, dy0, dx1, dy0 + dh, lcd)
    if dh >= 4:
        cv.rect(dx0, dy0, dx1, dy0 + 1, pick(rich, GREEN, (128, 152, 112)))
    if dh >= 7:
        xx = dx1 - 1
        for ch in reversed("123"):
            xx -= 4
            cv.grid(xx, dy0 + 2, DIGITS[ch], {"K": ink})
    else:
        dw = 1 if s < 24 else 2
        for k in range(3):
            xx = dx1 - 1 - (k + 1) * dw - k
            cv.rect(xx, dy0 + dh // 2, xx + dw, dy0 + dh // 2 + 1 + (dh >= 4), ink)
    # keys
    ky0 = dy0 + dh + dg
    for row in range(nr):
        for col in range(nc):
            kx = x0 + 1 + m + col * (kw + kg)
            ky = ky0 + row * (kh + 1)
            op = col == nc - 1
            if rich:
                face, hi, lo = (((240, 128, 48), (255, 196, 140), (190, 84, 30)) if op else
                                ((228, 230, 236), (255, 255, 255), (168, 172, 184)))
            else:
                face, hi, lo = (RED, RED, MAROON) if op else (SILVER, WHITE, SILVER)
            cv.rect(kx, ky, kx + kw, ky + kh, face)
            cv.rect(kx, ky, kx + kw, ky + 1, hi)
            cv.rect(kx, ky + kh - 1, kx + kw, ky + kh, lo)


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
