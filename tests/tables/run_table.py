#!/usr/bin/env python3
r"""Runs the rows of one table file against the build's programs.

    run_table.py TABLE [TITLE-SUBSTRING]

A table is lines of "key: value" (exactly one space after the colon; the
value keeps every other byte). "#" starts a comment line. Keys:

  store: FILE      table header: rows start from a store loaded from the group
                   file (beside the table); "store: -" for no store file
  test: TITLE      starts a row; the row runs in a fresh directory, its cwd
  run: WORDS       runs kelbrinclient with the words (POSIX shell quoting);
                   NAME=VALUE words before them set environment variables
  ctl: WORDS       the same for kelbrinctl
  sh: LINE         runs the line with /bin/sh, the build's bin/ first on PATH,
                   without the preload
  in: TEXT         a line of standard input for the next run
  file NAME: TEXT  a line of a file written before the next run
  fault: NAME N E  the Nth call of the store function NAME returns error E
  out: TEXT        a line of the run's expected standard output
  err: TEXT        a line of its expected standard error
  errN: TEXT       a message at syslog priority N: a line of standard error
                   and the same text in syslog
  log: N TEXT      a syslog line only
  status: N        its exit status (default 0)
  has NAME: TEXT   a line of a file as the run leaves it
  out< FILE        the file beside the table is more expected standard output
  err< FILE        the same for standard error

Texts take the escapes \\ \t \r \n \xHH, and a final \c for no newline.
Each run's output, error, status, syslog and named files are compared whole.
"""
import os
import re
import shlex
import shutil
import subprocess
import sys
import tempfile

BIN = os.environ["KELBRIN_BIN"]  # the build's bin/
PRELOAD = os.environ["KELBRIN_PRELOAD"]  # syslog, clock and fault capture
WRAPPER = shlex.split(os.environ.get("KELBRIN_TEST_WRAPPER", ""))  # e.g. valgrind
FAKE_TIME = "1700000000"
ESCAPE = re.compile(rb"\\(x[0-9a-fA-F]{2}|.)")


def unescape(text):
    data = text.encode("utf-8", "surrogateescape")
    newline = not data.endswith(b"\\c")
    data = data[:-2] if not newline else data
    named = {b"\\": b"\\", b"t": b"\t", b"r": b"\r", b"n": b"\n"}
    data = ESCAPE.sub(lambda m: bytes([int(m[1][1:], 16)]) if m[1][:1] == b"x" else named[m[1]], data)
    return data + (b"\n" if newline else b"")


def c_escaped(data):
    """A syslog text as the capture preload writes it."""
    out = []
    for byte in data:
        named = {0x5C: "\\\\", 0x22: '\\"', 0x0A: "\\n", 0x0D: "\\r", 0x09: "\\t"}
        out.append(named.get(byte) or (f"\\x{byte:02x}" if byte < 0x20 or byte >= 0x7F else chr(byte)))
    return "".join(out)


class Run:
    def __init__(self, kind, words):
        self.kind, self.words = kind, words
        self.stdin, self.files, self.fault = b"", {}, None
        self.out, self.err, self.status, self.syslog, self.has = b"", b"", 0, [], {}


def parse(path):
    """The table's store and its rows, each a title and a list of runs."""
    store, rows, pending = None, [], Run(None, None)
    with open(path, encoding="utf-8", errors="surrogateescape") as table:
        for number, line in enumerate(table, 1):
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            if line.startswith(("out< ", "err< ")):
                key, value = line[:4], line[5:]
            else:
                key, sep, value = line.partition(": ")
                if not sep:
                    key, value = line.rstrip(":"), ""
            if key == "store":
                store = value
            elif key == "test":
                rows.append((value, number, []))
            elif key in ("run", "ctl", "sh"):
                pending.kind, pending.words = key, value
                rows[-1][2].append(pending)
                pending = Run(None, None)
            elif key == "in":
                pending.stdin += unescape(value)
            elif key.startswith("file "):
                pending.files[key[5:]] = pending.files.get(key[5:], b"") + unescape(value)
            elif key == "fault":
                pending.fault = value.replace(" ", ":")
            else:
                last = rows[-1][2][-1]
                if key == "out":
                    last.out += unescape(value)
                elif key in ("out<", "err<"):
                    with open(os.path.join(os.path.dirname(path), value), "rb") as expected:
                        setattr(last, key[:3], getattr(last, key[:3]) + expected.read())
                elif key == "err":
                    last.err += unescape(value)
                elif re.fullmatch(r"err[0-7]", key):
                    last.err += unescape(value)
                    last.syslog.append(f"{key[3]} {c_escaped(unescape(value)[:-1])}")
                elif key == "log":
                    priority, _, text = value.partition(" ")
                    last.syslog.append(f"{priority} {c_escaped(unescape(text)[:-1])}")
                elif key == "status":
                    last.status = int(value)
                elif key.startswith("has "):
                    last.has[key[4:]] = last.has.get(key[4:], b"") + unescape(value)
                else:
                    sys.exit(f"{path}:{number}: unknown key {key!r}")
    return store, rows


