#!/usr/bin/env python3
"""Checks the product code's includes against its layers
(docs/architecture.md). The store and the program are two towers on the
store's public header: a folder includes only folders below it in its own
tower, so the folders form no cycle, and the program sees nothing of the
store but <kelbrin.h>. Prints each offending include; exits 1 if there is
any. Usage: check-layers.py [TREE] (default: this checkout)."""
import pathlib
import re
import sys

root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parent.parent)
PUBLIC = "libkelbrin/include"
# Each tower lowest first; folders that share a step stand side by side and
# include neither each other.
TOWERS = {
    "store": [[PUBLIC], ["libkelbrin/base"], ["libkelbrin/store"], ["libkelbrin/files"],
              ["libkelbrin/capi", "kelbrinctl"]],
    "program": [[PUBLIC], ["src/common"], ["src/output", "src/input"], ["src/front"]],
}
# Where each tower's includes are looked up, as its build's include paths.
SEARCH = {
    "store": ["libkelbrin", PUBLIC, "."],
    "program": ["src", PUBLIC],
}
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^">]+)[">]', re.MULTILINE)


def place(folder):
    """The tower and step of a folder."""
    for tower, steps in TOWERS.items():
        for step, folders in enumerate(steps):
            if folder in folders and folder != PUBLIC:
                return tower, step
    return None


def folder_of(path):
    relative = path.resolve().relative_to(root.resolve()).as_posix()
    folders = [f for steps in TOWERS.values() for step in steps for f in step]
    return max((f for f in folders if relative.startswith(f + "/")), key=len, default=None)


def resolve(included, bases):
    for base in bases:
        candidate = root / base / included
        if candidate.is_file():
            return candidate
    return None


everywhere = sorted({base for bases in SEARCH.values() for base in bases} | {"src", "libkelbrin", "kelbrinctl"})
problems = []
includes = 0
sources = sorted(p for top in ("src", "libkelbrin", "kelbrinctl") for p in (root / top).rglob("*")
                 if p.suffix in (".c", ".cpp", ".h"))
for source in sources:
    name = source.relative_to(root).as_posix()
    folder = folder_of(source)
    if folder is None:
        problems.append(f"{name}: in a folder with no layer")
        continue
    if folder == PUBLIC:
        continue
    tower, step = place(folder)
    for quote, included in INCLUDE.findall(source.read_text()):
        found = resolve(included, SEARCH[tower])
        if found is None:
            elsewhere = resolve(included, everywhere)
            if elsewhere is not None:
                problems.append(f"{name}: includes {included}, which {folder} cannot reach "
                                f"({elsewhere.relative_to(root).as_posix()} is not in its tower)")
            elif quote == '"':
                problems.append(f"{name}: includes {included}, which is no file of the tree")
            continue
        target = folder_of(found)
        if target == folder:
            continue
        includes += 1
        target_place = (tower, 0) if target == PUBLIC else place(target)
        if target_place is None or target_place[0] != tower or target_place[1] >= step:
            problems.append(f"{name}: includes {included} from {target}, which is not below {folder}")

print("\n".join(problems) if problems else f"layers: {includes} includes between folders, all downward")
sys.exit(1 if problems else 0)
