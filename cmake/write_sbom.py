#!/usr/bin/env python3
"""Writes a CycloneDX 1.5 bill of materials for the setup as shipped: run
after the signing step, it records the shipped file's SHA-256, and keeps
the unsigned setup's (what a second build reproduces) as a property named
so. Components are the embedded product and picture, libpng and zlib, and
the compiler's runtime libraries the linker took code from (read from its
link map); the compiler, linker, signing tool and Python are its tools.
Each names the Debian package and version it came from, which a second
build needs to match. Its time is the source date (SOURCE_DATE_EPOCH, else
the last commit's), so the document is as reproducible as the setup.
"""
import argparse
import datetime
import hashlib
import json
import os
import re
import subprocess
import sys
import urllib.parse
import uuid

SUPPLIER = "Velmar-Consulting"

# Archives and objects of the toolchain that put code into the setup, by the
# component they belong to. Every other archive in the toolchain's folders
# is an import library: stubs naming Windows' own DLLs, not shipped code.
RUNTIME_FILES = {
    "libgcc.a": "libgcc", "libgcc_eh.a": "libgcc", "crtbegin.o": "libgcc", "crtend.o": "libgcc",
    "libstdc++.a": "libstdc++",
    "libpthread.a": "winpthreads", "libwinpthread.a": "winpthreads",
    "crt2.o": "mingw-w64-crt", "crt2u.o": "mingw-w64-crt", "libmingw32.a": "mingw-w64-crt",
    "libmingwex.a": "mingw-w64-crt", "libmoldname.a": "mingw-w64-crt", "libmsvcrt.a": "mingw-w64-crt",
}
RUNTIME_DESCRIPTIONS = {
    "libgcc": "GCC's low-level runtime (stack probes, constructors), linked statically",
    "libstdc++": "GCC's C++ library, linked statically",
    "winpthreads": "mingw-w64's POSIX threads library, linked statically",
    "mingw-w64-crt": "mingw-w64's C runtime start-up and extras, linked statically",
}


def sha256(path):
    digest = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            digest.update(block)
    return digest.hexdigest()


def run(command):
    out = subprocess.run(command, capture_output=True, text=True)
    return out.stdout if out.returncode == 0 else ""


def debian_package_of(path):
    """(package, version) of the installed Debian package owning a file."""
    owner = run(["dpkg-query", "-S", os.path.realpath(path)]).split(":")[0].strip()
    if not owner:
        return None
    return owner, run(["dpkg-query", "-W", "-f=${Version}", owner]).strip() or "unknown"


def debian_properties(package):
    if not package:
        return []
    return [{"name": "pikeharbour:debian-package", "value": f"{package[0]}={package[1]}"}]


def purl(package, arch="amd64"):
    version = urllib.parse.quote(package[1], safe=".-_~")
    return f"pkg:deb/debian/{package[0]}@{version}?arch={arch}"


def compiler_macros(compiler, header=None):
    source = f"#include <{header}>\n" if header else ""
    text = subprocess.run([compiler, "-dM", "-E", "-x", "c++", "-"], input=source,
                          capture_output=True, text=True).stdout
    return dict(re.findall(r"^#define (\w+) (.*)$", text, re.M))


def gcc_version(compiler, package):
    """GCC's release. Debian's mingw-w64 compilers call themselves by their
    major alone ("12-posix", and __GNUC_MINOR__ 0); the binary package's
    upstream part names the release (12.2.0) when its major agrees."""
    macros = compiler_macros(compiler)
    major = macros.get("__GNUC__", "")
    if package:
        upstream = package[1].split("-")[0]
        if upstream.split(".")[0] == major:
            return upstream, macros.get("__VERSION__", "").strip('"')
    return ".".join(macros.get(m, "0") for m in ("__GNUC__", "__GNUC_MINOR__",
                                                  "__GNUC_PATCHLEVEL__")), macros.get("__VERSION__", "")


def mingw_version(compiler):
    macros = compiler_macros(compiler, "_mingw.h")
    return ".".join(macros.get(f"__MINGW64_VERSION_{p}", "0") for p in ("MAJOR", "MINOR", "BUGFIX"))


def linked_files(link_map):
    """Toolchain archives the linker took members from, and the objects it
    loaded, as real paths."""
    taken = set()
    with open(link_map) as f:
        for line in f:
            member = re.match(r"^(/\S+\.a)\(", line)
            loaded = re.match(r"^LOAD (/\S+\.o)$", line.strip())
            if member or loaded:
                taken.add(os.path.realpath((member or loaded).group(1)))
    return taken


def file_component(ref, path, role):
    return {"type": "file", "bom-ref": ref, "name": os.path.basename(path),
            "hashes": [{"alg": "SHA-256", "content": sha256(path)}],
            "properties": [{"name": "pikeharbour:role", "value": role},
                           {"name": "pikeharbour:size", "value": str(os.path.getsize(path))}]}


def runtime_components(link_map, compiler, gcc_package, gcc_release):
    """The compiler's runtime libraries that put code into the setup."""
    found = {}
    for path in sorted(linked_files(link_map)):
        name = RUNTIME_FILES.get(os.path.basename(path))
        if name and name not in found:
            found[name] = debian_package_of(path)
    components = []
    for name, package in found.items():
        version = gcc_release if name in ("libgcc", "libstdc++") else mingw_version(compiler)
        component = {"type": "library", "bom-ref": name, "name": name, "version": version,
                     "description": RUNTIME_DESCRIPTIONS[name],
                     "properties": debian_properties(package)}
        if package:
            component["purl"] = purl(package)
        components.append(component)
    return components


