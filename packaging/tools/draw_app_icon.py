#!/usr/bin/env python3
"""Draws the application icon for the desktop's hicolor theme as 8-bit RGBA PNGs.

The shapes and the PNG writer come from resources/tools/draw_icons.py (standard library only),
so the launcher icon is drawn the same way as the icons inside the window:
python3 packaging/tools/draw_app_icon.py   (writes packaging/icons/<size>x<size>.png)

The drawing is laid out on a 0..1 square and scaled to each size: a blue tile with a DDS domain
as a ring of participants around a topic, looked at through a magnifying glass.
"""

import math
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, os.pardir,
                                "resources", "tools"))

from draw_icons import (BLUE, DARK_BLUE, GREEN, WHITE, Canvas, circle, rect, ring,  # noqa: E402
                        segment, union)

SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
ORANGE = (236, 150, 40)
NODE_ANGLES = (-90, -18, 54, 126, 198)
# At launcher sizes below 32 pixels five participants blur into the ring; three stay apart.
SMALL_NODE_ANGLES = (-90, 30, 150)


def app_icon(size):
    c = Canvas(size)
    s = float(size)
    # Small sizes get a thicker stroke so the drawing survives at 16 pixels.
    stroke = max(0.075 * s, 1.3) if size < 32 else 0.055 * s

    def at(u, v):
        return u * s, v * s

    c.fill(rect(0.04 * s, 0.04 * s, 0.96 * s, 0.96 * s, 0.2 * s), (96, 170, 240), DARK_BLUE)

    cx, cy = at(0.44, 0.44)
    radius = 0.2 * s
    angles = NODE_ANGLES if size >= 32 else SMALL_NODE_ANGLES
    nodes = [(cx + radius * math.cos(math.radians(a)), cy + radius * math.sin(math.radians(a)))
             for a in angles]
    links = [segment(cx, cy, x, y, stroke * 0.6) for x, y in nodes]
    c.fill(union(*links), (255, 255, 255, 200))
    node_r = 0.062 * s if size >= 32 else 0.08 * s
    for i, (x, y) in enumerate(nodes):
        c.fill(circle(x, y, node_r), GREEN if i % 2 == 0 else ORANGE)
    c.fill(circle(cx, cy, 0.085 * s), WHITE)
    c.fill(circle(cx, cy, 0.045 * s), BLUE)

    # The magnifying glass: a ring around the domain and a handle to the lower right.
    c.fill(ring(cx, cy, 0.36 * s, 0.36 * s - stroke), WHITE)
    hx, hy = cx + 0.36 * s * math.cos(math.radians(45)), cy + 0.36 * s * math.sin(math.radians(45))
    c.fill(segment(hx, hy, 0.86 * s, 0.86 * s, stroke * 1.9), WHITE)
    return c


def main():
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), os.pardir, "icons")
    os.makedirs(out_dir, exist_ok=True)
    for size in SIZES:
        with open(os.path.join(out_dir, "%dx%d.png" % (size, size)), "wb") as f:
            f.write(app_icon(size).png())


if __name__ == "__main__":
    main()
