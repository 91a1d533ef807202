#!/usr/bin/env python3
"""Draws the program icons of Orrivane and a contact sheet of them.

    python3 scripts/draw-icons.py        (run from anywhere; paths are repo-relative)

Writes
    alarm/res/alarm.ico          icon 101, the tray icon (an alarm clock)
    alarm/res/alarm-ringing.ico  icon 102, its second picture while blinking
    settings/res/settings.ico    icon 100, the settings program
    docs/icons.png               every size on a light and a dark ground

Each icon holds 16, 20, 24, 32, 40, 48, 64 and 256 px images: the sizes
Windows asks for at 100, 125, 150 and 200 % (small icons 16-32, large ones
32-64) and Explorer's largest view.  Up to 32 px they are 32-bit BGRA DIBs
with an AND mask, which every icon reader takes without decoding; from 40 px
on they are PNG images (Vista and later read those at any size), because a
DIB costs four bytes a pixel and ZAVSet carries two icons within its size
goal.

All sizes come from one vector description in a 48x48 design grid.  Strokes
get a minimum width in real pixels and details (ticks, knob, centre, second
hand) come and go with the size, so 16-24 px stay legible and 64-256 px are
not empty.  Pixels are supersampled and averaged in premultiplied form, so
edges are smooth and the ground stays fully transparent.

Standard library only.
"""

import math
import os
import struct
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SIZES = (16, 20, 24, 32, 40, 48, 64, 256)
PNG_FROM = 40  # this size and larger are stored as PNG
GRID = 48.0  # design units across the icon


def rgb(hex_text, alpha=255):
    v = int(hex_text.lstrip("#"), 16)
    return ((v >> 16) & 255, (v >> 8) & 255, v & 255, alpha)


CLEAR = (0, 0, 0, 0)

# ---------------------------------------------------------------- shapes
# Each shape answers "is this design-grid point inside?" and knows a bounding
# box so the renderer can skip it cheaply.  Painting is front-to-back per
# sample: the last shape added that contains the sample decides its colour
# (CLEAR included, which cuts holes into what lies beneath).


class Circle:
    def __init__(self, cx, cy, r, color, r_in=0.0):
        self.cx, self.cy, self.r2, self.ri2 = cx, cy, r * r, r_in * r_in
        self.color = color
        self.bbox = (cx - r, cy - r, cx + r, cy + r)

    def contains(self, x, y):
        d2 = (x - self.cx) ** 2 + (y - self.cy) ** 2
        return self.ri2 <= d2 <= self.r2


def Ring(cx, cy, r, width, color):
    return Circle(cx, cy, r, color, r_in=r - width)


class Line:
    """A thick segment with round caps."""

    def __init__(self, x1, y1, x2, y2, width, color):
        self.p = (x1, y1)
        self.d = (x2 - x1, y2 - y1)
        self.len2 = self.d[0] ** 2 + self.d[1] ** 2 or 1e-9
        self.h2 = (width / 2.0) ** 2
        self.color = color
        h = width / 2.0
        self.bbox = (min(x1, x2) - h, min(y1, y2) - h, max(x1, x2) + h, max(y1, y2) + h)

    def contains(self, x, y):
        px, py = x - self.p[0], y - self.p[1]
        t = max(0.0, min(1.0, (px * self.d[0] + py * self.d[1]) / self.len2))
        dx, dy = px - t * self.d[0], py - t * self.d[1]
        return dx * dx + dy * dy <= self.h2


