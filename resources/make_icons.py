#!/usr/bin/env python3
"""Draws the program's icons (program 128, file 130, folder 131) at 16, 32 and
48 pixels and writes them as 32-bit .ico files with a 1-bit mask.

Shapes are given on a 32-unit canvas and rasterised with 4x4 supersampling, so
each size is drawn from the same description rather than scaled from another
bitmap. Colours stay near the 16-colour palette, because the picker's image
list is 4-bit. Run: python3 resources/make_icons.py (writes beside itself).
"""
import math
import os
import struct

SIZES = (16, 32, 48)
SS = 4  # samples per pixel edge


def seg_dist(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy
    t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / length2))
    cx, cy = ax + t * dx, ay + t * dy
    return math.hypot(px - cx, py - cy)


def inside_polygon(px, py, pts):
    inside = False
    j = len(pts) - 1
    for i in range(len(pts)):
        xi, yi = pts[i]
        xj, yj = pts[j]
        if (yi > py) != (yj > py) and px < (xj - xi) * (py - yi) / (yj - yi) + xi:
            inside = not inside
        j = i
    return inside


def inside_round_rect(px, py, x0, y0, x1, y1, r):
    if px < x0 or px > x1 or py < y0 or py > y1:
        return False
    cx = min(max(px, x0 + r), x1 - r)
    cy = min(max(py, y0 + r), y1 - r)
    return math.hypot(px - cx, py - cy) <= r


class Canvas:
    def __init__(self, size):
        self.size = size
        self.scale = size / 32.0
        self.px = [[(0.0, 0.0, 0.0, 0.0)] * size for _ in range(size)]

    def paint(self, colour, covers):
        """Composites colour over every pixel by the fraction of its samples
        (in 32-unit coordinates) for which covers(x, y) holds."""
        r, g, b = colour
        step = 1.0 / SS
        for y in range(self.size):
            for x in range(self.size):
                hits = 0
                for sy in range(SS):
                    for sx in range(SS):
                        ux = (x + (sx + 0.5) * step) / self.scale
                        uy = (y + (sy + 0.5) * step) / self.scale
                        if covers(ux, uy):
                            hits += 1
                if hits:
                    a = hits / (SS * SS)
                    br, bg, bb, ba = self.px[y][x]
                    out_a = a + ba * (1 - a)
                    mix = lambda c, d: (c * a + d * ba * (1 - a)) / out_a
                    self.px[y][x] = (mix(r, br), mix(g, bg), mix(b, bb), out_a)

    def line_width(self, units):
        """A stroke width in units that never falls below one output pixel."""
        return max(units, 1.0 / self.scale)

    def polyline(self, colour, pts, width):
        half = self.line_width(width) / 2

        def covers(x, y):
            return any(seg_dist(x, y, *pts[i], *pts[i + 1]) <= half for i in range(len(pts) - 1))

        self.paint(colour, covers)

    def polygon(self, colour, pts):
        self.paint(colour, lambda x, y: inside_polygon(x, y, pts))

    def outline(self, colour, pts, width):
        self.polyline(colour, pts + [pts[0]], width)


def wave(x0, x1, mid, amp, cycles, n=64):
    pts = []
    for i in range(n + 1):
        t = i / n
        envelope = 0.35 + 0.65 * math.sin(math.pi * t)
        pts.append((x0 + (x1 - x0) * t, mid - amp * envelope * math.sin(2 * math.pi * cycles * t)))
    return pts


def draw_program(c):
    # A waveform on a dark tile, cut into pieces by two red marks.
    c.paint((0x20, 0x30, 0x58), lambda x, y: inside_round_rect(x, y, 1, 1, 31, 31, 5))
    c.paint((0x10, 0x18, 0x30), lambda x, y: inside_round_rect(x, y, 1, 1, 31, 31, 5)
            and not inside_round_rect(x, y, 2.2, 2.2, 29.8, 29.8, 4))
    pts = wave(4, 28, 16, 9, 2.5)
    pieces = [[p for p in pts if p[0] <= 11.2], [p for p in pts if 13.8 <= p[0] <= 18.7],
              [p for p in pts if p[0] >= 21.3]]
    for piece in pieces:
        c.polyline((0x40, 0xFF, 0x80), piece, 2.2)
    for x in (12.5, 20.0):
        c.polyline((0xFF, 0x30, 0x30), [(x, 5), (x, 27)], 1.6)


def draw_file(c):
    page = [(6, 2), (20, 2), (27, 9), (27, 30), (6, 30)]
    c.polygon((0xFF, 0xFF, 0xFF), page)
    c.polygon((0xC0, 0xC0, 0xC0), [(20, 2), (27, 9), (20, 9)])
    c.outline((0x40, 0x40, 0x40), page, 1.4)
    c.polyline((0x40, 0x40, 0x40), [(20, 2), (20, 9), (27, 9)], 1.2)
    c.polyline((0x00, 0x00, 0xA0), wave(9, 24, 19.5, 6, 2), 2.0)


def draw_folder(c):
    back = [(2, 6), (12, 6), (15, 9), (29, 9), (29, 28), (2, 28)]
    front = [(2, 13), (30, 13), (28, 28), (2, 28)]
    c.polygon((0xC0, 0x90, 0x00), back)
    c.outline((0x60, 0x48, 0x00), back, 1.4)
    c.polygon((0xFF, 0xD8, 0x40), front)
    c.outline((0x60, 0x48, 0x00), front, 1.4)


def ico_image(c):
    n = c.size
    xor = bytearray()
    mask = bytearray()
    row_bytes = ((n + 31) // 32) * 4
    for y in range(n - 1, -1, -1):  # bottom-up
        bits = bytearray(row_bytes)
        for x in range(n):
            r, g, b, a = c.px[y][x]
            xor += bytes((round(b), round(g), round(r), round(a * 255)))
            if a < 0.5:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack('<IiiHHIIiiII', 40, n, 2 * n, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + bytes(xor) + bytes(mask)


def write_ico(path, draw):
    images = []
    for size in SIZES:
        c = Canvas(size)
        draw(c)
        images.append((size, ico_image(c)))
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    with open(path, 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    here = os.path.dirname(os.path.abspath(__file__))
    write_ico(os.path.join(here, 'Wavoss.ico'), draw_program)
    write_ico(os.path.join(here, 'File.ico'), draw_file)
    write_ico(os.path.join(here, 'Folder.ico'), draw_folder)
