#!/usr/bin/env python3
"""Draws the application's small images as PNG files (standard library only).

Run from the repository root: tools/make_icons.py. The images are committed; run it again
only to change them.
"""
import math
import struct
import zlib


def write_png(path, width, height, pixels):
    raw = b"".join(b"\x00" + bytes(pixels[y * width * 4:(y + 1) * width * 4]) for y in range(height))

    def chunk(tag, data):
        body = tag + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))


def render(width, height, shapes, samples=3):
    """shapes: list of (inside(x, y) -> bool, (r, g, b, a)); later shapes paint over earlier."""
    pixels = []
    for py in range(height):
        for px in range(width):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(samples):
                for sx in range(samples):
                    x = px + (sx + 0.5) / samples
                    y = py + (sy + 0.5) / samples
                    colour = (0, 0, 0, 0)
                    for inside, c in shapes:
                        if inside(x, y):
                            colour = c
                    a = colour[3] / 255.0
                    acc[0] += colour[0] * a
                    acc[1] += colour[1] * a
                    acc[2] += colour[2] * a
                    acc[3] += a
            n = samples * samples
            alpha = acc[3] / n
            if alpha > 0:
                pixels += [round(acc[0] / acc[3]), round(acc[1] / acc[3]), round(acc[2] / acc[3]), round(alpha * 255)]
            else:
                pixels += [0, 0, 0, 0]
    return pixels


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r0, r1):
    return lambda x, y: r0 * r0 <= (x - cx) ** 2 + (y - cy) ** 2 <= r1 * r1


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def rounded(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def sector_ring(cx, cy, r0, r1, start_deg, end_deg):
    def inside(x, y):
        d2 = (x - cx) ** 2 + (y - cy) ** 2
        if not r0 * r0 <= d2 <= r1 * r1:
            return False
        a = math.degrees(math.atan2(y - cy, x - cx)) % 360
        return start_deg <= a < end_deg
    return inside


RED = (200, 16, 46, 255)
WHITE = (255, 255, 255, 255)
NAVY = (20, 40, 80, 255)
GREY = (90, 98, 110, 255)

# Man overboard: a lifebuoy, red with white quarters.
overboard = [(ring(16, 16, 6.5, 14.5), RED)]
for start in (20, 110, 200, 290):
    overboard.append((sector_ring(16, 16, 6.5, 14.5, start, start + 50), WHITE))
overboard += [(lambda x, y: abs(math.hypot(x - 16, y - 16) - 14.5) < 0.8, NAVY),
              (lambda x, y: abs(math.hypot(x - 16, y - 16) - 6.5) < 0.8, NAVY)]
write_png("host/orvane1/resources/overboard.png", 32, 32, render(32, 32, overboard))

# Take fix: a position cross in a ring.
take_fix = [(ring(16, 16, 9, 11.5), NAVY),
            (rect(15, 2, 17, 30), NAVY), (rect(2, 15, 30, 17), NAVY),
            (circle(16, 16, 3), RED)]
write_png("host/orvane1/resources/takeFix.png", 32, 32, render(32, 32, take_fix))

# Snapshot: a camera.
snapshot = [(rounded(3, 9, 29, 27, 3), GREY), (rect(11, 5, 21, 10), GREY),
            (circle(16, 18, 6.5), WHITE), (circle(16, 18, 4.5), NAVY), (rect(23, 11, 26, 13), WHITE)]
write_png("host/orvane1/resources/snapshot.png", 32, 32, render(32, 32, snapshot))

# Quality display: a traffic light, 388 by 392.
lights = [(rounded(104, 6, 284, 386, 40), (40, 44, 52, 255)),
          (rounded(112, 14, 276, 378, 34), (62, 68, 78, 255)),
          (circle(194, 76, 50), (226, 35, 26, 255)),
          (circle(194, 196, 50), (255, 184, 28, 255)),
          (circle(194, 316, 50), (40, 180, 70, 255))]
for cy in (76, 196, 316):
    lights.append((lambda x, y, cy=cy: (x - 178) ** 2 + (y - cy + 18) ** 2 <= 14 ** 2, (255, 255, 255, 110)))
write_png("qc/resources/stopLights.png", 388, 392, render(388, 392, lights, samples=2))
