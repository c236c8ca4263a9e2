#!/usr/bin/env python3
"""Draws the planted faults that tools/mutants.sh measures the tests against.

Every place in the product code (src/, libkelbrin/ and kelbrinctl/, .cpp files, code only:
not comments, string or character literals, preprocessor lines) where one
simple fault fits is a candidate site:
  cmp    a comparison operator flipped (< and <=, > and >=, == and !=)
  logic  && and || swapped
  const  an integer constant one more or one less
  index  a subscript one more or one less
  call   a call statement removed (replaced by an empty statement)
Sites are drawn uniformly over all of them with a fixed seed, at most one per
line. Each drawn fault is planted for a moment (build nothing else in this tree
meanwhile) and compiled with the build's own compile commands for its file
(build-mutants, configured as tools/mutants.sh does); the ones that do not
compile are dropped, and the draw goes on until enough compile. Writes
tools/mutants.txt: id, file, line, old line, new line, tab-separated.

Usage: tools/draw-mutants.py [--seed N] [--draw N] [--keep N]
"""
import argparse
import json
import random
import re
import shlex
import signal
import subprocess
import sys
import tempfile
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
BUILD = ROOT / "build-mutants"
PRODUCT = ("src", "libkelbrin", "kelbrinctl")
CMAKE_FLAGS = ["-DKELBRIN_WERROR=OFF", "-DCMAKE_BUILD_TYPE=RelWithDebInfo", "-DKELBRIN_BENCH=OFF",
               "-DCMAKE_EXPORT_COMPILE_COMMANDS=ON"]


def masked_lines(text):
    """The file's lines with comments blanked and the insides of string and
    character literals replaced by '_', so that only code is matched."""
    out = []
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            end = text.find("\n", i)
            end = n if end < 0 else end
            out.append(" " * (end - i))
            i = end
        elif text.startswith("/*", i):
            end = text.find("*/", i + 2)
            end = n if end < 0 else end + 2
            out.append(re.sub(r"[^\n]", " ", text[i:end]))
            i = end
        elif c == '"' and re.search(r"(?<!\w)(u8|u|U|L)?R$", text[max(0, i - 3):i]):
            delim = text[i + 1:text.index("(", i)]
            end = text.index(")" + delim + '"', i) + len(delim) + 2
            out.append('"' + re.sub(r"[^\n]", "_", text[i + 1:end - 1]) + '"')
            i = end
        elif c == '"' or (c == "'" and not (i and text[i - 1].isalnum())):
            j = i + 1
            while text[j] != c:
                j += 2 if text[j] == "\\" else 1
            out.append(c + "_" * (j - i - 1) + c)
            i = j + 1
        else:
            out.append(c)
            i += 1
    return "".join(out).split("\n")


CMP = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "=="}
LOGIC = {"&&": "||", "||": "&&"}
KEYWORDS = {"return", "delete", "throw", "goto", "case", "else", "do", "if", "while", "for",
            "switch", "sizeof", "static_assert", "using", "typedef", "new", "co_return"}
# A statement that is only a call (or a chain of calls): with the arguments
# collapsed to "()", names joined by ::, . or -> and calls, then ";".
NAME = r"[A-Za-z_]\w*\s*(?:<[^;()=]*>)?\s*"
CALL = re.compile(rf"\s*(?:{NAME}(?:::|\.|->)\s*)*~?{NAME}\(\)(?:\s*(?:\.|->)\s*{NAME}\(\))*\s*;\s*")
INT = re.compile(r"(?<![\w.'])(0[xX][0-9a-fA-F]+|\d+)([uUlLzZ]*)(?![\w.'])")


def call_statement(code):
    while re.search(r"\([^()]*\)", code):
        code = re.sub(r"\([^()]*\)", "\0", code)
    code = code.replace("\0", "()")
    first = re.match(r"\s*(\w+)", code)
    return bool(CALL.fullmatch(code) and first and first.group(1) not in KEYWORDS)


def subscript_end(code, start):
    depth = 0
    for j in range(start, len(code)):
        depth += {"[": 1, "]": -1}.get(code[j], 0)
        if depth == 0:
            return j
    return None


