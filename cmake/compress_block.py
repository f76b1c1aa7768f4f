#!/usr/bin/env python3
"""Stores the product as one zlib stream at deflate's best level (9, the
largest window; the default memory level, which packed a PE file of real
code 2 KB smaller than level 9 memory), the form the setup carries and
inflates while installing. Rewrites the output only when its bytes change."""
import sys
import zlib


def main():
    source, output = sys.argv[1:3]
    data = open(source, "rb").read()
    packer = zlib.compressobj(9, zlib.DEFLATED, 15)
    block = packer.compress(data) + packer.flush()
    try:
        if open(output, "rb").read() == block:
            return
    except OSError:
        pass
    open(output, "wb").write(block)


main()
