#!/usr/bin/env python3
"""Checks the product code's includes against its layers
(docs/architecture.md): a folder includes only folders of lower layers, so
the folders form no cycle, and the store includes nothing of the program.
Prints each offending include; exits 1 if there is any."""
import pathlib
import re
import sys

root = pathlib.Path(__file__).resolve().parent.parent
# Layer of each folder, lowest first.
LAYERS = {
    "libkelbrin": 0,
    "src/common": 1,
    "src/output": 2,
    "src/input": 2,
    "src/front": 3,
    # The store's tool: on the store's core, beside the program, nothing of src/.
    "kelbrinctl": 1,
}
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.MULTILINE)


def folder_of(path):
    relative = path.relative_to(root).as_posix()
    return next((f for f in LAYERS if relative.startswith(f + "/")), None)


def target_of(source, included):
    """The folder a quoted include names: beside the file, under src/, or the store's core."""
    for base in (source.parent, root / "src", root / "libkelbrin", root / "kelbrinctl"):
        if (base / included).is_file():
            return folder_of(base / included)
    return None


problems = []
includes = 0
for source in sorted(p for top in ("src", "libkelbrin", "kelbrinctl") for p in (root / top).rglob("*")):
    if source.suffix not in (".c", ".cpp", ".h"):
        continue
    folder = folder_of(source)
    if folder is None:
        problems.append(f"{source.relative_to(root)}: in a folder with no layer")
        continue
    for included in INCLUDE.findall(source.read_text()):
        target = target_of(source, included)
        if target is None or target == folder:
            continue
        includes += 1
        # The tool and the program stand side by side: neither includes the other.
        if LAYERS[target] >= LAYERS[folder] or ("kelbrinctl" in (folder, target) and target != "libkelbrin"):
            problems.append(f"{source.relative_to(root)}: includes {included} from {target}, "
                            f"which is not below {folder}")

print("\n".join(problems) if problems else f"layers: {includes} includes between folders, all downward")
sys.exit(1 if problems else 0)
