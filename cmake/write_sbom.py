#!/usr/bin/env python3
"""Writes a CycloneDX bill of materials for the built setup: the embedded
product and picture, the libraries and the compiler that went in, and the
setup's own SHA-256. Its time is the source date (SOURCE_DATE_EPOCH, else
the last commit's), so the document is as reproducible as the setup.

Usage: write_sbom.py SETUP PRODUCT PICTURE LIBPNG_SOURCE COMPILER SOURCE_DIR OUTPUT
"""
import datetime
import hashlib
import json
import os
import subprocess
import sys
import uuid


def sha256(path):
    digest = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            digest.update(block)
    return digest.hexdigest()


def file_component(kind, path, role):
    return {"type": kind, "name": os.path.basename(path),
            "hashes": [{"alg": "SHA-256", "content": sha256(path)}],
            "properties": [{"name": "pikeharbour:role", "value": role},
                           {"name": "pikeharbour:size", "value": str(os.path.getsize(path))}]}


def debian_source(package):
    """(source package, source version) of an installed Debian package."""
    out = subprocess.run(["dpkg-query", "-W", "-f=${source:Package} ${source:Version}", package],
                         capture_output=True, text=True)
    parts = out.stdout.split()
    return (parts[0], parts[1]) if out.returncode == 0 and len(parts) == 2 else (package, "unknown")


def debian_component(kind, name, source, version, description):
    return {"type": kind, "name": name, "version": version, "description": description,
            "purl": f"pkg:deb/debian/{source}@{version}?arch=source"}


def source_date(source_dir):
    epoch = os.environ.get("SOURCE_DATE_EPOCH")
    if not epoch:
        out = subprocess.run(["git", "-C", source_dir, "log", "-1", "--format=%ct"],
                             capture_output=True, text=True)
        epoch = out.stdout.strip() or "0"
    return datetime.datetime.fromtimestamp(int(epoch), datetime.timezone.utc)


def main():
    setup, product, picture, libpng_source, compiler, source_dir, output = sys.argv[1:8]
    with open(os.path.join(libpng_source, ".pikeharbour-version")) as f:
        libpng_version = f.read().strip()
    zlib_source, zlib_version = debian_source("libz-mingw-w64-dev")
    gcc_source, gcc_version = debian_source("g++-mingw-w64-x86-64-posix")
    compiler_line = subprocess.run([compiler, "--version"], capture_output=True,
                                   text=True).stdout.splitlines()[0]
    setup_hash = sha256(setup)
    bom = {
        "bomFormat": "CycloneDX",
        "specVersion": "1.5",
        # Derived from the setup's bytes: the same setup, the same document.
        "serialNumber": "urn:uuid:" + str(uuid.uuid5(uuid.NAMESPACE_URL, "sha256:" + setup_hash)),
        "version": 1,
        "metadata": {
            "timestamp": source_date(source_dir).strftime("%Y-%m-%dT%H:%M:%SZ"),
            "component": {"type": "application", "name": os.path.basename(setup),
                          "hashes": [{"alg": "SHA-256", "content": setup_hash}]},
        },
        "components": [
            file_component("file", product, "product executable, installed as Pikeharbour64.exe"),
            file_component("file", picture, "background picture"),
            debian_component("library", "libpng", "libpng1.6", libpng_version,
                             "PNG decoder, built from the Debian source package"),
            debian_component("library", "zlib", zlib_source, zlib_version,
                             "static zlib from libz-mingw-w64-dev"),
            debian_component("application", os.path.basename(compiler), gcc_source, gcc_version,
                             compiler_line),
        ],
    }
    text = json.dumps(bom, indent=2) + "\n"
    with open(output, "w") as f:
        f.write(text)


main()
