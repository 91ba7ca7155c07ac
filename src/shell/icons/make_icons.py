#!/usr/bin/env python3
"""Draws the toolbar and window icons of ZEB Reader and writes them as PNG files.

Only the standard library is used. Every shape is a signed distance function
(negative inside, in pixel units); painting turns the distance at each pixel
centre into a coverage value, which gives smooth edges on curves and crisp
edges on shapes aligned to the pixel grid.

    python3 make_icons.py            writes the PNG files next to this script
    python3 make_icons.py --sheet [PATH]
                                     also writes a contact sheet, 4x enlarged
                                     (default /tmp/icons_sheet.png)
    python3 make_icons.py --hicolor DIR
                                     writes only the program's icon in the
                                     sizes of the desktop's icon theme, as
                                     DIR/<n>x<n>/apps/zebreader.png

The output depends only on this script, so running it again gives the same
files byte for byte.
"""

import math
import os
import struct
import sys
import zlib

# ---------------------------------------------------------------- palette

OUTLINE = (34, 40, 52, 255)
WHITE = (255, 255, 255, 255)
PAPER = (250, 251, 253, 255)
PAPER_FOLD = (208, 216, 228, 255)
TEXT = (122, 134, 152, 255)
TEXT_DARK = (58, 68, 86, 255)
FOLDER_BACK = (230, 165, 40, 255)
FOLDER_FRONT = (255, 208, 88, 255)
BLUE = (58, 126, 212, 255)
BLUE_DARK = (36, 88, 170, 255)
BLUE_LIGHT = (196, 224, 252, 255)
GREEN = (70, 172, 82, 255)
GREY = (176, 184, 196, 255)
GREY_LIGHT = (222, 227, 234, 255)
GREY_DARK = (104, 114, 130, 255)
YELLOW = (255, 214, 64, 255)
ORANGE = (240, 150, 30, 255)
BROWN = (156, 98, 46, 255)
WOOD = (196, 142, 82, 255)
SKY = (150, 206, 250, 255)
HILL = (86, 170, 76, 255)
HILL_DARK = (58, 132, 62, 255)
SNOW = (246, 250, 255, 255)


# ---------------------------------------------------------------- shapes