def environment(directory, run, assignments):
    env = {k: v for k, v in os.environ.items() if k != "REQUEST_METHOD"}
    env.update(TZ="UTC", LC_ALL="C", KELBRIN_STORE=os.path.join(directory, "store.db"),
               KELBRIN_FAKE_TIME=FAKE_TIME, KELBRIN_CAPTURE_LOG=os.path.join(directory, ".syslog"),
               PATH=BIN + ":" + os.environ.get("PATH", "/usr/bin:/bin"))
    if run.kind != "sh":  # a shell of another architecture cannot load the preload
        env["LD_PRELOAD"] = PRELOAD
    # A sanitized program refuses a preload ahead of its runtime otherwise.
    env["ASAN_OPTIONS"] = ":".join(filter(None, [env.get("ASAN_OPTIONS"), "verify_asan_link_order=0"]))
    if run.fault:
        env["KELBRIN_FAULT"] = run.fault
    if WRAPPER:  # the wrapper finds the program on PATH, away from its RUNPATH
        env["LD_LIBRARY_PATH"] = os.path.join(os.path.dirname(BIN), "lib")
    env.update(assignments)
    return env


def execute(directory, run):
    words = shlex.split(run.words) if run.kind != "sh" else []
    assignments = {}
    while words and re.fullmatch(r"[A-Z_]+=.*", words[0]):
        name, _, value = words.pop(0).partition("=")
        assignments[name] = value
    if run.kind == "sh":
        argv = ["/bin/sh", "-c", run.words]
    else:
        program = "kelbrinclient" if run.kind == "run" else "kelbrinctl"
        argv = (WRAPPER + [program] if WRAPPER else [program]) + words
    for name, content in run.files.items():
        with open(os.path.join(directory, name), "wb") as file:
            file.write(content)
    log = os.path.join(directory, ".syslog")
    if os.path.exists(log):
        os.remove(log)
    executable = argv[0] if WRAPPER or run.kind == "sh" else os.path.join(BIN, argv[0])
    result = subprocess.run(argv, executable=shutil.which(executable, path=BIN + ":" + os.environ["PATH"]),
                            input=run.stdin, capture_output=True, cwd=directory,
                            env=environment(directory, run, assignments), timeout=600 if WRAPPER else 60)
    syslog = []
    if os.path.exists(log):
        with open(log, encoding="utf-8", errors="surrogateescape") as lines:
            syslog = [line.rstrip("\n") for line in lines if not line.startswith(("openlog", "closelog"))]
    return result, syslog


def compare(what, expected, actual):
    if expected == actual:
        return []
    if isinstance(expected, list):
        expected, actual = "\n".join(expected), "\n".join(actual)
    else:
        expected, actual = expected.decode("utf-8", "replace"), actual.decode("utf-8", "replace")
    return [f"  {what} expected:\n    " + expected.replace("\n", "\n    "),
            f"  {what} actual:\n    " + actual.replace("\n", "\n    ")]


def run_row(table_dir, store, title, runs):
    with tempfile.TemporaryDirectory(prefix="kelbrin-table-") as directory:
        if store and store != "-":
            subprocess.run([os.path.join(BIN, "kelbrinclient"), "--nolog", "readgroupfile",
                            os.path.join(table_dir, store)], check=True, cwd=directory,
                           env={**os.environ, "KELBRIN_STORE": os.path.join(directory, "store.db")})
        problems = []
        for step, run in enumerate(runs, 1):
            result, syslog = execute(directory, run)
            found = compare("stdout", run.out, result.stdout) + compare("stderr", run.err, result.stderr)
            found += compare("status", str(run.status).encode(), str(result.returncode).encode())
            found += compare("syslog", run.syslog, syslog)
            for name, content in run.has.items():
                path = os.path.join(directory, name)
                actual = open(path, "rb").read() if os.path.exists(path) else b"(no such file)"
                found += compare(name, content, actual)
            if found:
                problems += [f" run {step}: {run.kind}: {run.words}"] + found
        return problems


def main():
    table, wanted = sys.argv[1], sys.argv[2] if len(sys.argv) > 2 else ""
    store, rows = parse(table)
    failed = 0
    for title, line, runs in rows:
        if wanted not in title:
            continue
        problems = run_row(os.path.dirname(os.path.abspath(table)), store, title, runs)
        if problems:
            failed += 1
            print(f"FAIL {os.path.basename(table)}:{line}: {title}\n" + "\n".join(problems))
    print(f"{len(rows) - failed} of {len(rows)} rows passed" if not wanted else f"{failed} failed")
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
