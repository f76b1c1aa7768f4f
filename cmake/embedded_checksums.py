#!/usr/bin/env python3
"""Writes the length and CRC-32 of the two embedded blocks (the product's
stored zlib stream and the picture) and of the product as installed as a
C++ header, so the setup can check its payload before and after installing."""
import sys
import zlib


def describe(name, path):
    data = open(path, "rb").read()
    crc = zlib.crc32(data) & 0xFFFFFFFF
    return (f"constexpr int32_t EMBEDDED_{name}_LENGTH = {len(data)};\n"
            f"constexpr uint32_t EMBEDDED_{name}_CRC32 = 0x{crc:08X}u;\n")


def main():
    product, product_block, background, output = sys.argv[1:5]
    text = ("// Generated at build time from the embedded files.\n#pragma once\n"
            "#include <stdint.h>\n\n" + describe("PRODUCT", product)
            + describe("PRODUCT_BLOCK", product_block)
            + describe("BACKGROUND", background))
    try:
        if open(output).read() == text:
            return
    except OSError:
        pass
    open(output, "w").write(text)


main()
