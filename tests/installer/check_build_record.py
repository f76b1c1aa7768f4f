#!/usr/bin/env python3
"""The built setup names no folder of the machine that built it, and its bill
of materials is a valid CycloneDX 1.5 document (checked against the
published schema and the SPDX and signature schemas it refers to, all read
from SCHEMA_DIR) that describes exactly the files that went in and the
setup as it lies beside it, signed or not.

Usage: check_build_record.py SETUP SBOM EMBEDDED_FILES LIBPNG_SOURCE LINK_MAP SCHEMA_DIR
                             [FOLDER...]
"""
import hashlib
import json
import os
import re
import sys

import jsonschema


def sha256(path):
    return hashlib.sha256(open(path, "rb").read()).hexdigest()


def schema_errors(bom, schema_dir):
    """Validation against the unmodified schema files: the main one refers to
    the others by their published names, resolved from the local store."""
    store = {}
    for name in ("bom-1.5.schema.json", "spdx.schema.json", "jsf-0.82.schema.json"):
        schema = json.load(open(os.path.join(schema_dir, name)))
        store[schema["$id"]] = schema
    main = store["http://cyclonedx.org/schema/bom-1.5.schema.json"]
    resolver = jsonschema.RefResolver.from_schema(main, store=store)
    validator = jsonschema.Draft7Validator(main, resolver=resolver,
                                           format_checker=jsonschema.draft7_format_checker)
    return [f"schema: {'/'.join(map(str, e.absolute_path))}: {e.message}"
            for e in validator.iter_errors(bom)]


def component_errors(bom, embedded_files, libpng_source, link_map):
    failures = []
    product, picture = open(embedded_files).read().split("\n")[:2]
    recorded = {c["name"]: c for c in bom["components"]}
    for path in (product, picture):
        entry = recorded.get(os.path.basename(path))
        if entry is None or entry["hashes"][0]["content"] != sha256(path):
            failures.append(f"{os.path.basename(path)} is missing or has another SHA-256")
    debian = open(os.path.join(libpng_source, ".pikeharbour-version")).read().strip()
    if not recorded.get("libpng", {}).get("purl", "").endswith(f"@{debian}?arch=source"
                                                               .replace("+", "%2B")):
        failures.append(f"libpng's Debian version is not the one scripts/setup unpacked ({debian})")
    # Whatever the linker took from GCC's and mingw-w64's runtimes ships.
    components = {"libgcc": "libgcc", "libstdc++": "libstdc++", "libmingwex": "mingw-w64-crt"}
    linked = re.findall(r"^/\S+/(libgcc|libstdc\+\+|libmingwex)\.a\(", open(link_map).read(), re.M)
    expected = {components[name] for name in linked} | {"zlib"}
    for name in sorted(expected):
        if not re.fullmatch(r"\d+\.\d+(\.\d+)?", recorded.get(name, {}).get("version", "")):
            failures.append(f"{name} is not listed with its version")
    compiler = bom["metadata"]["tools"]["components"][0]
    if not re.fullmatch(r"\d+\.\d+\.\d+", compiler["version"]):
        failures.append(f"the compiler's version {compiler['version']} is not a GCC release")
    refs = {c["bom-ref"] for c in bom["components"]}
    setup_deps = next(d for d in bom["dependencies"] if d["ref"] == "setup")["dependsOn"]
    if set(setup_deps) != refs:
        failures.append("the setup does not depend on every component")
    return failures


def main():
    setup, sbom_path, embedded_files, libpng_source, link_map, schema_dir, *folders = sys.argv[1:]
    failures = []
    data = open(setup, "rb").read()
    for folder in folders:
        for encoded in (folder.encode(), folder.encode("utf-16-le")):
            if encoded in data:
                failures.append(f"the setup contains the build machine's path {folder}")

    bom = json.load(open(sbom_path))
    failures += schema_errors(bom, schema_dir)
    if bom["metadata"]["component"]["hashes"][0]["content"] != sha256(setup):
        failures.append("the SHA-256 recorded for the setup is not the shipped setup's")
    failures += component_errors(bom, embedded_files, libpng_source, link_map)
    for failure in failures:
        print("FAIL:", failure)
    sys.exit(1 if failures else 0)


main()
