"""The drawing surface and the .ico writer that resources/make_icons.py draws the icons with:
the 16-colour VGA palette, an RGBA canvas with shapes and pixel-art grids, and Windows icon
files with palette (4 and 8 bpp) and alpha (32 bpp) frames.

Python 3, standard library only.
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
