#!/usr/bin/env python3
"""Checks that the product folders include each other one way only.

Reads every `#include "folder/..."` line in the product folders, prints the folder-level include
graph, and fails (status 1) on a cycle or on an include into a folder that the layer order below
does not allow. tests/, bench/ and fuzz/ may include anything and are not read.

    python3 tools/check-layers.py [ROOT]
"""

import pathlib
import re
import sys

# Each folder with the folders directly beneath it; everything beneath those is allowed too.
LAYERS = {
    "platform": [],
    "res": [],
    "search": ["platform"],
    "results": ["search"],
    "text": ["search"],
    "common": [],
    "controls": ["common", "results", "text"],
    "proximity": ["common", "results", "text"],
    "frontend": ["results", "text", "controls", "proximity"],
    "winui": ["frontend", "platform", "res"],
    "setup": ["winui", "frontend", "results", "search", "platform", "res"],
    "app": ["setup", "winui", "frontend", "controls", "proximity", "common", "text", "results",
            "search", "platform", "res"],
    "cli": ["frontend", "controls", "proximity", "common", "text", "results", "search",
            "platform"],
}
SOURCE_SUFFIXES = {".h", ".hpp", ".c", ".cc", ".cpp", ".rc", ".inl"}
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"/]+)/[^"]*"')


def allowed_below(folder, seen=None):
    seen = set() if seen is None else seen
    for lower in LAYERS[folder]:
        if lower not in seen:
            seen.add(lower)
            allowed_below(lower, seen)
    return seen


def read_graph(root):
    """Returns {(from, to): [(file, line number), ...]} for includes between two folders."""
    edges = {}
    for folder in LAYERS:
        base = root / folder
        if not base.is_dir():
            continue
        for path in sorted(base.rglob("*")):
            if path.suffix not in SOURCE_SUFFIXES or not path.is_file():
                continue
            lines = path.read_text(encoding="utf-8", errors="replace").splitlines()
            for number, line in enumerate(lines, 1):
                match = INCLUDE.match(line)
                if match and match.group(1) != folder:
                    where = (str(path.relative_to(root)), number)
                    edges.setdefault((folder, match.group(1)), []).append(where)
    return edges


def find_cycles(edges):
    """Every elementary cycle of the folder graph, each as a list of folders (small graph)."""
    graph = {}
    for source, target in edges:
        graph.setdefault(source, set()).add(target)
    cycles = []

    def walk(start, node, path):
        for nxt in sorted(graph.get(node, ())):
            if nxt == start:
                cycles.append(path + [start])
            elif nxt > start and nxt not in path:
                walk(start, nxt, path + [nxt])

    for start in sorted(graph):
        walk(start, start, [start])
    return cycles


def main():
    default = pathlib.Path(__file__).resolve().parent.parent
    root = pathlib.Path(sys.argv[1]).resolve() if len(sys.argv) > 1 else default
    edges = read_graph(root)

    print("Folder include graph (includes counted per file line):")
    for folder in LAYERS:
        targets = sorted(t for s, t in edges if s == folder)
        if (root / folder).is_dir():
            listed = ", ".join(f"{t} ({len(edges[(folder, t)])})" for t in targets) or "-"
            print(f"  {folder:9} -> {listed}")

    failures = 0
    for (source, target), places in sorted(edges.items()):
        if target not in LAYERS:
            problem = f"{target}/ is not a product folder"
        elif target not in allowed_below(source):
            problem = f"{target}/ is not beneath {source}/"
        else:
            continue
        failures += 1
        print(f"error: {source} -> {target}: {problem}:", file=sys.stderr)
        for file, number in places:
            print(f"    {file}:{number}", file=sys.stderr)
    for cycle in find_cycles(edges):
        failures += 1
        print("error: include cycle " + " -> ".join(cycle), file=sys.stderr)

    if failures:
        print(f"check-layers: {failures} problem(s)", file=sys.stderr)
        return 1
    print("check-layers: the folders include one way only")
    return 0


if __name__ == "__main__":
    sys.exit(main())
