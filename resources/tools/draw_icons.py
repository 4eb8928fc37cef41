#!/usr/bin/env python3
"""Draws the application's icons into resources/images/ as 8-bit RGBA PNGs.

Only the standard library is used (zlib and struct write the PNG), so the icons can be
redrawn anywhere: python3 resources/tools/draw_icons.py
Shapes are sampled 4 x 4 times per pixel, which gives smooth edges at these small sizes.
"""

import math
import os
import struct
import sys
import zlib

SUPERSAMPLE = 4


# ---------------------------------------------------------------- shapes
# Each shape is a function (x, y) -> bool in pixel coordinates (0..size).


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r_outer, r_inner):
    return lambda x, y: r_inner * r_inner <= (x - cx) ** 2 + (y - cy) ** 2 <= r_outer * r_outer


def segment(x0, y0, x1, y1, width):
    """A stroke from (x0, y0) to (x1, y1) with round caps."""
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy
    half = width / 2.0

    def inside(x, y):
        t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length2))
        px, py = x0 + t * dx - x, y0 + t * dy - y
        return px * px + py * py <= half * half

    return inside


def rect(x0, y0, x1, y1, radius=0.0):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        if radius <= 0:
            return True
        cx = min(max(x, x0 + radius), x1 - radius)
        cy = min(max(y, y0 + radius), y1 - radius)
        return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius

    return inside


def frame(x0, y0, x1, y1, width, radius=0.0):
    outer = rect(x0, y0, x1, y1, radius)
    inner = rect(x0 + width, y0 + width, x1 - width, y1 - width, max(0.0, radius - width))
    return lambda x, y: outer(x, y) and not inner(x, y)


def polygon(points):
    def inside(x, y):
        result = False
        j = len(points) - 1
        for i in range(len(points)):
            xi, yi = points[i]
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                result = not result
            j = i
        return result

    return inside


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def minus(shape, cut):
    return lambda x, y: shape(x, y) and not cut(x, y)


# ---------------------------------------------------------------- canvas


