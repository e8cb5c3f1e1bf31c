#!/usr/bin/env python3
"""Where the bytes of a Windows executable come from, by library and by section.

    size_report.py [--goal-bytes N --goal-label LABEL] NAME=EXE:MAP [NAME=EXE:MAP ...]

Each executable is read as a PE file (its sections' sizes in the file and its resources) and its
GNU ld map is read for the input sections the linker kept. An input section is charged to a
library by the archive it came from; code the compiler instantiated from headers inside the
program's own objects (the C++ standard library's templates, Boost) is charged to that library
by the name of its function or data section, which also sorts the partitions of a link-time
optimised build. What the map does not name (headers, base relocations, alignment) is shown as
the difference to the file's size, so every column adds up to the file.
"""
import argparse
import os
import re
import struct
import sys
from collections import OrderedDict

# Resources the setup carries, by (type, id); types by number as in winuser.h.
RESOURCE_NAMES = {
    (10, 105): "configuration archive (RCDATA 105)",
    (10, 106): "domain code (RCDATA 106)",
    ("ZIPRES", 104): "skin archive (ZIPRES 104)",
}
RESOURCE_TYPE_NAMES = {3: "icon", 14: "icon", 16: "version resource", 24: "manifest"}

# Code of a link-time optimised build not told apart by its namespace.
LTO_PARTITIONS = "project code (LTO, other)"
# Categories in the order they are printed.
CATEGORIES = [
    "OpenSSL libcrypto",
    "OpenSSL libssl",
    "Boost (Asio, System: header code)",
    "download engine",
    "WinHTTP requests",
    "analytics",
    "skin toolkit",
    "picture decoder (stb_image)",
    "configuration, ZIP reader",
    "setup window, install flow, entry",
    "log, installer, base",
    LTO_PARTITIONS,
    "C++ standard library templates",
    "C++ runtime (libstdc++)",
    "GCC runtime, winpthreads",
    "MinGW C runtime",
    "zlib",
    "Windows import libraries",
    "resources",
    "base relocations",
    "other input",
]

# Input files by their path: (pattern, category, whether it holds the program's own objects).
ARCHIVES = [
    (re.compile(r"libcrypto\.a$"), "OpenSSL libcrypto", False),
    (re.compile(r"libssl\.a$"), "OpenSSL libssl", False),
    (re.compile(r"lib(stdc\+\+|supc\+\+)\.a$"), "C++ runtime (libstdc++)", False),
    (re.compile(r"lib(gcc|gcc_eh|winpthread|pthread)\.a$"), "GCC runtime, winpthreads", False),
    (re.compile(r"libz\.a$"), "zlib", False),
    (re.compile(r"\.res$"), "resources", False),
    (re.compile(r"lib(mingw32|mingwex|mingwthrd|moldname|msvcrt\w*|ucrt\w*)\.a$|/crt\w*\.o$|/dllcrt\w*\.o$"),
     "MinGW C runtime", False),
    (re.compile(r"libnexvale_(httpdl|downloader|download)\.a$"), "download engine", True),
    (re.compile(r"libnexvale_tool\.a$"), "WinHTTP requests", True),
    (re.compile(r"libnexvale_analytics(_payload)?\.a$"), "analytics", True),
    (re.compile(r"libnexvale_skin_(ui|core|draw)\.a$"), "skin toolkit", True),
    (re.compile(r"libnexvale_(config|skin_archive)\.a$"), "configuration, ZIP reader", True),
    (re.compile(r"libnexvale_(window|setup_flow)\.a$|(SetupMain|FullLinkReferences)\.cpp\.obj$"),
     "setup window, install flow, entry", True),
    (re.compile(r"libnexvale_(log|installer|base)\.a$"), "log, installer, base", True),
    (re.compile(r"\.ltrans\d*\.o$"), LTO_PARTITIONS, True),
]
# Code compiled into the program's own objects, by the outermost name of its symbol (namespace,
# class or function): header libraries, and within a link-time optimised build's partitions the
# subsystems with a namespace of their own. stb_image's functions are compiled into the toolkit.
OUTER_NAMES = [
    (re.compile(r"^(std|__gnu_cxx|__cxxabiv1)$"), "C++ standard library templates"),
    (re.compile(r"^boost$"), "Boost (Asio, System: header code)"),
    (re.compile(r"^stbi_"), "picture decoder (stb_image)"),
    (re.compile(r"^httpdl$"), "download engine"),
    (re.compile(r"^SkinUI$"), "skin toolkit"),
]
PROJECT_CATEGORIES = {category for _, category, own in ARCHIVES if own}
# Parts of libstdc++ by its archive members: what one use of a stream or a path brings along.
LIBSTDCXX_PARTS = [
    (re.compile(r"locale|facets|codecvt|stream|ios|basic_file|ctype|monetary|numeric_members|time_members"
                r"|messages|collate|globals_io|ext11-inst|misc-inst|compatibility"), "locale and iostreams"),
    (re.compile(r"^(cow-)?fs_"), "std::filesystem"),
    (re.compile(r"cp-demangle"), "demangler (terminate message)"),
]