class Polygon:
    """Even-odd filled polygon."""

    def __init__(self, points, color):
        self.pts = list(points)
        self.color = color
        xs = [p[0] for p in self.pts]
        ys = [p[1] for p in self.pts]
        self.bbox = (min(xs), min(ys), max(xs), max(ys))

    def contains(self, x, y):
        inside = False
        pts = self.pts
        j = len(pts) - 1
        for i in range(len(pts)):
            xi, yi = pts[i]
            xj, yj = pts[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                inside = not inside
            j = i
        return inside


class Transformed:
    """A shape turned by `angle` degrees (clockwise on screen) and scaled about (cx, cy)."""

    def __init__(self, shape, cx, cy, angle, scale=1.0):
        self.shape, self.cx, self.cy, self.scale = shape, cx, cy, scale
        a = math.radians(angle)
        self.c, self.s = math.cos(a), math.sin(a)
        self.color = shape.color
        x0, y0, x1, y1 = shape.bbox
        corners = [self._forward(x, y) for x in (x0, x1) for y in (y0, y1)]
        self.bbox = (min(p[0] for p in corners), min(p[1] for p in corners),
                     max(p[0] for p in corners), max(p[1] for p in corners))

    def _forward(self, x, y):
        dx, dy = (x - self.cx) * self.scale, (y - self.cy) * self.scale
        return (self.cx + dx * self.c - dy * self.s, self.cy + dx * self.s + dy * self.c)

    def contains(self, x, y):
        dx, dy = (x - self.cx) / self.scale, (y - self.cy) / self.scale
        return self.shape.contains(self.cx + dx * self.c + dy * self.s,
                                   self.cy - dx * self.s + dy * self.c)


def gear_polygon(cx, cy, r_body, r_tip, teeth, color):
    """A gear outline: `teeth` trapezoid teeth on a body of radius r_body."""
    pts = []
    step = 2 * math.pi / teeth
    for k in range(teeth):
        a = k * step - math.pi / 2
        for da, r in ((-0.30, r_body), (-0.17, r_tip), (0.17, r_tip), (0.30, r_body)):
            pts.append((cx + r * math.cos(a + da * step * 1.6),
                        cy + r * math.sin(a + da * step * 1.6)))
    return Polygon(pts, color)


# ---------------------------------------------------------------- pictures

NORMAL = {
    "rim": rgb("#2F6FD0"),      # medium blue: reads on light and on black taskbars
    "bell": rgb("#2F6FD0"),
    "face": rgb("#FFFFFF"),
    "hand": rgb("#1B2433"),
    "tick": rgb("#7E8A9A"),
    "foot": rgb("#1E4E9A"),
    "accent": rgb("#E53A1E"),   # second hand / centre
}
RINGING = {
    "rim": rgb("#F04A14"),
    "bell": rgb("#F04A14"),
    "face": rgb("#FFF1A8"),
    "hand": rgb("#2A1A10"),
    "tick": rgb("#C08040"),
    "foot": rgb("#B0300C"),
    "accent": rgb("#D01010"),
    "shake": rgb("#FFA000"),
}


def stroke(base, px, size):
    """A stroke of `base` design units, but never thinner than `px` real pixels."""
    return max(base, px * GRID / size)


def clock(size, pal, cx=24.0, cy=26.0, r=17.0):
    """The alarm clock: feet, bells with their top knob, rimmed face, ticks, hands at 10:10.

    Details follow the size: up to 24 px only bells, rim, feet and a long-handed
    V (with the knob from 24 px on); ticks, shorter hands and the centre from
    32 px on; a second hand from 64 px on."""
    tiny = size <= 24
    shapes = []
    rim_w = stroke(3.4, 1.5, size)
    # Feet, drawn first so the face covers their upper ends.
    fw = stroke(3.4, 1.6, size)
    for side in (-1, 1):
        shapes.append(Line(cx + side * r * 0.50, cy + r * 0.70,
                           cx + side * r * 0.80, cy + r * 1.12, fw, pal["foot"]))
    # Bells: domes sitting on the rim at 10:30 and 1:30; the face hides their
    # lower halves.
    bell_r = r * (0.42 if size <= 16 else 0.44)
    for side in (-1, 1):
        a = math.radians(-90 + side * 44)
        bx, by = cx + math.cos(a) * r * 1.06, cy + math.sin(a) * r * 1.06
        shapes.append(Circle(bx, by, bell_r, pal["bell"]))
    # Face and rim, with a thin transparent gap that keeps bells and feet
    # from melting into the rim at small sizes.
    shapes.append(Circle(cx, cy, r + stroke(1.2, 1.0, size), CLEAR))
    if size >= 24:
        # Top knob between the bells, joined to the rim; two whole pixels wide
        # while that is wider than the design, so it stays crisp.
        shapes.append(Line(cx, cy - r, cx, cy - r - 3.0, stroke(2.6, 2.0, size), pal["foot"]))
    shapes.append(Circle(cx, cy, r, pal["face"]))
    shapes.append(Ring(cx, cy, r, rim_w, pal["rim"]))
    inner = r - rim_w
    if not tiny:
        # Hour ticks; below 32 px they would only muddy the face.
        tw = stroke(1.6, 1.0, size)
        for k in range(12):
            a = math.radians(k * 30)
            long_tick = k % 3 == 0
            r0 = inner - (3.2 if long_tick else 2.0)
            r1 = inner - 0.6
            shapes.append(Line(cx + math.sin(a) * r0, cy - math.cos(a) * r0,
                               cx + math.sin(a) * r1, cy - math.cos(a) * r1,
                               tw if long_tick else tw * 0.7, pal["tick"]))
    # Hands at 10:10: hour hand just past ten, minute hand on two.  Small, they
    # are longer and the centre dot is left out so the V stays readable.
    hw = stroke(2.8, 1.5, size)
    hands = ((-55.0, 0.80), (55.0, 1.0)) if tiny else ((-55.0, 0.55), (60.0, 0.80))
    for angle, length in hands:
        a = math.radians(angle)
        shapes.append(Line(cx, cy, cx + math.sin(a) * inner * length,
                           cy - math.cos(a) * inner * length, hw, pal["hand"]))
    if size >= 64:
        # A thin second hand with a short tail, clear of the other two.
        a = math.radians(196.0)
        dx, dy = math.sin(a) * inner, -math.cos(a) * inner
        shapes.append(Line(cx - dx * 0.22, cy - dy * 0.22, cx + dx * 0.86, cy + dy * 0.86,
                           stroke(0.9, 1.0, size), pal["accent"]))
    if not tiny:
        shapes.append(Circle(cx, cy, 2.0, pal["accent"]))
    return shapes


def clock_frame(size):
    """Centre and radius of the clock; small, the face fills more of the square."""
    if size <= 16:
        return (24.0, 27.0, 17.4)
    if size <= 24:
        return (24.0, 26.5, 17.2)
    return (24.0, 26.0, 17.0)


def draw_alarm(size):
    cx, cy, r = clock_frame(size)
    return clock(size, NORMAL, cx, cy, r)


def draw_ringing(size):
    """The same clock shaken: tilted, warm colours, bold vibration strokes at the bells."""
    cx, cy, r = clock_frame(size)
    small = size <= 20
    tilt = -14.0
    scale = 0.86 if not small else 0.94
    shapes = [Transformed(s, cx, cy + 1.0, tilt, scale)
              for s in clock(size, RINGING, cx, cy + 1.0, r)]
    sw = stroke(2.8, 1.5, size)
    col = RINGING["shake"]
    # Short strokes fanning out beside each bell, clear of the tilted clock.
    strokes = (((1.5, 9.0, 6.5, 12.0),) if small
               else ((2.0, 14.0, 7.0, 16.5), (5.5, 4.0, 9.5, 8.5)))
    for side in (-1, 1):
        for (ax, ay, bx, by) in strokes:
            if side > 0:
                ax, bx = GRID - ax, GRID - bx
            shapes.append(Line(ax, ay, bx, by, sw, col))
    return shapes


def draw_settings(size):
    """The clock with a gear badge in the lower right corner."""
    small = size <= 20
    cx, cy, r = (21.0, 24.0, 17.5) if small else (21.0, 24.0, 16.0)
    shapes = clock(size, NORMAL, cx, cy, r)
    gx, gy = (36.5, 36.5) if small else (37.0, 37.0)
    tip = 11.0 if small else 10.0
    body = tip * 0.74
    hole = tip * 0.34
    gap = stroke(1.8, 1.0, size)
    shapes.append(Circle(gx, gy, tip + gap, CLEAR))           # cut-out halo against the clock
    shapes.append(gear_polygon(gx, gy, body, tip, 6 if size <= 24 else 8, rgb("#7D8898")))
    shapes.append(Circle(gx, gy, hole, CLEAR))
    return shapes


# ---------------------------------------------------------------- rendering

def render(shapes, size):
    """Returns rows of straight-alpha RGBA tuples, top row first."""
    ss = 8 if size <= 24 else 4
    unit = GRID / size
    offs = [(i + 0.5) / ss * unit for i in range(ss)]
    n = ss * ss
    top_first = list(reversed(shapes))
    rows = []
    for py in range(size):
        row = []
        y0 = py * unit
        in_row = [s for s in top_first if s.bbox[1] <= y0 + unit and s.bbox[3] >= y0]
        for px in range(size):
            x0 = px * unit
            cands = [s for s in in_row if s.bbox[0] <= x0 + unit and s.bbox[2] >= x0]
            r = g = b = a = 0
            if cands:
                for oy in offs:
                    y = y0 + oy
                    for ox in offs:
                        x = x0 + ox
                        for s in cands:
                            if s.contains(x, y):
                                cr, cg, cb, ca = s.color
                                r += cr * ca
                                g += cg * ca
                                b += cb * ca
                                a += ca
                                break
            if a == 0:
                row.append(CLEAR)
            else:
                row.append((round(r / a), round(g / a), round(b / a), round(a / n)))
        rows.append(row)
    return rows


# ---------------------------------------------------------------- files

def dib(rows):
    """BITMAPINFOHEADER + bottom-up BGRA + AND mask (1 where fully transparent)."""
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = bytearray()
    mask = bytearray()
    stride = ((size + 31) // 32) * 4
    for row in reversed(rows):
        for (r, g, b, a) in row:
            xor += bytes((b, g, r, a))
        bits = bytearray(stride)
        for x, px in enumerate(row):
            if px[3] == 0:
                bits[x >> 3] |= 0x80 >> (x & 7)
        mask += bits
    return header + bytes(xor) + bytes(mask)


def png_idat(lines, bpp):
    """The compressed scan lines (bytes, top first), each behind its PNG filter
    byte.  Tries one filter for all lines and the usual per-line guess (least
    sum of deviations) and keeps the smallest: for these flat pictures no
    filter at all usually wins, as deflate then finds whole repeated runs."""
    n = len(lines[0])
    streams = [bytearray() for _ in range(6)]
    prev = bytes(n)
    for line in lines:
        left = bytes(bpp) + line[:n - bpp]
        upleft = bytes(bpp) + prev[:n - bpp]
        paeth = bytearray(n)
        for i in range(n):
            a, b, c = left[i], prev[i], upleft[i]
            p = a + b - c
            pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
            paeth[i] = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
        filtered = (
            bytes(line),
            bytes((line[i] - left[i]) & 255 for i in range(n)),
            bytes((line[i] - prev[i]) & 255 for i in range(n)),
            bytes((line[i] - (left[i] + prev[i]) // 2) & 255 for i in range(n)),
            bytes((line[i] - paeth[i]) & 255 for i in range(n)),
        )
        for kind in range(5):
            streams[kind].append(kind)
            streams[kind] += filtered[kind]
        guess = min(range(5), key=lambda k: sum(v if v < 128 else 256 - v for v in filtered[k]))
        streams[5].append(guess)
        streams[5] += filtered[guess]
        prev = line
    return min((zlib.compress(bytes(data), 9) for data in streams), key=len)


def png(width, height, lines, color_type, bpp):
    def chunk(tag, data):
        return (struct.pack(">I", len(data)) + tag + data
                + struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF))

    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, color_type, 0, 0, 0))
            + chunk(b"IDAT", png_idat(lines, bpp))
            + chunk(b"IEND", b""))