class Canvas:
    def __init__(self, size):
        self.size = size
        self.pixels = [[(0.0, 0.0, 0.0, 0.0)] * size for _ in range(size)]

    def fill(self, shape, colour, vertical_gradient=None):
        """Composites a shape over the canvas; colour is (r, g, b) or (r, g, b, a) in 0..255.

        vertical_gradient, when given, is a second colour reached at the bottom of the canvas.
        """
        n = SUPERSAMPLE
        for py in range(self.size):
            for px in range(self.size):
                hits = 0
                for sy in range(n):
                    for sx in range(n):
                        if shape(px + (sx + 0.5) / n, py + (sy + 0.5) / n):
                            hits += 1
                if hits:
                    c = colour
                    if vertical_gradient is not None:
                        t = (py + 0.5) / self.size
                        c = tuple(a + (b - a) * t for a, b in zip(colour, vertical_gradient))
                    self._over(px, py, c, hits / float(n * n))

    def _over(self, x, y, colour, coverage):
        r, g, b = (v / 255.0 for v in colour[:3])
        a = (colour[3] / 255.0 if len(colour) > 3 else 1.0) * coverage
        dr, dg, db, da = self.pixels[y][x]
        out_a = a + da * (1.0 - a)
        if out_a <= 0:
            self.pixels[y][x] = (0.0, 0.0, 0.0, 0.0)
            return

        def mix(s, d):
            return (s * a + d * da * (1.0 - a)) / out_a

        self.pixels[y][x] = (mix(r, dr), mix(g, dg), mix(b, db), out_a)

    def png(self):
        raw = bytearray()
        for row in self.pixels:
            raw.append(0)  # filter type: none
            for r, g, b, a in row:
                raw.extend(int(round(max(0.0, min(1.0, v)) * 255)) for v in (r, g, b, a))

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

        # 8 bits per channel, colour type 6 (RGBA), no interlace.
        header = struct.pack(">IIBBBBB", self.size, self.size, 8, 6, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
                + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


# ---------------------------------------------------------------- palette

BLUE = (55, 131, 235)
DARK_BLUE = (26, 90, 180)
SLATE = (96, 114, 140)
FRAME = (150, 170, 196)
WHITE = (255, 255, 255)
RED = (214, 64, 52)
DARK_RED = (160, 36, 30)
GREEN = (46, 160, 90)


# ---------------------------------------------------------------- icons


def check_box(state):
    c = Canvas(15)
    border = {"normal": FRAME, "hover": BLUE, "pressed": DARK_BLUE}[state]
    c.fill(rect(1, 1, 14, 14, 2.5), WHITE)
    c.fill(frame(1, 1, 14, 14, 1.2, 2.5), border)
    if state == "pressed":
        c.fill(union(segment(4, 7.5, 6.5, 10.5, 2), segment(6.5, 10.5, 11.2, 4.5, 2)), DARK_BLUE)
    return c


def create(state):
    """A plus in a circle: opens something new."""
    c = Canvas(30)
    disc = {"normal": (235, 241, 248), "hover": (214, 230, 250), "pressed": (190, 212, 244)}[state]
    c.fill(circle(15, 15, 12), disc)
    c.fill(ring(15, 15, 12, 10.8), FRAME)
    mark = BLUE if state != "pressed" else DARK_BLUE
    c.fill(union(segment(15, 9, 15, 21, 2.6), segment(9, 15, 21, 15, 2.6)), mark)
    return c


def cross(state):
    """The close button of a tab; it must read well on the light and on the blue tab."""
    c = Canvas(30)
    x_shape = union(segment(10.5, 10.5, 19.5, 19.5, 2.6), segment(19.5, 10.5, 10.5, 19.5, 2.6))
    if state == "normal":
        c.fill(circle(15, 15, 9.5), (255, 255, 255, 215))
        c.fill(x_shape, SLATE)
    else:
        c.fill(circle(15, 15, 10.5), RED if state == "hover" else DARK_RED)
        c.fill(x_shape, WHITE)
    return c


def hold(state):
    """A push pin: keeps the panel's content."""
    c = Canvas(30)
    colour = {"normal": SLATE, "hover": BLUE, "pressed": DARK_BLUE}[state]
    head = union(rect(10, 5, 20, 8, 1.2), rect(12, 8, 18, 15), rect(8, 15, 22, 18, 1.2))
    c.fill(head, colour)
    c.fill(segment(15, 18, 15, 26, 1.6), colour)
    return c


def logic():
    """Three linked nodes: a topic and the endpoints around it."""
    c = Canvas(30)
    c.fill(union(segment(9, 9, 21, 15, 1.8), segment(9, 21, 21, 15, 1.8), segment(9, 9, 9, 21, 1.8)),
           SLATE)
    c.fill(circle(21, 15, 5.5), BLUE)
    c.fill(circle(9, 9, 4), GREEN)
    c.fill(circle(9, 21, 4), (236, 150, 40))
    return c


def match(compatible):
    """A tick on a green disc or a cross on a red one: whether a writer and a reader can match."""
    c = Canvas(30)
    c.fill(circle(15, 15, 11), GREEN if compatible else RED)
    if compatible:
        mark = union(segment(9.5, 15.5, 13.5, 19.5, 2.8), segment(13.5, 19.5, 20.5, 10.5, 2.8))
    else:
        mark = union(segment(10.5, 10.5, 19.5, 19.5, 2.8), segment(19.5, 10.5, 10.5, 19.5, 2.8))
    c.fill(mark, WHITE)
    return c


def maximize(state):
    """A window outline with a thick title bar."""
    c = Canvas(30)
    colour = {"normal": SLATE, "hover": BLUE, "pressed": DARK_BLUE}[state]
    c.fill(frame(8, 8, 22, 22, 1.6, 1.0), colour)
    c.fill(rect(8, 8, 22, 11.5, 1.0), colour)
    return c


def open_tree():
    """An opened folder."""
    c = Canvas(30)
    c.fill(polygon([(4, 8), (12, 8), (14, 10.5), (25, 10.5), (25, 23), (4, 23)]), (236, 178, 60))
    c.fill(polygon([(7, 14), (28, 14), (25, 23), (4, 23)]), (250, 206, 98))
    return c


def physics():
    """A computer screen on a stand: a host."""
    c = Canvas(30)
    c.fill(rect(4, 6, 26, 21, 1.5), SLATE)
    c.fill(rect(6, 8, 24, 19), (230, 240, 252), (160, 196, 240))
    c.fill(polygon([(13, 21), (17, 21), (18.5, 25), (11.5, 25)]), SLATE)
    c.fill(rect(9, 25, 21, 26.8, 0.8), SLATE)
    return c


def start():
    """A small triangle pointing right: marks the current tab in the tab menu."""
    c = Canvas(10)
    c.fill(polygon([(2, 1), (9, 5), (2, 9)]), BLUE)
    return c


def title():
    """A globe: a DDS domain."""
    c = Canvas(30)
    c.fill(circle(15, 15, 11), (96, 170, 240), (36, 104, 200))
    lines = union(
        ring(15, 15, 11, 9.8),
        segment(4.5, 15, 25.5, 15, 1.2),
        segment(15, 4.2, 15, 25.8, 1.2),
        lambda x, y: abs(((x - 15) / 5.5) ** 2 + ((y - 15) / 11.0) ** 2 - 1.0) < 0.11,
        segment(6.5, 9.5, 23.5, 9.5, 1.0),
        segment(6.5, 20.5, 23.5, 20.5, 1.0),
    )
    c.fill(minus(lines, lambda x, y: (x - 15) ** 2 + (y - 15) ** 2 > 11 * 11), (255, 255, 255, 220))
    return c


ICONS = {
    "checkBox_hover.png": lambda: check_box("hover"),
    "checkBox_normal.png": lambda: check_box("normal"),
    "checkBox_pressed.png": lambda: check_box("pressed"),
    "creat_hover.png": lambda: create("hover"),
    "creat_normal.png": lambda: create("normal"),
    "creat_pressed.png": lambda: create("pressed"),
    "cross_hover.png": lambda: cross("hover"),
    "cross_normal.png": lambda: cross("normal"),
    "cross_pressed.png": lambda: cross("pressed"),
    "hold_hover.png": lambda: hold("hover"),
    "hold_normal.png": lambda: hold("normal"),
    "hold_pressed.png": lambda: hold("pressed"),
    "logic.png": logic,
    "matchFail.png": lambda: match(False),
    "matchOk.png": lambda: match(True),
    "maxmum_hover.png": lambda: maximize("hover"),
    "maxmum_normal.png": lambda: maximize("normal"),
    "maxmum_pressed.png": lambda: maximize("pressed"),
    "openTree.png": open_tree,
    "physics.png": physics,
    "start.png": start,
    "title.png": title,
}


def main():
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), os.pardir, "images")
    os.makedirs(out_dir, exist_ok=True)
    for name, draw in ICONS.items():
        with open(os.path.join(out_dir, name), "wb") as f:
            f.write(draw().png())


if __name__ == "__main__":
    main()
