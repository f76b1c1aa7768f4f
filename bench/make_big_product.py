#!/usr/bin/env python3
"""Makes a big product for the benches: `code` concatenates PE files of
Wine's x86_64-windows folder (real code and data, in name order) to about
50 MB; `random` is "MZ" and random bytes (fixed seed) of the same size.
Usage: make_big_product.py code|random OUTPUT [WINE_PE_FOLDER]"""
import os
import random
import sys

SIZE = 50 * 1000 * 1000


def code(folder):
    names = sorted(n for n in os.listdir(folder) if n.endswith((".dll", ".exe")))
    data = bytearray()
    for name in names:
        if len(data) >= SIZE:
            break
        data += open(os.path.join(folder, name), "rb").read()
    if len(data) < SIZE or data[:2] != b"MZ":
        sys.exit(f"{folder}: not enough PE files for a {SIZE}-byte product")
    return bytes(data[:SIZE])


def main():
    kind, output = sys.argv[1:3]
    folder = sys.argv[3] if len(sys.argv) > 3 else "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows"
    if kind == "code":
        data = code(folder)
    else:
        data = b"MZ" + random.Random(29).randbytes(SIZE - 2)
    open(output, "wb").write(data)


main()
