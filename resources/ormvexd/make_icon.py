#!/usr/bin/env python3
"""Draws the watchdog's icon (a green shield with a white check on a dark ring) and
writes ormvexd.ico with 16, 32 and 48 pixel pictures. Run it again after a change:
    python3 make_icon.py
"""
import struct
import math

SIZES = (16, 32, 48)


def pixel(x, y, n):
    """RGBA of one pixel; coordinates scaled to a unit square."""
    u, v = (x + 0.5) / n, (y + 0.5) / n
    # Shield: a rectangle top, a pointed bottom.
    half = 0.38 if v < 0.55 else 0.38 * max(0.0, (0.95 - v) / 0.40)
    inside = 0.08 <= v <= 0.95 and abs(u - 0.5) <= half
    if not inside:
        return (0, 0, 0, 0)
    edge = abs(u - 0.5) > half - 1.6 / n or v < 0.08 + 1.6 / n
    if edge:
        return (20, 60, 40, 255)
    # The check mark: two strokes.
    def near(ax, ay, bx, by, width):
        dx, dy = bx - ax, by - ay
        t = max(0.0, min(1.0, ((u - ax) * dx + (v - ay) * dy) / (dx * dx + dy * dy)))
        return math.hypot(u - (ax + t * dx), v - (ay + t * dy)) < width
    w = max(0.06, 1.2 / n)
    if near(0.30, 0.48, 0.45, 0.65, w) or near(0.45, 0.65, 0.72, 0.30, w):
        return (255, 255, 255, 255)
    shade = int(150 + 60 * (1 - v))
    return (30, shade, 80, 255)


def bitmap(n):
    rows = []
    for y in reversed(range(n)):  # bottom-up
        row = b"".join(bytes((b, g, r, a)) for (r, g, b, a) in (pixel(x, y, n) for x in range(n)))
        rows.append(row)
    xor = b"".join(rows)
    mask_row = ((n + 31) // 32) * 4
    mask = b"\x00" * (mask_row * n)
    header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + xor + mask


def main():
    images = [bitmap(n) for n in SIZES]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, data in zip(SIZES, images):
        out += struct.pack("<BBBBHHII", n, n, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    with open("ormvexd.ico", "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