def icon_png(rows):
    """An icon image as an RGBA PNG (straight alpha, as icons keep it)."""
    lines = [bytes(c for px in row for c in px) for row in rows]
    return png(len(rows), len(rows), lines, 6, 4)


def write_ico(path, images):
    blobs = [icon_png(rows) if len(rows) >= PNG_FROM else dib(rows) for rows in images]
    out = bytearray(struct.pack("<HHH", 0, 1, len(blobs)))
    offset = 6 + 16 * len(blobs)
    for rows, blob in zip(images, blobs):
        n = len(rows)
        # 256 px is written as 0 in the byte-wide directory fields.
        out += struct.pack("<BBBBHHII", n % 256, n % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    for blob in blobs:
        out += blob
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(out)


def contact_sheet(path, icons, zoom=2, pad=12):
    """One row per icon: on a light ground the 256 px image as it is and the
    others enlarged `zoom` times, pixel for pixel; then the enlarged ones again
    on a dark ground, as the taskbar shows them."""
    light, dark = (240, 240, 240), (32, 32, 36)
    big = max(SIZES)
    smaller = [s for s in SIZES if s != big]
    small_w = sum(s * zoom + pad for s in smaller) + pad
    light_w = pad + big + small_w
    width = light_w + small_w
    row_h = big + 2 * pad
    height = row_h * len(icons)
    pixels = [light if x < light_w else dark for _ in range(height) for x in range(width)]

    def place(rows, left, top, scale, ground):
        n = len(rows)
        for yy in range(n * scale):
            line = (top + yy) * width + left
            for xx in range(n * scale):
                r, g, b, a = rows[yy // scale][xx // scale]
                pixels[line + xx] = tuple((c * a + gc * (255 - a)) // 255
                                          for c, gc in zip((r, g, b), ground))

    for k, images in enumerate(icons):
        top = k * row_h + pad
        by_size = {len(rows): rows for rows in images}
        place(by_size[big], pad, top, 1, light)
        for left0, ground in ((pad + big, light), (light_w, dark)):
            x = left0 + pad
            for s in reversed(smaller):
                place(by_size[s], x, top + (big - s * zoom) // 2, zoom, ground)
                x += s * zoom + pad
    lines = [bytes(c for px in pixels[y * width:(y + 1) * width] for c in px) for y in range(height)]
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(png(width, height, lines, 2, 3))


def main():
    icons = []
    for rel, draw in (("alarm/res/alarm.ico", draw_alarm),
                      ("alarm/res/alarm-ringing.ico", draw_ringing),
                      ("settings/res/settings.ico", draw_settings)):
        images = [render(draw(size), size) for size in SIZES]
        write_ico(os.path.join(ROOT, rel), images)
        icons.append(images)
        print("wrote", rel)
    contact_sheet(os.path.join(ROOT, "docs/icons.png"), icons)
    print("wrote docs/icons.png")


if __name__ == "__main__":
    main()
