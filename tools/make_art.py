#!/usr/bin/env python3
"""Generates the program resources in res/: toolbar strip, About banner and icon bitmaps,
the application icon and the shutter sound. Standard library only; the output is
deterministic, so regenerating leaves the committed files unchanged.

Usage: python3 tools/make_art.py [output folder, default <repo>/res]
"""
import math
import os
import struct
import sys

MAGENTA = (255, 0, 255)


# --------------------------------------------------------------------------- drawing

class Canvas:
    def __init__(self, w, h, bg=MAGENTA):
        self.w, self.h = w, h
        self.pix = [[bg] * w for _ in range(h)]
        self.alpha = [[255] * w for _ in range(h)]
        self.ox = self.oy = 0  # origin, so one icon routine can draw into any cell of a strip

    def px(self, x, y, c):
        x += self.ox
        y += self.oy
        if 0 <= x < self.w and 0 <= y < self.h:
            self.pix[y][x] = c

    def get(self, x, y):
        return self.pix[y + self.oy][x + self.ox]

    def dot(self, x, y, c):
        """One pixel of the image itself (a scaled canvas does not scale it)."""
        Canvas.px(self, x, y, c)

    def rect(self, x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.px(x, y, c)

    def frame(self, x0, y0, x1, y1, c):
        for x in range(x0, x1 + 1):
            self.px(x, y0, c)
            self.px(x, y1, c)
        for y in range(y0, y1 + 1):
            self.px(x0, y, c)
            self.px(x1, y, c)

    def box(self, x0, y0, x1, y1, fill, edge):
        self.rect(x0, y0, x1, y1, fill)
        self.frame(x0, y0, x1, y1, edge)

    def line(self, x0, y0, x1, y1, c):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx = 1 if x0 < x1 else -1
        sy = 1 if y0 < y1 else -1
        err = dx + dy
        while True:
            self.px(x0, y0, c)
            if x0 == x1 and y0 == y1:
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def polygon(self, pts, fill, edge=None):
        """Fills the pixels whose centres lie inside pts (even-odd rule), then strokes the edges."""
        ys = [p[1] for p in pts]
        n = len(pts)
        for y in range(int(math.floor(min(ys))), int(math.ceil(max(ys))) + 1):
            cy = y + 0.5
            xs = []
            for i in range(n):
                (xa, ya), (xb, yb) = pts[i], pts[(i + 1) % n]
                if (ya <= cy < yb) or (yb <= cy < ya):
                    xs.append(xa + (cy - ya) * (xb - xa) / (yb - ya))
            xs.sort()
            for a, b in zip(xs[::2], xs[1::2]):
                for x in range(int(math.ceil(a - 0.5)), int(math.floor(b - 0.5)) + 1):
                    self.dot(x, y, fill)
        if edge is not None:
            for i in range(n):
                (xa, ya), (xb, yb) = pts[i], pts[(i + 1) % n]
                self.line(int(xa), int(ya), int(xb), int(yb), edge)

    def disc(self, cx, cy, r, c, r_in=-1.0):
        """Pixels whose centres lie between radii r_in and r of (cx, cy)."""
        for y in range(int(cy - r) - 1, int(cy + r) + 2):
            for x in range(int(cx - r) - 1, int(cx + r) + 2):
                d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
                if r_in < d <= r:
                    self.dot(x, y, c)

    def sprite(self, x0, y0, rows, colours):
        """Pixel pattern: one character a pixel, '.' leaves the pixel alone."""
        for j, row in enumerate(rows):
            for i, ch in enumerate(row):
                if ch != '.':
                    self.px(x0 + i, y0 + j, colours[ch])

    def shade(self, cell, colour_at):
        """Every pixel of the cell coloured by colour_at(x, y) of its centre (None leaves it)."""
        for y in range(cell):
            for x in range(cell):
                c = colour_at(x + 0.5, y + 0.5)
                if c is not None:
                    self.px(x, y, c)

    def mirror_cell(self, cell):
        """The cell flipped left to right."""
        for y in range(cell):
            row = [self.get(x, y) for x in range(cell)]
            for x in range(cell):
                self.px(x, y, row[cell - 1 - x])


class ScaledCanvas(Canvas):
    """Draws the 16-pixel designs at a larger size: areas and pixels scale, while lines, edges,
    polygons and discs are drawn again at the full resolution, so that the larger images are not
    the small ones stretched. Coordinates given to every method are those of the 16-pixel design."""

    def __init__(self, w, h, scale, stroke):
        super().__init__(w, h)
        self.s = scale
        self.stroke = stroke

    def _edge(self, v):
        return int(math.floor(v * self.s + 0.5))

    def _fill(self, X0, Y0, X1, Y1, c):  # target pixels, half-open
        for Y in range(Y0, Y1):
            for X in range(X0, X1):
                self.dot(X, Y, c)

    def px(self, x, y, c):
        self._fill(self._edge(x), self._edge(y), self._edge(x + 1), self._edge(y + 1), c)

    def get(self, x, y):
        return self.pix[self._edge(y) + self.oy][self._edge(x) + self.ox]

    def rect(self, x0, y0, x1, y1, c):
        self._fill(self._edge(x0), self._edge(y0), self._edge(x1 + 1), self._edge(y1 + 1), c)

    def frame(self, x0, y0, x1, y1, c):
        X0, Y0, X1, Y1 = self._edge(x0), self._edge(y0), self._edge(x1 + 1), self._edge(y1 + 1)
        t = self.stroke
        self._fill(X0, Y0, X1, min(Y0 + t, Y1), c)
        self._fill(X0, max(Y1 - t, Y0), X1, Y1, c)
        self._fill(X0, Y0, min(X0 + t, X1), Y1, c)
        self._fill(max(X1 - t, X0), Y0, X1, Y1, c)

    def line(self, x0, y0, x1, y1, c):
        # From pixel centre to pixel centre, as wide as the stroke.
        ax, ay = (x0 + 0.5) * self.s, (y0 + 0.5) * self.s
        bx, by = (x1 + 0.5) * self.s, (y1 + 0.5) * self.s
        dx, dy = bx - ax, by - ay
        n = dx * dx + dy * dy
        r = self.stroke / 2.0 + 0.25
        for Y in range(int(min(ay, by) - r) - 1, int(max(ay, by) + r) + 2):
            for X in range(int(min(ax, bx) - r) - 1, int(max(ax, bx) + r) + 2):
                px_, py_ = X + 0.5, Y + 0.5
                t = 0.0 if n == 0 else max(0.0, min(1.0, ((px_ - ax) * dx + (py_ - ay) * dy) / n))
                if math.hypot(px_ - (ax + t * dx), py_ - (ay + t * dy)) <= r:
                    self.dot(X, Y, c)

    def polygon(self, pts, fill, edge=None):
        Canvas.polygon(self, [(x * self.s, y * self.s) for x, y in pts], fill)
        if edge is not None:
            n = len(pts)
            for i in range(n):
                (xa, ya), (xb, yb) = pts[i], pts[(i + 1) % n]
                self.line(int(xa), int(ya), int(xb), int(yb), edge)

    def disc(self, cx, cy, r, c, r_in=-1.0):
        Canvas.disc(self, cx * self.s, cy * self.s, r * self.s, c, r_in * self.s if r_in > 0 else r_in)

    def shade(self, cell, colour_at):
        size = self._edge(cell)
        for Y in range(size):
            for X in range(size):
                c = colour_at((X + 0.5) / self.s, (Y + 0.5) / self.s)
                if c is not None:
                    self.dot(X, Y, c)

    def mirror_cell(self, cell):
        size = self._edge(cell)
        for Y in range(size):
            row = [self.pix[Y + self.oy][X + self.ox] for X in range(size)]
            for X in range(size):
                self.dot(X, Y, row[size - 1 - X])


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


# --------------------------------------------------------------------------- file formats

def bmp24(cv):
    row = (cv.w * 3 + 3) & ~3
    data = bytearray()
    for y in range(cv.h - 1, -1, -1):  # bottom-up
        line = bytearray()
        for (r, g, b) in cv.pix[y]:
            line += bytes((b, g, r))
        line += b'\0' * (row - len(line))
        data += line
    header = struct.pack('<2sIHHI', b'BM', 54 + len(data), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, cv.w, cv.h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return header + info + bytes(data)


def ico(canvases):
    """Icon file with 32-bit images (alpha) plus the AND mask older systems use."""
    images = []
    for cv in canvases:
        xor = bytearray()
        for y in range(cv.h - 1, -1, -1):
            for x in range(cv.w):
                r, g, b = cv.pix[y][x]
                a = cv.alpha[y][x]
                xor += bytes((b, g, r, a)) if a else b'\0\0\0\0'
        mask_row = ((cv.w + 31) // 32) * 4
        mask = bytearray()
        for y in range(cv.h - 1, -1, -1):
            bits = bytearray(mask_row)
            for x in range(cv.w):
                if cv.alpha[y][x] == 0:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask += bits
        info = struct.pack('<IiiHHIIiiII', 40, cv.w, cv.h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
        images.append((cv.w, cv.h, info + bytes(xor) + bytes(mask)))
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for w, h, blob in images:
        out += struct.pack('<BBBBHHII', w % 256, h % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    for _, _, blob in images:
        out += blob
    return out


def wav_u8_mono(samples, rate):
    data = bytes(samples)
    fmt = struct.pack('<HHIIHH', 1, 1, rate, rate, 1, 8)
    return (b'RIFF' + struct.pack('<I', 4 + 8 + len(fmt) + 8 + len(data)) + b'WAVE'
            + b'fmt ' + struct.pack('<I', len(fmt)) + fmt
            + b'data' + struct.pack('<I', len(data)) + data)


# --------------------------------------------------------------------------- toolbar

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
GREY = (128, 128, 128)
SILVER = (192, 192, 192)
LIGHT = (224, 224, 224)
DARK = (64, 64, 64)
NAVY = (0, 0, 128)
BLUE = (0, 90, 200)
SKY = (120, 180, 250)
RED = (220, 30, 30)
DARKRED = (128, 0, 0)
GREEN = (20, 160, 40)
DARKGREEN = (0, 90, 0)
YELLOW = (250, 215, 80)
OCHRE = (210, 160, 30)
BROWN = (120, 80, 0)
ORANGE = (255, 150, 0)
PALEYELLOW = (255, 250, 190)


def page(cv, x0, y0, x1, y1, lines=True):
    """Sheet with a folded top-right corner; the cut-off corner keeps what lay beneath."""
    under = [cv.get(x1, y0), cv.get(x1 - 1, y0), cv.get(x1, y0 + 1)]
    cv.box(x0, y0, x1, y1, WHITE, DARK)
    cv.px(x1, y0, under[0])
    cv.px(x1 - 1, y0, under[1])
    cv.px(x1, y0 + 1, under[2])
    cv.px(x1 - 2, y0 + 1, SILVER)
    cv.line(x1 - 2, y0, x1 - 2, y0 + 2, DARK)
    cv.line(x1 - 2, y0 + 2, x1, y0 + 2, DARK)
    cv.px(x1 - 1, y0 + 1, DARK)
    if lines:
        for y in range(y0 + 4, y1 - 1, 2):
            cv.line(x0 + 2, y, x1 - 2, y, SKY)


def icon_open(cv):
    cv.box(0, 3, 12, 13, OCHRE, BROWN)          # back of the folder
    cv.box(1, 2, 5, 3, OCHRE, BROWN)            # tab
    cv.rect(2, 3, 4, 3, OCHRE)
    cv.polygon([(3, 7), (15.5, 7), (12.5, 13.5), (0, 13.5)], YELLOW)
    cv.line(3, 7, 15, 7, BROWN)
    cv.line(15, 7, 12, 13, BROWN)
    cv.line(0, 13, 12, 13, BROWN)
    cv.line(3, 7, 0, 13, BROWN)
    cv.line(4, 8, 13, 8, PALEYELLOW)


def icon_save(cv):
    cv.box(1, 1, 14, 14, BLUE, NAVY)
    cv.px(14, 1, MAGENTA)
    cv.px(13, 2, NAVY)
    cv.box(4, 1, 11, 6, SILVER, NAVY)           # metal shutter
    cv.rect(8, 2, 9, 5, DARK)
    cv.box(3, 9, 12, 14, WHITE, NAVY)           # label
    cv.line(5, 11, 10, 11, GREY)


def icon_copy(cv):
    page(cv, 1, 0, 9, 10)
    page(cv, 6, 5, 14, 15)


def icon_move(cv):
    page(cv, 0, 0, 9, 13)
    cv.polygon([(5, 8.5), (10, 8.5), (10, 5), (15.5, 10.5), (10, 16), (10, 12.5), (5, 12.5)], GREEN)
    cv.line(5, 8, 10, 8, DARKGREEN)
    cv.line(10, 8, 10, 4, DARKGREEN)
    cv.line(10, 4, 15, 9, DARKGREEN)
    cv.line(15, 10, 10, 15, DARKGREEN)
    cv.line(5, 8, 5, 12, DARKGREEN)
    cv.line(5, 12, 9, 12, DARKGREEN)
    cv.line(9, 12, 9, 15, DARKGREEN)


def thick_line(cv, x0, y0, x1, y1, c, w=1):
    for d in range(-w, w + 1):
        cv.line(x0 + d, y0, x1 + d, y1, c)


def icon_delete(cv):
    thick_line(cv, 2, 2, 13, 13, DARKRED, 2)
    thick_line(cv, 13, 2, 2, 13, DARKRED, 2)
    thick_line(cv, 2, 2, 13, 13, RED, 1)
    thick_line(cv, 13, 2, 2, 13, RED, 1)


def icon_monitor(cv):
    cv.box(0, 1, 15, 11, SILVER, DARK)
    for y in range(3, 10):
        cv.line(2, y, 13, y, mix(BLUE, SKY, (y - 3) / 6))
    cv.frame(2, 3, 13, 9, GREY)
    cv.rect(6, 12, 9, 13, GREY)
    cv.box(3, 14, 12, 15, SILVER, DARK)


def icon_region(cv):
    x0, y0, x1, y1 = 1, 2, 14, 13
    cv.rect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, (200, 225, 255))
    border = ([(x, y0) for x in range(x0, x1)] + [(x1, y) for y in range(y0, y1)]
              + [(x, y1) for x in range(x1, x0, -1)] + [(x0, y) for y in range(y1, y0, -1)])
    for i, (x, y) in enumerate(border):
        cv.px(x, y, BLACK if (i // 2) % 2 == 0 else WHITE)


def window(cv, x0, y0, x1, y1, title, client, edge=DARK):
    cv.box(x0, y0, x1, y1, client, edge)
    cv.rect(x0 + 1, y0 + 1, x1 - 1, y0 + 3, title)
    cv.rect(x1 - 3, y0 + 1, x1 - 1, y0 + 3, (220, 70, 50))  # close box
    cv.px(x1 - 2, y0 + 2, WHITE)


def icon_window(cv):
    window(cv, 0, 1, 15, 14, BLUE, WHITE)
    cv.line(2, 6, 10, 6, SILVER)
    cv.line(2, 8, 12, 8, SILVER)
    cv.line(2, 10, 8, 10, SILVER)


def icon_client(cv):
    window(cv, 0, 1, 15, 14, GREY, LIGHT, GREY)
    cv.box(1, 5, 14, 13, PALEYELLOW, ORANGE)
    cv.frame(2, 6, 13, 12, (255, 200, 60))


ARROW_CURSOR = [
    "k.......",
    "kk......",
    "kwk.....",
    "kwwk....",
    "kwwwk...",
    "kwwwwk..",
    "kwwwwwk.",
    "kwwwwwwk",
    "kwwwkkkk",
    "kwkwk...",
    "kk.kwk..",
    "k...kk..",
]


def icon_windows(cv):
    window(cv, 0, 0, 12, 10, BLUE, WHITE)
    cv.line(2, 5, 9, 5, SILVER)
    cv.line(2, 7, 7, 7, SILVER)
    cv.sprite(7, 4, ARROW_CURSOR, {'k': BLACK, 'w': WHITE})


def icon_repeat(cv):
    cx, cy, r = 7.5, 8.0, 5.0

    def ring(x, y):
        dx, dy = x - cx, y - cy
        d = math.hypot(dx, dy)
        ang = math.degrees(math.atan2(-dy, dx))  # 0 = east, counter-clockwise
        if 3.4 < d <= 6.6 and not (-35 <= ang <= 45):
            return DARKGREEN if (d > 5.7 or d <= 4.3) else GREEN
        return None
    cv.shade(16, ring)
    # head at the upper end of the arc, pointing on clockwise into the gap
    a = math.radians(45)
    mx, my = cx + r * math.cos(a), cy - r * math.sin(a)
    ux, uy = math.cos(a), -math.sin(a)
    tx, ty = math.sin(a), math.cos(a)
    cv.polygon([(mx + 3.6 * ux, my + 3.6 * uy), (mx - 3.6 * ux, my - 3.6 * uy),
                (mx + 4.6 * tx, my + 4.6 * ty)], GREEN, DARKGREEN)


def icon_history(cv):
    cv.rect(2, 0, 13, 15, DARK)
    for y in range(1, 16, 3):
        cv.px(3, y, WHITE)
        cv.px(12, y, WHITE)
    for i, y in enumerate((1, 6, 11)):
        for yy in range(y, y + 4):
            cv.line(5, yy, 10, yy, mix(SKY, (230, 245, 255), (yy - y) / 3))
        cv.line(5, y + 3, 10, y + 3, GREEN)
        cv.px(9 - i, y + 1, YELLOW)


QUESTION = [
    ".wwww.",
    "ww..ww",
    "....ww",
    "...ww.",
    "..ww..",
    "..ww..",
    "......",
    "..ww..",
]


def icon_help(cv):
    cv.disc(8, 8, 7.6, NAVY)
    cv.disc(8, 8, 6.7, BLUE)
    cv.sprite(5, 4, QUESTION, {'w': WHITE})


def arrow_left(cv, fill, edge):
    cv.polygon([(1.5, 8), (7.5, 2), (7.5, 5.5), (14.5, 5.5), (14.5, 10.5), (7.5, 10.5), (7.5, 14)], fill)
    cv.line(1, 7, 7, 1, edge)
    cv.line(1, 8, 7, 14, edge)
    cv.line(7, 1, 7, 4, edge)
    cv.line(7, 11, 7, 14, edge)
    cv.line(7, 4, 14, 4, edge)
    cv.line(7, 11, 14, 11, edge)
    cv.line(14, 4, 14, 11, edge)
    cv.line(8, 5, 13, 5, SKY)


def icon_prev(cv):
    arrow_left(cv, BLUE, NAVY)


def icon_next(cv):
    arrow_left(cv, BLUE, NAVY)
    cv.mirror_cell(16)


def icon_clear(cv):
    cv.box(0, 0, 10, 14, WHITE, DARK)
    for y in (2, 5, 8, 11):
        cv.px(2, y, BLUE)
        cv.line(4, y, 8, y, GREY)
    thick_line(cv, 8, 8, 14, 14, DARKRED, 1)
    thick_line(cv, 14, 8, 8, 14, DARKRED, 1)
    cv.line(8, 8, 14, 14, RED)
    cv.line(14, 8, 8, 14, RED)


def icon_clipboard(cv):
    """Copy to the clipboard: a picture on a clipboard board."""
    cv.box(1, 2, 13, 15, OCHRE, BROWN)          # the board
    cv.box(4, 0, 10, 3, SILVER, DARK)           # the clip
    cv.rect(6, 1, 8, 1, DARK)
    cv.box(3, 5, 11, 13, WHITE, DARK)           # the sheet
    cv.rect(4, 6, 10, 9, SKY)                   # a small landscape on it
    cv.rect(4, 10, 10, 12, GREEN)
    cv.polygon([(4, 10.5), (7, 7.5), (10.5, 10.5)], DARKGREEN)
    cv.px(9, 7, YELLOW)
    cv.polygon([(11, 9.5), (15.5, 13), (11, 16)], BLUE, NAVY)  # the arrow out


TOOLBAR = [icon_open, icon_save, icon_copy, icon_move, icon_delete, icon_monitor, icon_region,
           icon_window, icon_client, icon_windows, icon_repeat, icon_history, icon_help,
           icon_prev, icon_next, icon_clear, icon_clipboard]


# Image sizes of the toolbar strips (100, 150 and 200 % scaling) and their line widths.
TOOLBAR_SIZES = {16: 1, 24: 1, 32: 1}


def make_toolbar(size=16):
    n = len(TOOLBAR)
    cv = Canvas(16 * n, 16) if size == 16 else ScaledCanvas(size * n, size, size / 16, TOOLBAR_SIZES[size])
    for i, draw in enumerate(TOOLBAR):
        cv.ox, cv.oy = size * i, 0
        draw(cv)
    cv.ox = cv.oy = 0
    return cv


# --------------------------------------------------------------------------- camera motif

TILE_TOP = (40, 110, 200)
TILE_BOTTOM = (10, 40, 110)


def rounded_tile(cv, size, radius):
    """Blue gradient square with rounded corners; corners outside are transparent."""
    for y in range(size):
        for x in range(size):
            cx = min(max(x + 0.5, radius), size - radius)
            cy = min(max(y + 0.5, radius), size - radius)
            if math.hypot(x + 0.5 - cx, y + 0.5 - cy) > radius:
                cv.alpha[y][x] = 0
                continue
            cv.px(x, y, mix(TILE_TOP, TILE_BOTTOM, y / (size - 1)))


def camera(cv, x0, y0, s):
    """Compact camera, s = 1 for a 32 pixel motif, 0.5 for 16."""
    def S(v):
        return v * s
    body = (70, 70, 78)
    edge = (20, 20, 24)
    cv.polygon([(x0 + S(10), y0 + S(8)), (x0 + S(14), y0 + S(5)), (x0 + S(20), y0 + S(5)),
                (x0 + S(23), y0 + S(8))], body, edge)                          # prism hump
    cv.box(int(x0 + S(3)), int(y0 + S(8)), int(x0 + S(28)), int(y0 + S(25)), body, edge)
    cv.rect(int(x0 + S(4)), int(y0 + S(9)), int(x0 + S(27)), int(y0 + S(10)), (110, 110, 120))
    cv.rect(int(x0 + S(5)), int(y0 + S(6)), int(x0 + S(8)), int(y0 + S(7)), (200, 200, 210))  # button
    cx, cy = x0 + S(16), y0 + S(16.5)
    cv.disc(cx, cy, S(7.5), edge)
    cv.disc(cx, cy, S(6.5), (150, 150, 160))
    cv.disc(cx, cy, S(5.2), (20, 40, 90))
    cv.disc(cx, cy, S(3.6), (40, 110, 200))
    cv.disc(cx - S(1.6), cy - S(1.6), max(S(1.4), 0.8), (220, 240, 255))
    cv.rect(int(x0 + S(23)), int(y0 + S(11)), int(x0 + S(26)), int(y0 + S(12)), (250, 220, 120))  # flash


def viewfinder_corners(cv, x0, y0, x1, y1, n, c):
    for (x, y, dx, dy) in ((x0, y0, 1, 1), (x1, y0, -1, 1), (x0, y1, 1, -1), (x1, y1, -1, -1)):
        for i in range(n):
            cv.px(x + dx * i, y, c)
            cv.px(x, y + dy * i, c)


def make_icon(size):
    cv = Canvas(size, size, BLACK)
    rounded_tile(cv, size, 5 if size >= 32 else 3)
    if size >= 32:
        viewfinder_corners(cv, 2, 2, size - 3, size - 3, 5, (230, 240, 255))
        camera(cv, 0, 1, 1)
    else:
        camera(cv, 0, 0, 0.5)
    return cv


def make_icon_bitmap():
    cv = make_icon(32)
    face = (212, 208, 200)  # dialog face; the corners of the tile show it
    for y in range(32):
        for x in range(32):
            if cv.alpha[y][x] == 0:
                cv.pix[y][x] = face
    return cv


# --------------------------------------------------------------------------- banner

FONT = {  # 5 x 9 cells: rows 0-1 ascender, 2-8 x-height and caps baseline at row 8
    'P': ["####.", "#...#", "#...#", "#...#", "####.", "#....", "#....", "#....", "#...."],
    'l': [".##..", "..#..", "..#..", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."],
    'e': [".....", ".....", ".###.", "#...#", "#...#", "#####", "#....", "#...#", ".###."],
    'n': [".....", ".....", "#.##.", "##..#", "#...#", "#...#", "#...#", "#...#", "#...#"],
    'v': [".....", ".....", "#...#", "#...#", "#...#", "#...#", ".#.#.", ".#.#.", "..#.."],
    'u': [".....", ".....", "#...#", "#...#", "#...#", "#...#", "#...#", "#..##", ".##.#"],
    'K': ["#...#", "#..#.", "#.#..", "##...", "##...", "#.#..", "#..#.", "#...#", "#...#"],
    'o': [".....", ".....", ".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    'r': [".....", ".....", "#.##.", "##..#", "#....", "#....", "#....", "#....", "#...."],
    'a': [".....", ".....", ".###.", "....#", ".####", "#...#", "#...#", "#..##", ".##.#"],
    'S': [".###.", "#...#", "#....", "#....", ".###.", "....#", "....#", "#...#", ".###."],
    't': ["..#..", "..#..", "####.", "..#..", "..#..", "..#..", "..#..", "..#.#", "...#."],
    'd': ["....#", "....#", ".####", "#...#", "#...#", "#...#", "#...#", "#..##", ".##.#"],
    'i': ["..#..", ".....", ".##..", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."],
    ' ': ["....."] * 9,
}


def text_width(s, scale, gap=1):
    return (len(s) * 5 + (len(s) - 1) * gap) * scale


def draw_text(cv, x0, y0, s, scale, colour, gap=1):
    for k, ch in enumerate(s):
        glyph = FONT[ch]
        gx = x0 + k * (5 + gap) * scale
        for j, row in enumerate(glyph):
            for i, bit in enumerate(row):
                if bit == '#':
                    cv.rect(gx + i * scale, y0 + j * scale, gx + i * scale + scale - 1,
                            y0 + j * scale + scale - 1, colour)


def make_banner():
    w, h = 225, 60
    cv = Canvas(w, h, BLACK)
    for y in range(h):
        for x in range(w):
            cv.pix[y][x] = mix(mix((20, 60, 140), (8, 24, 70), y / (h - 1)), (8, 24, 70), x / (w - 1) * 0.5)
    # camera on its tile, framed by viewfinder corners
    tile = make_icon(32)
    tx, ty = 12, 14
    for y in range(32):
        for x in range(32):
            if tile.alpha[y][x]:
                cv.pix[ty + y][tx + x] = tile.pix[y][x]
    viewfinder_corners(cv, 5, 7, 50, 52, 7, (230, 240, 255))
    # product name with a drop shadow
    scale = 3
    name = "Plenvue"
    x0, y0 = 62, 8
    draw_text(cv, x0 + 2, y0 + 2, name, scale, (5, 15, 40))
    draw_text(cv, x0, y0, name, scale, (255, 255, 255))
    maker = "Korvane Studio"
    draw_text(cv, x0, 44, maker, 1, (170, 200, 240))
    # a thin rule between name and maker
    for x in range(x0, x0 + text_width(name, scale)):
        cv.px(x, 38, (90, 140, 220))
    return cv


# --------------------------------------------------------------------------- sound

def make_beep(rate=11025, total=8788):
    """Two-part shutter: a bright click, the blades closing 90 ms later, then silence."""
    seed = 0x1234567
    out = []
    lp = 0.0

    def noise():
        nonlocal seed
        seed = (seed * 1103515245 + 12345) & 0x7FFFFFFF
        return (seed / 0x3FFFFFFF) - 1.0

    events = [(0.000, 0.9, 0.004, 2600.0), (0.090, 0.7, 0.006, 1800.0)]
    for n in range(total):
        t = n / rate
        v = 0.0
        for start, amp, tau, freq in events:
            if t >= start:
                dt = t - start
                env = math.exp(-dt / tau)
                if env > 1e-4:
                    v += amp * env * (0.55 * noise() + 0.45 * math.sin(2 * math.pi * freq * dt))
                    v += amp * 0.5 * math.exp(-dt / 0.012) * math.sin(2 * math.pi * 180.0 * dt)  # body thump
        lp += 0.6 * (v - lp)  # soften the hiss
        s = int(round(128 + 100 * max(-1.0, min(1.0, lp))))
        out.append(max(0, min(255, s)))
    return out


# --------------------------------------------------------------------------- main

def main():
    here = os.path.dirname(os.path.abspath(__file__))
    outdir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, '..', 'res')
    os.makedirs(outdir, exist_ok=True)
    files = {
        'ToolBar.bmp': bmp24(make_toolbar()),
        'ToolBar24.bmp': bmp24(make_toolbar(24)),
        'ToolBar32.bmp': bmp24(make_toolbar(32)),
        'Banner.bmp': bmp24(make_banner()),
        'Icon.bmp': bmp24(make_icon_bitmap()),
        'Plenvue.ico': ico([make_icon(16), make_icon(32)]),
        'Beep.wav': wav_u8_mono(make_beep(), 11025),
    }
    assert len(files['Beep.wav']) == 8832
    for name, blob in files.items():
        with open(os.path.join(outdir, name), 'wb') as f:
            f.write(blob)
        print(f'{name}: {len(blob)} bytes')


if __name__ == '__main__':
    main()
