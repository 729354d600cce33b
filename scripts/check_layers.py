#!/usr/bin/env python3
"""Checks that the component's layers only look down.

Reads every `#include "..."` of src/ and fails on an edge against the order
platform < core < runtime < families < component, and on a cycle between
two family folders. include/qvstd is below everything; the reference host
(host/) may use include/qvstd and src/ but nothing includes the host.

Usage: check_layers.py [repository root]
"""
import os
import re
import sys

LAYERS = [
    ("platform",),
    ("core",),
    ("runtime",),
    ("datetime", "numeric", "files", "codec", "memzone", "diff", "system", "misc", "projectfile"),
    ("component",),
]
RANK = {folder: i for i, layer in enumerate(LAYERS) for folder in layer}
FAMILIES = set(LAYERS[3])
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def folder_of(path):
    """The top folder under src/ of a source path or an include name."""
    parts = path.replace("\\", "/").split("/")
    return parts[0]


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    src = os.path.join(root, "src")
    problems = []
    family_edges = {}
    for dirpath, _, files in os.walk(src):
        for name in sorted(files):
            if not name.endswith((".h", ".cpp")):
                continue
            path = os.path.join(dirpath, name)
            rel = os.path.relpath(path, src)
            here = folder_of(rel)
            if here not in RANK:
                problems.append(f"src/{rel}: folder {here!r} has no layer")
                continue
            with open(path, encoding="utf-8", errors="replace") as f:
                text = f.read()
            for target in INCLUDE.findall(text):
                there = folder_of(target)
                if there == "qvstd" or "/" not in target:
                    continue   # the shared interface, or a file beside this one
                if there not in RANK:
                    problems.append(f"src/{rel}: includes {target!r}, outside the component's layers")
                elif RANK[there] > RANK[here]:
                    problems.append(f"src/{rel}: includes {target!r}, a layer above ({there} over {here})")
                elif here in FAMILIES and there in FAMILIES and there != here:
                    family_edges.setdefault(here, {}).setdefault(there, f"src/{rel} -> {target}")
    # Families may use each other's headers, but never both ways round.
    for a, targets in family_edges.items():
        for b, why in targets.items():
            if a < b and a in family_edges.get(b, {}):
                problems.append(f"families {a} and {b} include each other: {why}; {family_edges[b][a]}")
    for p in problems:
        print(f"check_layers: {p}", file=sys.stderr)
    if problems:
        print(f"check_layers: {len(problems)} edge(s) against the layer order", file=sys.stderr)
        return 1
    print("check_layers: every include looks down")
    return 0


if __name__ == "__main__":
    sys.exit(main())
