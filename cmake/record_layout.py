#!/usr/bin/env python3
"""Records where the two embedded blocks lie inside the built setup, so
tests can damage a copy of it at a known place."""
import sys


def main():
    exe, product, background, output = sys.argv[1:5]
    image = open(exe, "rb").read()
    lines = []
    for name, path in (("product", product), ("background", background)):
        block = open(path, "rb").read()
        offset = image.find(block)
        if offset < 0:
            sys.exit(f"record_layout: the {name} block is not inside {exe}")
        lines.append(f"{name} {offset} {len(block)}\n")
    open(output, "w").write("".join(lines))


main()
