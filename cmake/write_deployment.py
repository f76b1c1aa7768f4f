#!/usr/bin/env python3
"""Fills the deployment texts in docs/deployment/ for the setup as built and
shipped: @PIKEHARBOUR_DISPLAY_VERSION@ and @INSTALLER_SHA256@ (the shipped,
signed file's). Run after the signing step; writes into the build folder,
never into the source tree.

Usage: write_deployment.py SETUP VERSION TEMPLATE_DIR OUTPUT_DIR
"""
import hashlib
import os
import re
import sys


def main():
    setup, version, templates, output = sys.argv[1:5]
    with open(setup, "rb") as f:
        values = {"PIKEHARBOUR_DISPLAY_VERSION": version,
                  "INSTALLER_SHA256": hashlib.sha256(f.read()).hexdigest().upper()}
    os.makedirs(output, exist_ok=True)
    for name in sorted(os.listdir(templates)):
        with open(os.path.join(templates, name), encoding="utf-8") as f:
            text = f.read()
        filled = re.sub(r"@([A-Z0-9_]+)@", lambda m: values.get(m.group(1), m.group(0)), text)
        left = re.findall(r"@[A-Z0-9_]+@", filled)
        if left:
            sys.exit(f"write_deployment: {name} names no known value: {', '.join(left)}")
        with open(os.path.join(output, name), "w", encoding="utf-8") as f:
            f.write(filled)


main()