def box(x0, y0, x1, y1, r=0.0):
    """Rectangle from (x0, y0) to (x1, y1), corners rounded with radius r."""
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - r, (y1 - y0) / 2 - r

    def f(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - r
    return f


def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def ellipse(cx, cy, rx, ry):
    # Not an exact distance, but close enough for the small round shapes here.
    def f(x, y):
        k = math.hypot((x - cx) / rx, (y - cy) / ry)
        return (k - 1.0) * min(rx, ry)
    return f


def segment(ax, ay, bx, by, hw):
    """Line from a to b with round ends and half width hw."""
    ex, ey = bx - ax, by - ay
    ee = ex * ex + ey * ey

    def f(x, y):
        wx, wy = x - ax, y - ay
        t = 0.0 if ee == 0 else max(0.0, min(1.0, (wx * ex + wy * ey) / ee))
        return math.hypot(wx - ex * t, wy - ey * t) - hw
    return f


def polyline(points, hw):
    return union(*[segment(*points[i], *points[i + 1], hw) for i in range(len(points) - 1)])


def polygon(points):
    """Any simple polygon, given as a list of (x, y) corners."""
    pts = [(float(px), float(py)) for px, py in points]
    n = len(pts)

    def f(x, y):
        d = (x - pts[0][0]) ** 2 + (y - pts[0][1]) ** 2
        s = 1.0
        j = n - 1
        for i in range(n):
            vix, viy = pts[i]
            vjx, vjy = pts[j]
            ex, ey = vjx - vix, vjy - viy
            wx, wy = x - vix, y - viy
            t = max(0.0, min(1.0, (wx * ex + wy * ey) / (ex * ex + ey * ey)))
            bx, by = wx - ex * t, wy - ey * t
            d = min(d, bx * bx + by * by)
            c1, c2, c3 = y >= viy, y < vjy, ex * wy > ey * wx
            if (c1 and c2 and c3) or not (c1 or c2 or c3):
                s = -s
            j = i
        return s * math.sqrt(d)
    return f


def arc(cx, cy, r, a0, a1, hw):
    """Stroke along a circle from angle a0 to a1 (degrees, clockwise on screen)."""
    p0 = (cx + r * math.cos(math.radians(a0)), cy + r * math.sin(math.radians(a0)))
    p1 = (cx + r * math.cos(math.radians(a1)), cy + r * math.sin(math.radians(a1)))
    span = a1 - a0

    def f(x, y):
        a = math.degrees(math.atan2(y - cy, x - cx))
        if (a - a0) % 360.0 <= span:
            d = abs(math.hypot(x - cx, y - cy) - r)
        else:
            d = min(math.hypot(x - p0[0], y - p0[1]), math.hypot(x - p1[0], y - p1[1]))
        return d - hw
    return f


def union(*fs):
    return lambda x, y: min(f(x, y) for f in fs)


def intersect(*fs):
    return lambda x, y: max(f(x, y) for f in fs)


def subtract(a, b):
    return lambda x, y: max(a(x, y), -b(x, y))


def grow(f, amount):
    return lambda x, y: f(x, y) - amount


def vertical_gradient(top, bottom, y0, y1):
    def colour(x, y):
        t = max(0.0, min(1.0, (y - y0) / (y1 - y0)))
        return tuple(round(a + (b - a) * t) for a, b in zip(top, bottom))
    return colour


# ---------------------------------------------------------------- canvas

class Canvas:
    """RGBA picture with premultiplied float pixels, painted back to front."""

    def __init__(self, w, h, scale=1.0):
        # Shapes are drawn in design units; scale pixels make one unit.
        self.w, self.h, self.scale = w, h, scale
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(w * h)]

    def paint(self, f, colour):
        s = self.scale
        for y in range(self.h):
            for x in range(self.w):
                ux, uy = (x + 0.5) / s, (y + 0.5) / s
                cov = 0.5 - f(ux, uy) * s
                if cov <= 0.0:
                    continue
                cov = min(cov, 1.0)
                c = colour(ux, uy) if callable(colour) else colour
                a = c[3] / 255.0 * cov
                p = self.px[y * self.w + x]
                for k in range(3):
                    p[k] = c[k] / 255.0 * a + p[k] * (1.0 - a)
                p[3] = a + p[3] * (1.0 - a)

    def shape(self, f, fill, width=1.0, outline=OUTLINE):
        """Fills f with a dark border of the given width just inside its edge."""
        self.paint(f, outline)
        self.paint(grow(f, -width), fill)

    def rgba_rows(self):
        rows = []
        for y in range(self.h):
            row = bytearray()
            for x in range(self.w):
                r, g, b, a = self.px[y * self.w + x]
                if a <= 0.0:
                    row += b"\0\0\0\0"
                    continue
                row += bytes((round(min(1.0, r / a) * 255), round(min(1.0, g / a) * 255),
                              round(min(1.0, b / a) * 255), round(min(1.0, a) * 255)))
            rows.append(bytes(row))
        return rows


def write_png(path, w, h, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    raw = b"".join(b"\0" + row for row in rows)
    png = (b"\x89PNG\r\n\x1a\n"
           + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0))
           + chunk(b"IDAT", zlib.compress(raw, 9))
           + chunk(b"IEND", b""))
    with open(path, "wb") as out:
        out.write(png)


# ---------------------------------------------------------------- pieces

def text_lines(c, x0, x1, ys, colour=TEXT, lengths=None):
    """One-pixel text lines; lengths (0..1) shorten some of them."""
    for i, y in enumerate(ys):
        end = x1 if lengths is None else x0 + round((x1 - x0) * lengths[i])
        c.paint(box(x0, y, end, y + 1), colour)


def page(c, x0, y0, x1, y1, fold):
    """A sheet of paper with its top right corner folded over."""
    c.shape(polygon([(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)]), PAPER)
    c.shape(polygon([(x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold)]), PAPER_FOLD)


def window(c, x0, y0, x1, y1, bar):
    """An application window with a blue title bar of height bar."""
    c.shape(box(x0, y0, x1, y1), WHITE)
    c.paint(box(x0 + 1, y0 + 1, x1 - 1, y0 + bar), BLUE)
    c.paint(box(x0 + 1, y0 + bar, x1 - 1, y0 + bar + 1), OUTLINE)


