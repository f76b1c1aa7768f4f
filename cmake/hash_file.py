#!/usr/bin/env python3
"""Writes a file's SHA-256 (hex, one line) to another file: the unsigned
setup's hash, kept before the signing step appends its signature.

Usage: hash_file.py FILE OUTPUT
"""
import hashlib
import sys


def main():
    path, output = sys.argv[1:3]
    digest = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            digest.update(block)
    with open(output, "w") as f:
        f.write(digest.hexdigest() + "\n")


main()