def sites_of(path, text):
    """Yields (kind, line number, start, end, replacements) for every site in a
    file; replacements are the texts that may stand for text[start:end]."""
    previous = ""
    for number, code in enumerate(masked_lines(text), 1):
        stripped = code.strip()
        if not stripped or stripped.startswith("#"):
            continue
        for m in re.finditer(r"(?<=\s)(<=|>=|==|!=|<|>)(?=\s|$)", code):
            yield "cmp", number, m.start(), m.end(), [CMP[m.group()]]
        for m in re.finditer(r"(?<=\s)(&&|\|\|)(?=\s|$)", code):
            yield "logic", number, m.start(), m.end(), [LOGIC[m.group()]]
        for m in INT.finditer(code):
            digits, suffix = m.groups()
            base = 16 if digits[:2].lower() == "0x" else 8 if digits[0] == "0" and digits != "0" else 10
            value = int(digits[2:] if base == 16 else digits, base)
            upper = digits[2:] != digits[2:].lower()
            shown = {16: lambda v: digits[:2] + (f"{v:X}" if upper else f"{v:x}"),
                     8: lambda v: f"0{v:o}", 10: str}[base]
            options = [value + 1] if value == 0 else [value + 1, value - 1]
            yield "const", number, m.start(), m.end(), [shown(v) + suffix for v in options]
        for m in re.finditer(r"(?<=[\w)\]])\[", code):
            end = subscript_end(code, m.start())
            inner = code[m.start() + 1:end].strip() if end else ""
            # A constant subscript is already a constant site, and one that
            # ends in "± constant" would only move that constant.
            if not inner or INT.fullmatch(inner) or re.search(r"[-+]\s*\w+$|[\"']", inner):
                continue
            wrapped = f"({inner})" if re.search(r"[?<>&|=^]", inner.replace("->", "")) else inner
            yield "index", number, m.start() + 1, end, [wrapped + " + 1", wrapped + " - 1"]
        # Only a statement that starts on this line: the one before ended.
        if call_statement(code) and re.search(r"([;{}:)]|\belse)$", previous):
            indent = len(code) - len(code.lstrip())
            yield "call", number, indent, len(code.rstrip()), [";"]
        previous = stripped


def configure():
    subprocess.run(["cmake", "-S", ROOT, "-B", BUILD, *CMAKE_FLAGS], check=True,
                   stdout=subprocess.DEVNULL)
    commands = {}
    for entry in json.loads((BUILD / "compile_commands.json").read_text()):
        commands.setdefault(Path(entry["file"]).resolve(), []).append(entry)
    return commands


def compiles(entries, scratch):
    """Compiles a file with each of the build's commands for it, into scratch."""
    for entry in entries:
        argv = shlex.split(entry["command"])
        argv[argv.index("-o") + 1] = str(scratch / "mutant.o")
        if subprocess.run(argv, cwd=entry["directory"], stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL).returncode != 0:
            return False
    return True


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--seed", type=int, default=18)
    parser.add_argument("--draw", type=int, default=50, help="sites drawn at least")
    parser.add_argument("--keep", type=int, default=45, help="compiling faults kept at least")
    args = parser.parse_args()
    if subprocess.run(["git", "-C", ROOT, "diff", "--quiet", "--", *PRODUCT]).returncode:
        sys.exit("draw-mutants: the product code has uncommitted changes")
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("draw-mutants: interrupted"))

    files = sorted(p for d in PRODUCT for p in (ROOT / d).rglob("*.cpp"))
    sites = [(f, *site) for f in files for site in sites_of(f, f.read_text())]
    print(f"{len(sites)} candidate sites in {len(files)} files", file=sys.stderr)
    rng = random.Random(args.seed)
    rng.shuffle(sites)
    commands = configure()

    kept, drawn, used = [], 0, set()
    with tempfile.TemporaryDirectory() as scratch:
        for path, kind, number, start, end, options in sites:
            if drawn >= args.draw and len(kept) >= args.keep:
                break
            if (path, number) in used:
                continue
            used.add((path, number))
            drawn += 1
            original = path.read_text()
            lines = original.split("\n")
            old = lines[number - 1]
            new = old[:start] + rng.choice(options) + old[end:]
            assert new != old and "\t" not in old
            lines[number - 1] = new
            try:
                path.write_text("\n".join(lines))
                ok = compiles(commands[path.resolve()], Path(scratch))
            finally:
                path.write_text(original)
            rel = path.relative_to(ROOT)
            print(f"{'kept   ' if ok else 'dropped'} {kind:5} {rel}:{number}: {new.strip()}",
                  file=sys.stderr)
            if ok:
                kept.append((str(rel), number, old, new))

    kept.sort(key=lambda m: (m[0], m[1]))
    with open(ROOT / "tools" / "mutants.txt", "w") as out:
        for i, (rel, number, old, new) in enumerate(kept, 1):
            out.write(f"M{i:02d}\t{rel}\t{number}\t{old}\t{new}\n")
    print(f"drawn {drawn}, kept {len(kept)}", file=sys.stderr)


if __name__ == "__main__":
    main()
