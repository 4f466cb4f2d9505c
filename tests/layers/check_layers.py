#!/usr/bin/python3
"""The include check: reads every source file of the layer folders and fails, naming each edge,
on an include that climbs to a layer above the file's own (or sideways, between layers that sit
side by side), and on a GL, GLFW, GLib/GTK, X11 or Win32 header reachable from a pure library.

    check_layers.py SOURCE_ROOT LAYER_RECORD

LAYER_RECORD is what the build writes (build/layers.txt): the layers from the bottom up under
[layers] (names on one line sit side by side), the pure libraries' sources under [pure].
"""

import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.MULTILINE)
FORBIDDEN = re.compile(
    r"^(glad/|GLFW/|GL/|gtk/|gdk/|gdk-pixbuf/|gio/|glib|X11/|ft2build\.h|freetype/|"
    r"windows\.h|objbase\.h|ole2\.h|exdisp\.h|shlobj\.h|shlwapi\.h|shobjidl\.h|commoncontrols\.h|"
    r"wincodec\.h|winuser\.h)")
SOURCE_SUFFIXES = (".h", ".cpp", ".c")


def read_record(path):
    layers, pure, section = [], set(), None
    with open(path, encoding="utf-8") as record:
        for line in record.read().splitlines():
            line = line.strip()
            if line in ("[layers]", "[pure]"):
                section = line
            elif line and section == "[layers]":
                layers.append(line.split())
            elif line and section == "[pure]":
                pure.add(os.path.normpath(line))
    rank = {name: level for level, names in enumerate(layers) for name in names}
    return rank, pure


def includes_of(path):
    with open(path, encoding="utf-8", errors="replace") as source:
        text = source.read()
    for match in INCLUDE.finditer(text):
        line = text.count("\n", 0, match.start()) + 1
        yield line, match.group(1) == '"', match.group(2)


def layer_sources(root, rank):
    for layer in rank:
        for folder, _, files in os.walk(os.path.join(root, layer)):
            for name in sorted(files):
                if name.endswith(SOURCE_SUFFIXES):
                    yield os.path.normpath(os.path.join(folder, name))


def check(root, rank, pure):
    """Returns one message per fault, empty when the tree is sound."""
    faults = []
    root = os.path.normpath(root)
    sources = list(layer_sources(root, rank))
    edges = {}  # file -> [(line, quoted, target)]
    for path in sources:
        edges[path] = list(includes_of(path))
        layer = os.path.relpath(path, root).split(os.sep)[0]
        for line, quoted, target in edges[path]:
            target_layer = target.split("/")[0]
            if not quoted or target_layer not in rank or target_layer == layer:
                continue
            if rank[target_layer] >= rank[layer]:
                where = "beside" if rank[target_layer] == rank[layer] else "above"
                faults.append(f"{os.path.relpath(path, root)}:{line}: includes {target} "
                              f"({target_layer} is {where} {layer}, not below it)")

    def reachable_fault(path, seen):
        """The include chain from path to a forbidden header, or None."""
        if path in seen:
            return None
        seen.add(path)
        for line, quoted, target in edges.get(path, []):
            if FORBIDDEN.match(target):
                return [f"{os.path.relpath(path, root)}:{line} <{target}>"]
            header = os.path.normpath(os.path.join(root, target))
            if quoted and header in edges:
                chain = reachable_fault(header, seen)
                if chain:
                    return [f"{os.path.relpath(path, root)}:{line}"] + chain
        return None

    for path in sorted(p for p in sources if p in pure or os.path.relpath(p, root).startswith("core" + os.sep)):
        chain = reachable_fault(path, set())
        if chain:
            faults.append(f"{os.path.relpath(path, root)}: pure, but reaches a platform header: "
                          + " -> ".join(chain))
    return faults


def main(argv):
    if len(argv) != 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    rank, pure = read_record(argv[2])
    faults = check(argv[1], rank, pure)
    for fault in faults:
        print(fault)
    if faults:
        print(f"{len(faults)} include fault(s)")
        return 1
    print(f"layers sound: {', '.join(sorted(rank, key=rank.get))}; {len(pure)} pure sources")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
