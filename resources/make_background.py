#!/usr/bin/env python3
"""Paints the installer window's background: a calm harbour at dusk, 982 x 744,
8-bit RGB, written as a non-interlaced PNG with sRGB, gAMA and pHYs chunks.

The controls sit on the left and in the middle (pages at (200,120)-(600,500),
the folder tree at (40,40) 350x460, the path field and buttons along
y 520-585), so that area gets only smooth sky and softly rippled water; the
lighthouse, pier and boats stand on the right and along the bottom edge."""
import struct
import sys
from pathlib import Path

import numpy as np
from PIL import Image, PngImagePlugin

WIDTH, HEIGHT = 982, 744
HORIZON = 430
rng = np.random.default_rng(1982)


def lerp(a, b, t):
    a = np.asarray(a, dtype=np.float64)
    b = np.asarray(b, dtype=np.float64)
    return a + (b - a) * t[..., None]


def sky(yy, xx):
    t = np.clip(yy / HORIZON, 0, 1)
    top = lerp([92, 132, 186], [176, 196, 214], t ** 1.3)
    glow = np.exp(-(((xx - 800) / 260) ** 2 + ((yy - HORIZON) / 120) ** 2))
    return lerp(top, [246, 206, 160], glow * 0.55)


def clouds(img, yy, xx):
    for cx, cy, w, h in [(140, 70, 220, 18), (470, 50, 260, 14), (820, 110, 200, 16),
                         (330, 200, 300, 12), (700, 250, 240, 10)]:
        d = ((xx - cx) / w) ** 2 + ((yy - cy) / h) ** 2
        a = np.clip(1.2 - d, 0, 1) * 0.35
        img[:] = lerp(img, [250, 246, 240], a)


def hills(img, yy, xx):
    x = xx[0]
    ridge = HORIZON - 38 - 22 * np.sin(x / 140.0) - 14 * np.sin(x / 53.0 + 1.3)
    far = yy < HORIZON
    far &= yy > ridge[None, :]
    img[far] = lerp(img[far], [112, 134, 150], np.full(far.sum(), 0.75))
    near_ridge = HORIZON - 14 - 10 * np.sin(x / 90.0 + 2.0)
    near = (yy < HORIZON) & (yy > near_ridge[None, :])
    img[near] = [86, 108, 118]


def water(img, yy, xx):
    below = yy >= HORIZON
    t = np.clip((yy - HORIZON) / (HEIGHT - HORIZON), 0, 1)
    base = lerp([150, 172, 190], [46, 86, 120], t ** 0.8)
    ripple = np.sin(xx / (9 + 30 * (1 - t)) + yy * 0.9) * np.sin(yy / 3.0)
    base += (ripple * (3 + 7 * t))[..., None]
    glitter = np.exp(-((xx - 800) / (40 + 120 * t)) ** 2) * (np.sin(yy * 1.7) > 0.6)
    base = lerp(base, [250, 220, 180], glitter * 0.45 * (1 - t))
    img[below] = base[below]


def lighthouse(img, yy, xx):
    bx, base_y, top_y = 880, HORIZON + 6, HORIZON - 170
    half = 12 + (yy - top_y) * 0.05
    tower = (np.abs(xx - bx) < half) & (yy > top_y) & (yy < base_y)
    img[tower] = [238, 236, 228]
    for band in range(3):
        y0 = top_y + 30 + band * 50
        img[tower & (yy > y0) & (yy < y0 + 18)] = [176, 52, 46]
    lamp = (np.abs(xx - bx) < 10) & (yy > top_y - 22) & (yy <= top_y)
    img[lamp] = [255, 220, 120]
    roof = (np.abs(xx - bx) < (yy - (top_y - 40)) * 0.8) & (yy > top_y - 40) & (yy <= top_y - 22)
    img[roof] = [64, 48, 48]
    beam = np.exp(-((yy - (top_y - 11)) / 5.0) ** 2) * np.clip((bx - xx) / 500, 0, 1)
    beam *= xx > 620
    img[:] = lerp(img, [255, 240, 200], beam * 0.35)
    rocks = ((xx - bx) / 90) ** 2 + ((yy - base_y) / 16) ** 2 < 1
    img[rocks & (yy >= base_y - 6)] = [70, 72, 74]


def pier(img, yy, xx):
    deck = (xx > 700) & (yy > 600) & (yy < 612)
    img[deck] = [110, 84, 60]
    for px in range(706, 982, 28):
        post = (np.abs(xx - px) < 3) & (yy >= 612) & (yy < 660)
        img[post] = [80, 60, 44]


def boat(img, yy, xx, cx, cy, scale, hull, sail):
    hull_mask = (np.abs(xx - cx) < (30 - (yy - cy) * 1.2) * scale) & (yy > cy) & (yy < cy + 10 * scale)
    img[hull_mask] = hull
    mast = (np.abs(xx - cx) < 1.2 * scale) & (yy > cy - 60 * scale) & (yy <= cy)
    img[mast] = [60, 50, 40]
    sail_mask = (xx > cx + 2) & (yy > cy - 56 * scale) & (yy < cy - 4)
    sail_mask &= (xx - cx) < (yy - (cy - 56 * scale)) * 0.55
    img[sail_mask] = sail
    shadow = (np.abs(xx - cx) < 34 * scale) & (yy >= cy + 10 * scale) & (yy < cy + 16 * scale)
    img[shadow] = lerp(img[shadow], [30, 50, 70], np.full(shadow.sum(), 0.35))


def paint():
    yy, xx = np.mgrid[0:HEIGHT, 0:WIDTH].astype(np.float64)
    img = sky(yy, xx)
    clouds(img, yy, xx)
    hills(img, yy, xx)
    water(img, yy, xx)
    lighthouse(img, yy, xx)
    pier(img, yy, xx)
    boat(img, yy, xx, 880, 548, 1.0, [150, 60, 44], [244, 238, 222])
    boat(img, yy, xx, 660, 455, 0.45, [60, 70, 90], [236, 232, 220])
    boat(img, yy, xx, 110, 690, 0.9, [40, 60, 96], [240, 236, 226])
    grain = rng.normal(0, 0.8, img.shape)
    return np.clip(np.round(img + grain), 0, 255).astype(np.uint8)


def main():
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).with_name("background.png")
    info = PngImagePlugin.PngInfo()
    info.add(b"sRGB", bytes([0]))
    info.add(b"gAMA", struct.pack(">I", 45455))
    Image.fromarray(paint(), "RGB").save(out, "PNG", pnginfo=info, dpi=(96, 96), optimize=True)


if __name__ == "__main__":
    main()