def library_components(args):
    with open(os.path.join(args.libpng, ".pikeharbour-version")) as f:
        libpng_debian = f.read().strip()
    png_macros = dict(re.findall(r"^#\s*define (PNG_LIBPNG_VER_STRING) \"([^\"]+)\"",
                                 open(os.path.join(args.libpng, "png.h")).read(), re.M))
    zlib_macros = compiler_macros(args.compiler, "zlib.h")
    archives = [p for p in linked_files(args.link_map) if os.path.basename(p) == "libz.a"]
    zlib_package = debian_package_of(archives[0]) if archives else None
    return [
        {"type": "library", "bom-ref": "libpng", "name": "libpng",
         "version": png_macros.get("PNG_LIBPNG_VER_STRING", "unknown"),
         "description": "PNG decoder, built here from the Debian source package (read-only part)",
         "purl": purl(("libpng1.6", libpng_debian), "source"),
         "properties": [{"name": "pikeharbour:debian-source", "value": f"libpng1.6={libpng_debian}"}]},
        {"type": "library", "bom-ref": "zlib", "name": "zlib",
         "version": zlib_macros.get("ZLIB_VERSION", '"unknown"').strip('"'),
         "description": "static zlib (inflate, CRC-32)",
         **({"purl": purl(zlib_package)} if zlib_package else {}),
         "properties": debian_properties(zlib_package)},
    ]


def tool(name, version, package, description=None):
    entry = {"type": "application", "name": name, "version": version}
    if description:
        entry["description"] = description
    if package:
        entry["purl"] = purl(package)
        entry["properties"] = debian_properties(package)
    return entry


def tools(args, gcc_package, gcc_release, gcc_says, signed):
    linker = run([args.compiler, "-print-prog-name=ld"]).strip()
    linker_path = run(["sh", "-c", 'command -v "$0"', linker]).strip() or linker
    ld_line = (run([linker_path, "--version"]).splitlines() or [""])[0]
    entries = [tool(os.path.basename(args.compiler), gcc_release, gcc_package,
                    f"C++ compiler; identifies itself as {gcc_says}"),
               tool("ld", ld_line.split()[-1] if ld_line else "unknown",
                    debian_package_of(linker_path), ld_line),
               tool("python3", sys.version.split()[0], debian_package_of(sys.executable),
                    "runs the build's scripts; its zlib compresses the product block")]
    if signed:
        signer = run(["sh", "-c", "command -v osslsigncode"]).strip()
        first = (run([signer, "--version"]).splitlines() or [""])[0] if signer else ""
        entries.append(tool("osslsigncode", first.split()[1] if len(first.split()) > 1 else "unknown",
                            debian_package_of(signer) if signer else None,
                            "Authenticode signing"))
    return {"components": entries}


def source_date(source_dir):
    epoch = os.environ.get("SOURCE_DATE_EPOCH")
    if not epoch:
        epoch = run(["git", "-C", source_dir, "log", "-1", "--format=%ct"]).strip() or "0"
    return datetime.datetime.fromtimestamp(int(epoch), datetime.timezone.utc)


def parse_arguments():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    for name in ("setup", "unsigned-hash", "version", "product", "picture", "libpng",
                 "compiler", "link-map", "source-dir", "output"):
        parser.add_argument("--" + name, required=True)
    return parser.parse_args()


def main():
    args = parse_arguments()
    with open(args.unsigned_hash) as f:
        unsigned_hash = f.read().strip()
    if not re.fullmatch(r"[0-9a-f]{64}", unsigned_hash):
        sys.exit(f"write_sbom: {args.unsigned_hash} holds no SHA-256")
    shipped_hash = sha256(args.setup)
    signed = shipped_hash != unsigned_hash
    gcc_package = debian_package_of(args.compiler)
    gcc_release, gcc_says = gcc_version(args.compiler, gcc_package)
    supplier = {"name": SUPPLIER}
    components = [file_component("product", args.product,
                                 "product executable, installed as Pikeharbour64.exe"),
                  file_component("picture", args.picture, "background picture")]
    components += library_components(args)
    components += runtime_components(args.link_map, args.compiler, gcc_package, gcc_release)
    setup = {"type": "application", "bom-ref": "setup", "supplier": supplier,
             "publisher": SUPPLIER, "name": os.path.basename(args.setup), "version": args.version,
             "hashes": [{"alg": "SHA-256", "content": shipped_hash}],
             "properties": [{"name": "pikeharbour:signed", "value": "true" if signed else "false"},
                            {"name": "pikeharbour:unsigned-sha256", "value": unsigned_hash}]}
    bom = {
        "bomFormat": "CycloneDX",
        "specVersion": "1.5",
        # Derived from the shipped file's bytes: the same file, the same document.
        "serialNumber": "urn:uuid:" + str(uuid.uuid5(uuid.NAMESPACE_URL, "sha256:" + shipped_hash)),
        "version": 1,
        "metadata": {
            "timestamp": source_date(args.source_dir).strftime("%Y-%m-%dT%H:%M:%SZ"),
            "tools": tools(args, gcc_package, gcc_release, gcc_says, signed),
            "supplier": supplier,
            "component": setup,
        },
        "components": components,
        "dependencies": [
            {"ref": "setup", "dependsOn": [c["bom-ref"] for c in components]},
            {"ref": "libpng", "dependsOn": ["zlib"]},
        ] + [{"ref": c["bom-ref"], "dependsOn": []} for c in components if c["bom-ref"] != "libpng"],
    }
    with open(args.output, "w") as f:
        f.write(json.dumps(bom, indent=2) + "\n")


main()
