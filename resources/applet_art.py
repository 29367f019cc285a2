"""The artwork of the six applet icons: command prompt (td), file explorer (te), control panel
(tc), notepad (tn), compact disc (tp) and calculator (ta). Each draw_XX(cv, rich) paints one
size on an empty canvas: rich for the 32 bpp frames, the 16 VGA colours otherwise.
"""

import math

from icotools import (AQUA, BLACK, BLUE, FUCHSIA, GREEN, GREY, LIME, MAROON, NAVY, OLIVE, RED,
                      SILVER, TEAL, VGA_CHARS, WHITE, YELLOW, mask_art, mix, pick)

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