def libstdcxx_part(source):
    member = source.rsplit("(", 1)[-1].rstrip(")")
    for pattern, part in LIBSTDCXX_PARTS:
        if pattern.search(member):
            return part
    return "strings, exceptions, the rest"


def outer_name(symbol):
    """The outermost name of an Itanium-mangled symbol (namespace, class or function), or None."""
    s = symbol[1:] if symbol.startswith("__Z") else symbol
    if not s.startswith("_Z"):
        return None
    s = s[2:]
    while True:
        s = re.sub(r"^T[hv]n?\d+_(n?\d+_)?", "", s)  # this-adjusting thunks
        if s[:2] in ("TV", "TI", "TS", "GV", "TT", "GR"):
            s = s[2:]
        elif s[:1] in ("Z", "L"):  # a local entity's function; internal linkage
            s = s[1:]
        else:
            break
    if s.startswith("N"):
        s = s[1:].lstrip("rVKRO")
    if s.startswith("St"):
        return "std"
    match = re.match(r"(\d+)", s)
    if not match:
        return None
    length = int(match.group(1))
    start = len(match.group(1))
    return s[start:start + length]


def classify(output, section, source):
    """The category of one input section named `section` from the input file `source`."""
    if output == ".reloc":
        return "base relocations"
    if section.startswith(".idata"):
        return "Windows import libraries"
    path = source.split("(")[0]
    for pattern, category, own in ARCHIVES:
        if pattern.search(path):
            break
    else:
        # Import libraries of the system DLLs carry a few helpers beside their stubs.
        if re.search(r"-w64-mingw32/lib/(\.\./lib/)?lib\w+\.a\(", source):
            return "Windows import libraries"
        return "other input"
    if not own:
        return category
    symbol = section.split("$", 1)[1] if "$" in section else ""
    outer = outer_name(symbol) or ""
    by_name = next((named for pattern, named in OUTER_NAMES if pattern.search(outer)), None)
    if by_name and (by_name not in PROJECT_CATEGORIES or category == LTO_PARTITIONS):
        return by_name
    return category


def parse_map(path):
    """Input sections the linker kept: a list of (output section, input section, size, source)."""
    kept = []
    with open(path, encoding="utf-8", errors="replace") as f:
        lines = f.read().split("\n")
    try:
        start = lines.index("Linker script and memory map")
    except ValueError:
        sys.exit(f"size_report: {path} is not a GNU ld map")
    output = None
    pending = None  # an input section whose address and size are on the next line
    head = re.compile(r"^(\S+)\s+0x([0-9a-fA-F]+)\s+0x([0-9a-fA-F]+)")
    entry = re.compile(r"^ (\S+)\s+0x([0-9a-fA-F]+)\s+0x([0-9a-fA-F]+)\s+(\S.*)$")
    continuation = re.compile(r"^\s+0x([0-9a-fA-F]+)\s+0x([0-9a-fA-F]+)\s+(\S.*)$")
    for line in lines[start + 1:]:
        if pending is not None:
            match = continuation.match(line)
            if match and output:
                kept.append((output, pending, int(match.group(2), 16), match.group(3).strip()))
            pending = None
            continue
        if not line or line.startswith("LOAD ") or line.startswith("OUTPUT("):
            continue
        if not line[0].isspace():
            match = head.match(line)
            name = match.group(1) if match else line.split()[0]
            output = None if name == "/DISCARD/" else name
            continue
        if output is None or line.startswith(" *"):
            continue
        match = entry.match(line)
        if match:
            if int(match.group(3), 16):
                kept.append((output, match.group(1), int(match.group(3), 16), match.group(4).strip()))
        elif re.match(r"^ \S+$", line):
            pending = line.strip()
    return kept


