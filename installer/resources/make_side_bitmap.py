#!/usr/bin/env python3
# Draws setup's side picture, bitmap 106 (side.bmp); usage in the docstring below.
"""Draws bitmap 106, the installer's side picture: a 220 x 369 24-bit BMP for an
image-processing plug-in. A night-blue gradient, a lens that splits a white
beam into a spectrum, and below it a pixel mosaic that turns from coarse to
fine, as a filter sharpens an image. Standard library only; deterministic.

    python3 make_side_bitmap.py [side.bmp]
"""
import colorsys
import math
import struct
import sys

WIDTH, HEIGHT = 220, 369


def clamp(v):
    return max(0, min(255, int(round(v))))


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def draw():
    pixels = [[(0.0, 0.0, 0.0)] * WIDTH for _ in range(HEIGHT)]
    top, bottom = (10, 22, 60), (48, 18, 78)
    for y in range(HEIGHT):
        base = mix(top, bottom, y / (HEIGHT - 1))
        for x in range(WIDTH):
            # A soft vignette towards the edges.
            dx, dy = (x - WIDTH / 2) / WIDTH, (y - HEIGHT * 0.35) / HEIGHT
            glow = max(0.0, 1.0 - 2.2 * math.hypot(dx, dy))
            pixels[y][x] = mix(base, (40, 70, 140), 0.5 * glow)

    cx, cy, radius = 110, 120, 52

    # The white beam coming in from the upper left to the lens.
    for x in range(0, cx):
        yc = 40 + (cy - 40) * x / cx
        for y in range(int(yc) - 3, int(yc) + 4):
            if 0 <= y < HEIGHT:
                t = 1.0 - abs(y - yc) / 4.0
                pixels[y][x] = mix(pixels[y][x], (250, 250, 240), max(0.0, t) * 0.9)

    # The spectrum fanning out from the lens to the lower right.
    for x in range(cx, WIDTH):
        spread = (x - cx) / (WIDTH - cx)
        centre = cy + 70 * spread
        half = 4 + 34 * spread
        for y in range(int(centre - half), int(centre + half) + 1):
            if 0 <= y < HEIGHT:
                hue = (y - (centre - half)) / (2 * half) * 0.8
                r, g, b = colorsys.hsv_to_rgb(hue, 0.9, 1.0)
                pixels[y][x] = mix(pixels[y][x], (r * 255, g * 255, b * 255), 0.85)

    # The lens: a glassy disc with a dark rim and a highlight.
    for y in range(cy - radius - 4, cy + radius + 5):
        for x in range(cx - radius - 4, cx + radius + 5):
            if not (0 <= x < WIDTH and 0 <= y < HEIGHT):
                continue
            d = math.hypot(x - cx, y - cy)
            if d <= radius:
                depth = d / radius
                glass = mix((150, 200, 240), (60, 110, 190), depth ** 2)
                pixels[y][x] = mix(pixels[y][x], glass, 0.75)
                hl = math.hypot(x - (cx - 18), y - (cy - 20))
                if hl < 14:
                    pixels[y][x] = mix(pixels[y][x], (255, 255, 255), (1 - hl / 14) * 0.9)
            elif d <= radius + 4:
                pixels[y][x] = mix(pixels[y][x], (20, 28, 40), 0.9)

    # A pixel mosaic: rows of tiles that get finer from left to right.
    y0 = 250
    for band, tile in enumerate((16, 8, 4, 2)):
        top_y = y0 + band * 26
        for y in range(top_y, min(top_y + 22, HEIGHT)):
            for x in range(14, WIDTH - 14):
                tx, ty = (x - 14) // tile, (y - top_y) // tile
                u, v = (tx * tile) / (WIDTH - 28), (ty * tile) / 22
                r, g, b = colorsys.hsv_to_rgb((u * 0.7 + v * 0.2 + band * 0.05) % 1.0, 0.6, 0.95)
                pixels[y][x] = (r * 255, g * 255, b * 255)
    return pixels


def write_bmp(path, pixels):
    row_size = (WIDTH * 3 + 3) // 4 * 4
    image_size = row_size * HEIGHT
    header = struct.pack("<2sIHHI", b"BM", 54 + image_size, 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, image_size, 3780, 3780, 0, 0)
    with open(path, "wb") as f:
        f.write(header)
        f.write(info)
        for y in range(HEIGHT - 1, -1, -1):  # bottom-up
            row = bytearray()
            for r, g, b in pixels[y]:
                row += bytes((clamp(b), clamp(g), clamp(r)))
            row += b"\0" * (row_size - len(row))
            f.write(row)


if __name__ == "__main__":
    write_bmp(sys.argv[1] if len(sys.argv) > 1 else "side.bmp", draw())
