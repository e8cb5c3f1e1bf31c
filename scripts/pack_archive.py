#!/usr/bin/env python3
"""Packs a resource folder (the configuration or the skins) into the ZIP archive the setup embeds.

    pack_archive.py SOURCE_DIR OUTPUT_ZIP [--address-map FILE]

Entries are written in a fixed order with fixed times, so the same sources give the same
bytes: each folder entry before the entries inside it, names sorted. Files are deflated; a
README.md describes its folder and is left out.
With --address-map, every "from to" pair of the map file (one per line, '#' comments) replaces
the host "from" in the web addresses of the UTF-16 INI files, so a deployment can point the
same archive at other servers.
"""
import argparse
import os
import sys
import zipfile

FIXED_TIME = (2026, 1, 1, 0, 0, 0)


def load_address_map(path):
    pairs = []
    with open(path, encoding="ascii") as f:
        for line in f:
            line = line.split("#", 1)[0].strip()
            if not line:
                continue
            old, new = line.split()
            pairs.append((old, new))
    return pairs


def remap_addresses(data, pairs):
    if not pairs or not data.startswith(b"\xff\xfe"):
        return data
    text = data[2:].decode("utf-16-le")
    for old, new in pairs:
        text = text.replace("://" + old, "://" + new)
    return b"\xff\xfe" + text.encode("utf-16-le")


def entries(source):
    """(archive name, absolute path or None for folders), folders first, names sorted."""
    result = []
    for root, dirs, files in os.walk(source):
        dirs.sort()
        rel = os.path.relpath(root, source)
        prefix = "" if rel == "." else rel.replace(os.sep, "/") + "/"
        if prefix:
            result.append((prefix, None))
        for name in sorted(files):
            if name == "README.md":
                continue
            result.append((prefix + name, os.path.join(root, name)))
    return result


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("source")
    parser.add_argument("output")
    parser.add_argument("--address-map")
    args = parser.parse_args()
    pairs = load_address_map(args.address_map) if args.address_map else []

    tmp = args.output + ".tmp"
    with zipfile.ZipFile(tmp, "w") as archive:
        for name, path in entries(args.source):
            info = zipfile.ZipInfo(name, FIXED_TIME)
            info.create_system = 0  # DOS attributes
            if path is None:
                info.external_attr = 0x10
                archive.writestr(info, b"", compress_type=zipfile.ZIP_STORED)
                continue
            with open(path, "rb") as f:
                data = remap_addresses(f.read(), pairs)
            info.external_attr = 0x20
            archive.writestr(info, data, compress_type=zipfile.ZIP_DEFLATED, compresslevel=9)
    os.replace(tmp, args.output)
    return 0


if __name__ == "__main__":
    sys.exit(main())