def parse_pe(path):
    """File size, sections (name, raw size, virtual size, address, file offset) and resources
    {label: bytes} of a PE file."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:2] != b"MZ":
        sys.exit(f"size_report: {path} is not a PE file")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        sys.exit(f"size_report: {path} has no PE header")
    count, = struct.unpack_from("<H", data, pe + 6)
    symbols, symbol_count, optional_size = struct.unpack_from("<IIH", data, pe + 12)
    optional = pe + 24
    magic, = struct.unpack_from("<H", data, optional)
    directories = optional + (96 if magic == 0x10B else 112)
    resource_rva, _ = struct.unpack_from("<II", data, directories + 2 * 8)
    sections = []
    table = optional + optional_size
    for i in range(count):
        raw_name, vsize, vaddr, raw_size, raw_ptr = struct.unpack_from("<8sIIII", data, table + 40 * i)
        name = raw_name.rstrip(b"\0").decode("ascii", "replace")
        if name.startswith("/") and symbols:
            strings = symbols + 18 * symbol_count
            offset = strings + int(name[1:])
            name = data[offset:data.index(b"\0", offset)].decode("ascii", "replace")
        sections.append((name, raw_size, vsize, vaddr, raw_ptr))

    def file_offset(rva):
        for _, raw_size, vsize, vaddr, raw_ptr in sections:
            if vaddr <= rva < vaddr + max(raw_size, vsize):
                return raw_ptr + rva - vaddr
        raise ValueError(f"RVA {rva:#x} outside every section")

    resources = OrderedDict()
    if resource_rva:
        root = file_offset(resource_rva)

        def entries(directory):
            named, ids = struct.unpack_from("<HH", data, directory + 12)
            for i in range(named + ids):
                name, target = struct.unpack_from("<II", data, directory + 16 + 8 * i)
                if name & 0x80000000:
                    at = root + (name & 0x7FFFFFFF)
                    length, = struct.unpack_from("<H", data, at)
                    name = data[at + 2:at + 2 + 2 * length].decode("utf-16-le")
                yield name, target

        def leaf_bytes(target):
            if target & 0x80000000:
                return sum(leaf_bytes(t) for _, t in entries(root + (target & 0x7FFFFFFF)))
            return struct.unpack_from("<I", data, root + target + 4)[0]

        for rtype, type_target in entries(root):
            for rid, id_target in entries(root + (type_target & 0x7FFFFFFF)):
                label = RESOURCE_NAMES.get((rtype, rid)) or RESOURCE_TYPE_NAMES.get(rtype) \
                    or f"resource {rtype}/{rid}"
                resources[label] = resources.get(label, 0) + leaf_bytes(id_target)
    return len(data), sections, resources


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--goal-bytes", type=int)
    parser.add_argument("--goal-label", default="")
    parser.add_argument("images", nargs="+", metavar="NAME=EXE:MAP")
    args = parser.parse_args()

    columns = []
    for image in args.images:
        name, _, paths = image.partition("=")
        exe, _, map_path = paths.partition(":")
        size, sections, resources = parse_pe(exe)
        in_file = {s[0][:8] for s in sections if s[1] > 0}
        by_category = {c: 0 for c in CATEGORIES}
        details = {"resources": resources, "C++ runtime (libstdc++)": OrderedDict(
            (part, 0) for part in [p for _, p in LIBSTDCXX_PARTS] + ["strings, exceptions, the rest"])}
        for output, section, nbytes, source in parse_map(map_path):
            if output[:8] in in_file:
                category = classify(output, section, source)
                by_category[category] += nbytes
                if category == "C++ runtime (libstdc++)":
                    details[category][libstdcxx_part(source)] += nbytes
        columns.append((name, size, sections, details, by_category))

    width = max(14, *(len(c[0]) for c in columns))
    mib = 1024 * 1024

    def row(label, values, fmt="{:>{w},}"):
        print(f"  {label:<36}" + "".join(" " + fmt.format(v, w=width) if v != "" else " " + " " * width
                                         for v in values))

    print(f"  {'':<36}" + "".join(f" {c[0]:>{width}}" for c in columns))
    row("file size (bytes)", [c[1] for c in columns])
    row("file size (MiB)", [c[1] / mib for c in columns], "{:>{w}.2f}")
    if args.goal_bytes:
        row(f"goal {args.goal_label}".rstrip(), [args.goal_bytes / mib for c in columns], "{:>{w}.2f}")
        row("under (+) or over (-) the goal, MiB", [(args.goal_bytes - c[1]) / mib for c in columns],
            "{:>+{w}.2f}")

    print("\n  by library (bytes of kept input sections that occupy the file)")
    for category in CATEGORIES:
        values = [c[4][category] for c in columns]
        if any(values):
            row(category, values)
            if category in columns[0][3]:
                labels = OrderedDict((label, None) for c in columns for label in c[3][category])
                for label in labels:
                    row("  " + label, [c[3][category].get(label, "") for c in columns])
    row("headers and alignment", [c[1] - sum(c[4].values()) for c in columns])

    print("\n  by section (bytes in the file; .bss and other uninitialised data take none)")
    names = OrderedDict((s[0], None) for c in columns for s in c[2])
    for name in names:
        row(name, [next((s[1] for s in c[2] if s[0] == name), "") for c in columns])
    row("headers", [c[1] - sum(s[1] for s in c[2]) for c in columns])


if __name__ == "__main__":
    main()