def printer(c, x0, y0, x1, y1):
    """A printer filling the given box: paper in at the top, a sheet coming out below."""
    w = x1 - x0
    inset = round(w * 0.24)
    c.shape(box(x0 + inset, y0, x1 - inset, y0 + 8), PAPER)
    c.shape(box(x0, y0 + 6, x1, y1 - 4, 2), GREY_LIGHT)
    c.paint(box(x0 + 1, y1 - 7, x1 - 1, y1 - 5), GREY)
    c.paint(box(x0 + inset - 1, y1 - 8, x1 - inset + 1, y1 - 7), OUTLINE)
    c.shape(box(x0 + inset, y1 - 8, x1 - inset, y1), PAPER)
    text_lines(c, x0 + inset + 2, x1 - inset - 2, [y1 - 5, y1 - 3], TEXT)
    c.shape(box(x1 - 5, y0 + 8, x1 - 2, y0 + 11), GREEN)


# ---------------------------------------------------------------- toolbar icons (25 x 25)

def icon_fileopen(c):
    c.shape(polygon([(2, 4), (9, 4), (11, 6), (20, 6), (20, 21), (2, 21)]), FOLDER_BACK)
    c.shape(box(5, 8, 18, 16), PAPER)
    text_lines(c, 7, 16, [10, 12], TEXT)
    c.shape(polygon([(6.5, 11), (24, 11), (20, 21), (2, 21)]), FOLDER_FRONT)


def icon_fileopentitle(c):
    c.shape(box(2, 1, 20, 21), PAPER)
    for i, y in enumerate([4, 8, 12, 16]):
        c.paint(box(4, y, 6, y + 2), BLUE)
        c.paint(box(8, y, 18 - (i % 2) * 3, y + 2), TEXT_DARK)
    c.shape(polygon([(11, 12), (16, 12), (17, 13), (23, 13), (23, 23), (11, 23)]), FOLDER_BACK)
    c.shape(box(11, 16, 24, 24), FOLDER_FRONT)


def icon_filedownload(c):
    c.shape(polygon([(1, 13), (6, 13), (6, 18), (19, 18), (19, 13), (24, 13), (24, 23), (1, 23)]), GREY)
    c.paint(box(2, 21, 23, 22), GREY_DARK)
    c.shape(polygon([(9.5, 1), (15.5, 1), (15.5, 9), (21, 9), (12.5, 19), (4, 9), (9.5, 9)]), GREEN)


def icon_filefind(c):
    c.shape(segment(15, 15, 21.5, 21.5, 2.6), BROWN)
    c.shape(circle(10, 10, 8), BLUE_LIGHT, 2.2)
    c.paint(arc(10, 10, 4, 190, 260, 0.8), WHITE)


def icon_filesave(c):
    page(c, 7, 1, 23, 23, 5)
    text_lines(c, 10, 20, [9, 12, 15, 18], TEXT, [0.7, 1, 1, 0.6])
    c.shape(polygon([(1, 10), (6, 10), (6, 6), (12.5, 12.5), (6, 19), (6, 15), (1, 15)]), GREEN)


def icon_fileprint(c):
    printer(c, 1, 2, 24, 24)


def icon_windowsshowtop(c):
    window(c, 1, 2, 24, 23, 5)
    c.shape(polygon([(12.5, 8.5), (19, 15), (15, 15), (15, 21), (10, 21), (10, 15), (6, 15)]), GREEN)


def icon_windowssave(c):
    c.shape(polygon([(2, 2), (20, 2), (23, 5), (23, 23), (2, 23)]), BLUE)
    c.shape(box(6, 2, 18, 10), GREY_LIGHT)
    c.paint(box(13, 4, 16, 8), OUTLINE)
    c.shape(box(5, 13, 20, 23), PAPER)
    text_lines(c, 7, 18, [16, 19], TEXT)


def icon_windowsprint(c):
    printer(c, 6, 5, 24, 24)
    window(c, 1, 1, 13, 11, 3)


def icon_windowscopy(c):
    c.shape(box(2, 1, 15, 17), PAPER)
    text_lines(c, 4, 13, [4, 7, 10, 13], TEXT, [1, 0.8, 1, 0.6])
    c.shape(box(9, 7, 23, 24), PAPER)
    text_lines(c, 11, 21, [10, 13, 16, 19], TEXT, [1, 0.7, 1, 0.5])


def question_mark(c, cx, top, scale, colour):
    r = 3.5 * scale
    hw = 1.5 * scale
    cy = top + r + hw
    end = (cx + r * math.cos(math.radians(45)), cy + r * math.sin(math.radians(45)))
    mark = union(arc(cx, cy, r, 180, 405, hw),
                 polyline([end, (cx, cy + r + 1.0 * scale), (cx, cy + r + 2.5 * scale)], hw))
    c.paint(mark, colour)
    c.paint(circle(cx, cy + r + 5.0 * scale, hw * 1.05), colour)


