#!/usr/bin/env python3
"""Decodes the embedded background picture completely and checks what the
window relies on: 982 x 744, 8-bit RGB, not interlaced, sRGB/gAMA/pHYs
present, and calm areas where the controls sit."""
import sys

import numpy as np
from PIL import Image


def main():
    with open(sys.argv[1], encoding="utf-8") as listing:
        background = listing.read().splitlines()[1]
    image = Image.open(background)
    image.load()
    problems = []
    if image.size != (982, 744):
        problems.append(f"size {image.size}")
    if image.mode != "RGB":
        problems.append(f"mode {image.mode}")
    if image.info.get("interlace"):
        problems.append("interlaced")
    for key in ("srgb", "gamma", "dpi"):
        if key not in image.info:
            problems.append(f"no {key} chunk")
    pixels = np.asarray(image.convert("L"), dtype=np.float64)
    # Under the panels and the folder page's controls the picture must stay
    # quiet: little local contrast, so text on top stays readable.
    for name, (x0, y0, x1, y1) in {"panels": (200, 120, 600, 500), "tree": (40, 40, 390, 500),
                                   "field and buttons": (40, 520, 780, 585)}.items():
        area = pixels[y0:y1, x0:x1]
        busy = np.abs(np.diff(area, axis=1)).mean() + np.abs(np.diff(area, axis=0)).mean()
        if busy > 12:
            problems.append(f"{name} area too busy ({busy:.1f})")
    if pixels.std() < 10:
        problems.append("picture is nearly a flat colour")
    for problem in problems:
        print("background:", problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
