#!/usr/bin/env python3
"""The built setup names no folder of the machine that built it, and its bill
of materials describes exactly the files that went in.

Usage: check_build_record.py SETUP SBOM EMBEDDED_FILES LIBPNG_SOURCE FOLDER...
"""
import hashlib
import json
import os
import sys


def sha256(path):
    return hashlib.sha256(open(path, "rb").read()).hexdigest()


def main():
    setup, sbom_path, embedded_files, libpng_source, *folders = sys.argv[1:]
    failures = []
    data = open(setup, "rb").read()
    for folder in folders:
        for encoded in (folder.encode(), folder.encode("utf-16-le")):
            if encoded in data:
                failures.append(f"the setup contains the build machine's path {folder}")

    bom = json.load(open(sbom_path))
    if bom["metadata"]["component"]["hashes"][0]["content"] != sha256(setup):
        failures.append("the SHA-256 recorded for the setup is not the setup's")
    product, picture = open(embedded_files).read().split("\n")[:2]
    recorded = {c["name"]: c for c in bom["components"]}
    for path in (product, picture):
        entry = recorded.get(os.path.basename(path))
        if entry is None or entry["hashes"][0]["content"] != sha256(path):
            failures.append(f"{os.path.basename(path)} is missing or has another SHA-256")
    libpng = open(os.path.join(libpng_source, ".pikeharbour-version")).read().strip()
    if recorded.get("libpng", {}).get("version") != libpng:
        failures.append(f"libpng's version is not the one scripts/setup unpacked ({libpng})")
    for name in ("zlib", "x86_64-w64-mingw32-g++-posix"):
        if recorded.get(name, {}).get("version", "unknown") == "unknown":
            failures.append(f"{name} has no version")
    for failure in failures:
        print("FAIL:", failure)
    sys.exit(1 if failures else 0)


main()
