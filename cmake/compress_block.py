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
    # The setup reads its blocks with 32-bit lengths; the configure refuses
    # a product of 2 GiB or more, but a product just below that may not
    # pack smaller.
    if len(block) >= 1 << 31:
        sys.exit(f"{source}: the stored product would be {len(block)} bytes; "
                 "the setup holds blocks of less than 2 GiB (2147483648 bytes).")
    try:
        if open(output, "rb").read() == block:
            return
    except OSError:
        pass
    open(output, "wb").write(block)


main()