def icon_helpshow(c):
    c.shape(circle(12.5, 12.5, 11.5), BLUE)
    question_mark(c, 12.5, 4.5, 1.0, WHITE)


# ---------------------------------------------------------------- window icons (32 x 32)

def icon_credit(c):
    c.shape(circle(16, 16, 15), BLUE, 1.2)
    c.paint(circle(16, 9, 2.3), WHITE)
    c.paint(union(box(14, 13, 18, 25), box(12, 13, 18, 15), box(12, 23, 20, 25)), WHITE)


def icon_hint(c):
    cy = 13
    for a in (200, 235, 270, 305, 340):
        ca, sa = math.cos(math.radians(a)), math.sin(math.radians(a))
        c.paint(segment(16 + 11 * ca, cy + 11 * sa, 16 + 13.3 * ca, cy + 13.3 * sa, 0.9), ORANGE)
    glass = union(circle(16, cy, 8.5), polygon([(10.5, cy + 4), (21.5, cy + 4), (19.5, cy + 10),
                                                 (12.5, cy + 10)]))
    c.shape(glass, YELLOW, 1.2)
    c.paint(arc(16, cy, 5.5, 200, 250, 0.9), WHITE)
    c.paint(polyline([(13.5, cy + 9.5), (13.5, cy + 4), (14.75, cy + 2), (16, cy + 4), (17.25, cy + 2),
                      (18.5, cy + 4), (18.5, cy + 9.5)], 0.55), ORANGE)
    c.shape(box(11, cy + 9, 21, cy + 16, 1), GREY_LIGHT)
    c.paint(box(12, cy + 11, 20, cy + 12), GREY_DARK)
    c.paint(box(12, cy + 13, 20, cy + 14), GREY_DARK)
    c.paint(polygon([(13, cy + 15.5), (19, cy + 15.5), (17.5, cy + 18), (14.5, cy + 18)]), OUTLINE)


def icon_subject(c):
    c.shape(polygon([(2, 5), (11, 5), (14, 8), (30, 8), (30, 27), (2, 27)]), FOLDER_BACK)
    c.shape(box(5, 10, 25, 20), PAPER)
    text_lines(c, 8, 22, [12], TEXT)
    c.shape(box(2, 14, 30, 28), FOLDER_FRONT)
    c.paint(box(3, 15, 29, 16), (255, 232, 160, 255))


def icon_text(c):
    page(c, 5, 1, 27, 31, 7)
    text_lines(c, 9, 23, [10, 13, 16, 19, 22, 25], TEXT_DARK, [0.6, 1, 1, 0.85, 1, 0.5])


def icon_hyperpng(c):
    c.shape(box(1, 3, 31, 29), WOOD)
    c.paint(box(4, 6, 28, 26), OUTLINE)
    clip = box(5, 7, 27, 25)
    c.paint(clip, vertical_gradient((104, 176, 244, 255), (204, 234, 255, 255), 7, 25))
    c.shape(circle(22, 11.5, 2.8), YELLOW, 1.0)
    far = polygon([(11, 26), (20.5, 16.5), (30, 26)])
    near = polygon([(1, 26), (11, 14), (23, 26)])
    for hill, colour in ((far, HILL_DARK), (near, HILL)):
        c.paint(intersect(grow(hill, 1), clip), OUTLINE)
        c.paint(intersect(hill, clip), colour)


def icon_verbose(c):
    c.shape(box(3, 2, 29, 30), PAPER)
    c.paint(box(4, 3, 28, 7), BLUE)
    c.paint(box(4, 7, 28, 8), OUTLINE)
    for i, y in enumerate([10, 15, 20, 25]):
        c.paint(polygon([(6, y - 1), (10.5, y + 1.5), (6, y + 4)]), BLUE_DARK)
        c.paint(box(12, y, 26 - (i % 3) * 4, y + 3), TEXT_DARK)


