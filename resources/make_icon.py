#!/usr/bin/env python3
"""Draws the setup's icon: a lighthouse on a blue disc, one 64 x 64 image at
32 bits per pixel (BGRA DIB with an AND mask), written as icon.ico."""
import struct
import sys
from pathlib import Path

import numpy as np

SIZE = 64


def disc_alpha(yy, xx, cx, cy, r):
    d = np.sqrt((xx - cx) ** 2 + (yy - cy) ** 2)
    return np.clip(r - d + 0.5, 0.0, 1.0)


def draw():
    yy, xx = np.mgrid[0:SIZE, 0:SIZE].astype(np.float64) + 0.5
    rgb = np.zeros((SIZE, SIZE, 3))
    t = yy / SIZE
    rgb[..., 0] = 40 + 60 * t
    rgb[..., 1] = 110 + 50 * t
    rgb[..., 2] = 190 - 20 * t
    sea = yy > 44
    rgb[sea] = [20, 70, 130]
    # Lighthouse: a tapered white tower with a red band and a yellow lamp.
    half = 4.0 + (yy - 18) * 0.09
    tower = (np.abs(xx - 32) < half) & (yy > 18) & (yy < 48)
    rgb[tower] = [245, 245, 240]
    rgb[tower & (yy > 29) & (yy < 35)] = [200, 40, 40]
    lamp = (np.abs(xx - 32) < 5) & (yy > 11) & (yy <= 18)
    rgb[lamp] = [255, 214, 80]
    roof = (np.abs(xx - 32) < (yy - 6) * 0.9) & (yy > 6) & (yy <= 11)
    rgb[roof] = [60, 40, 40]
    alpha = disc_alpha(yy, xx, 32, 32, 30)
    return rgb, alpha


def ico_bytes(rgb, alpha):
    bgra = np.zeros((SIZE, SIZE, 4), dtype=np.uint8)
    bgra[..., 0] = np.round(rgb[..., 2])
    bgra[..., 1] = np.round(rgb[..., 1])
    bgra[..., 2] = np.round(rgb[..., 0])
    bgra[..., 3] = np.round(alpha * 255)
    pixels = bgra[::-1].tobytes()                      # bottom-up rows
    mask_row = (SIZE + 31) // 32 * 4
    mask = bytearray(mask_row * SIZE)
    for y in range(SIZE):
        row = SIZE - 1 - y
        for x in range(SIZE):
            if bgra[row, x, 3] == 0:
                mask[y * mask_row + x // 8] |= 0x80 >> (x % 8)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0,
                         len(pixels) + len(mask), 0, 0, 0, 0)
    image = header + pixels + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    return directory + entry + image


def main():
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).with_name("icon.ico")
    rgb, alpha = draw()
    out.write_bytes(ico_bytes(rgb, alpha))


if __name__ == "__main__":
    main()