def icon_zebwin(c):
    badge = box(1, 1, 31, 31, 6)
    c.paint(badge, OUTLINE)
    inside = grow(badge, -1)
    c.paint(inside, vertical_gradient((88, 156, 240, 255), (26, 66, 150, 255), 2, 30))
    c.paint(intersect(inside, ellipse(16, 3, 20, 12)), (255, 255, 255, 44))
    z = polygon([(8, 7), (24, 7), (24, 11), (14, 21), (24, 21), (24, 25), (8, 25), (8, 21),
                 (18, 11), (8, 11)])
    shadow = lambda x, y: z(x - 1, y - 1.5)
    c.paint(grow(shadow, 1), (8, 24, 64, 110))
    c.paint(grow(z, 1), OUTLINE)
    c.paint(z, vertical_gradient((255, 232, 110, 255), (248, 160, 28, 255), 7, 25))


TOOLBAR = [
    ("FILEOPEN", icon_fileopen),
    ("FILEOPENTITLE", icon_fileopentitle),
    ("FILEDOWNLOAD", icon_filedownload),
    ("FILEFIND", icon_filefind),
    ("FILESAVE", icon_filesave),
    ("FILEPRINT", icon_fileprint),
    ("WINDOWSSHOWTOP", icon_windowsshowtop),
    ("WINDOWSSAVE", icon_windowssave),
    ("WINDOWSPRINT", icon_windowsprint),
    ("WINDOWSCOPY", icon_windowscopy),
    ("HELPSHOW", icon_helpshow),
]

WINDOW = [
    ("Z_CREDIT_ICON", icon_credit),
    ("Z_HINT_ICON", icon_hint),
    ("Z_SUBJECT_ICON", icon_subject),
    ("Z_TEXT_ICON", icon_text),
    ("Z_HYPERPNG_ICON", icon_hyperpng),
    ("Z_VERBOSE_ICON", icon_verbose),
    ("ZEBWIN", icon_zebwin),
]


def render_all():
    out = []
    for items, size in ((TOOLBAR, 25), (WINDOW, 32)):
        for name, draw in items:
            c = Canvas(size, size)
            draw(c)
            out.append((name, size, c.rgba_rows()))
    return out


def write_sheet(path, icons, scale=4):
    """All icons at four times their size over light and dark tiles, then at true size."""
    cell = 32 * scale + 16
    cols = max(len(TOOLBAR), len(WINDOW))
    w = cols * cell + 16
    h = 2 * cell + 2 * 48 + 16
    img = [[(236, 238, 242)] * w for _ in range(h)]
    for x in range(w):
        for y in range(2 * cell + 8, h):
            img[y][x] = (60, 64, 72)

    def put(px, py, rows, size, s, bg_dark):
        for y in range(size * s):
            row = rows[y // s]
            for x in range(size * s):
                i = (x // s) * 4
                r, g, b, a = row[i:i + 4]
                bx, by = px + x, py + y
                base = img[by][bx]
                if not bg_dark and ((x // 8 + y // 8) % 2):
                    base = (220, 222, 228)
                img[by][bx] = tuple(round((cv * a + bv * (255 - a)) / 255) for cv, bv in zip((r, g, b), base))

    toolbar = icons[:len(TOOLBAR)]
    window_icons = icons[len(TOOLBAR):]
    for row, group in enumerate((toolbar, window_icons)):
        for i, (name, size, rows) in enumerate(group):
            put(16 + i * cell, 16 + row * cell, rows, size, scale, False)
            put(16 + i * 48, 2 * cell + 16 + row * 44, rows, size, 1, True)
    rows = [bytes(v for p in line for v in p + (255,)) for line in img]
    write_png(path, w, h, rows)


HICOLOR_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)


def write_hicolor(root):
    """The program's icon, drawn on its 32-unit design at each theme size."""
    for size in HICOLOR_SIZES:
        c = Canvas(size, size, size / 32.0)
        icon_zebwin(c)
        folder = os.path.join(root, "%dx%d" % (size, size), "apps")
        os.makedirs(folder, exist_ok=True)
        write_png(os.path.join(folder, "zebreader.png"), size, size, c.rgba_rows())


def main(argv):
    if "--hicolor" in argv:
        write_hicolor(argv[argv.index("--hicolor") + 1])
        return
    here = os.path.dirname(os.path.abspath(__file__))
    icons = render_all()
    for name, size, rows in icons:
        write_png(os.path.join(here, name + ".png"), size, size, rows)
    if "--sheet" in argv:
        i = argv.index("--sheet")
        path = argv[i + 1] if i + 1 < len(argv) else "/tmp/icons_sheet.png"
        write_sheet(path, icons)


if __name__ == "__main__":
    main(sys.argv[1:])
