#!/usr/bin/env python3
r"""Runs the rows of one table against the build's programs.   run_table.py TABLE [TITLE-PART]
Lines are "key: value", the value kept to its last byte; "#" starts a comment. Texts take
\\ \t \r \n \xHH, and a last \c for no newline.
  store: FILE      later rows start from a store loaded from this group file ("-": none)
  test: TITLE      a row, run in a fresh directory, its cwd; "needs: LINE" only where
                   the /bin/sh line succeeds
  in: TEXT, file NAME: TEXT, fault: NAME N E
                   before a run: a line of its input, a line of a file, the Nth call of
                   the store function NAME failing with error E
  run: WORDS       kelbrinclient (ctl: kelbrinctl) with the shell-quoted words, the
                   build's bin/ first on PATH; NAME=VALUE words first set the environment
  sh: LINE         the line, run by /bin/sh; its programs get the preload only from
                   LD_PRELOAD=$KELBRIN_PRELOAD; $KELBRIN_TABLES is this folder
After a run, what it must do, each compared whole: "out: TEXT" and "err: TEXT" lines of
standard output and error, "errN: TEXT" one of standard error that syslog has too at
priority N, "log: N TEXT" one of syslog only ("log: openlog IDENT OPTION FACILITY" checks
openlog too), "calls: TEXT" a store call as the preload logs it (with any, exactly these),
"status: N" (default 0), "has NAME: TEXT" a line of a file, "absent: NAME" no such file.
"""
import os, re, shlex, shutil, subprocess, sys, tempfile

BIN, PRELOAD = os.environ["KELBRIN_BIN"], os.environ["KELBRIN_PRELOAD"]
WRAPPER = shlex.split(os.environ.get("KELBRIN_TEST_WRAPPER", ""))  # e.g. valgrind
NAMED = {b"\\": b"\\", b"t": b"\t", b"r": b"\r", b"n": b"\n"}
# Rows write to their store often: on a RAM file system where there is one.
ROWS_DIR = "/dev/shm" if os.access("/dev/shm", os.W_OK) else None


def unescape(text):
    data = text.encode("utf-8", "surrogateescape")
    end = b"" if data.endswith(b"\\c") else b"\n"
    return re.sub(rb"\\(x..|.)", lambda m: bytes([int(m[1][1:], 16)]) if m[1][:1] == b"x" else NAMED[m[1]],
                  data[:-2] if not end else data) + end


class Run:
    """One run and what it must do: texts keyed "in", "out", "err", "file NAME", "has NAME"."""
    def __init__(self):
        self.kind = self.words = self.fault = self.calls = None
        self.texts, self.status, self.syslog = {"in": b"", "out": b"", "err": b""}, 0, []


def parse(path):
    """The rows: [title, line, store, runs, needs]."""
    store, rows, pending = None, [], Run()
    for number, line in enumerate(open(path, encoding="utf-8", errors="surrogateescape"), 1):
        key, sep, value = line.rstrip("\n").partition(": ")
        key = key if sep else key.rstrip(":")
        # What stands before a run is for the next run, what follows it for that run.
        run = pending if re.fullmatch(r"in|fault|file .+", key) else rows[-1][3][-1] if rows and rows[-1][3] else None
        if not key or key.startswith("#"):
            continue
        elif key == "store":
            store = value
        elif key == "test":
            rows.append([value, number, store, [], None])
        elif key == "needs":
            rows[-1][4] = value
        elif key in ("run", "ctl", "sh"):
            pending.kind, pending.words = key, value
            rows[-1][3].append(pending)
            pending = Run()
        elif key == "fault":
            run.fault = value.replace(" ", ":")
        elif key == "status":
            run.status = int(value)
        elif key == "calls":
            run.calls = (run.calls or []) + ([value] if value else [])
        elif key == "absent":
            run.texts["has " + value] = None
        elif re.fullmatch(r"err[0-7]|log", key):
            priority, text = (key[3], value) if key != "log" else value.split(" ", 1)
            run.syslog.append(f"{priority} ".encode() + unescape(text)[:-1])
            run.texts["err"] += unescape(value) if key != "log" else b""
        elif re.fullmatch(r"in|out|err|(file|has) .+", key):
            run.texts[key] = run.texts.get(key, b"") + unescape(value)
        else:
            sys.exit(f"{path}:{number}: unknown key {key!r}")
    return rows


def records(path, end):
    return open(path, "rb").read().split(end)[:-1] if os.path.exists(path) else []


def execute(folder, directory, run):
    env = {k: v for k, v in os.environ.items() if k != "REQUEST_METHOD"}
    logs = [os.path.join(directory, name) for name in (".syslog", ".calls")]
    env.update(TZ="UTC", LC_ALL="C", KELBRIN_STORE=os.path.join(directory, "store.db"), KELBRIN_TABLES=folder,
               KELBRIN_FAKE_TIME="1700000000", KELBRIN_CAPTURE_LOG=logs[0], KELBRIN_CALL_LOG=logs[1],
               PATH=BIN + ":" + env.get("PATH", "/usr/bin:/bin"))
    # A sanitized program refuses a preload ahead of its runtime otherwise.
    env["ASAN_OPTIONS"] = ":".join(filter(None, [env.get("ASAN_OPTIONS"), "verify_asan_link_order=0"]))
    if WRAPPER:  # the wrapper finds the program on PATH, away from its RUNPATH
        env["LD_LIBRARY_PATH"] = os.path.join(os.path.dirname(BIN), "lib")
    if run.fault:
        env["KELBRIN_FAULT"] = run.fault
    argv = ["/bin/sh", "-c", run.words]
    if run.kind != "sh":  # a shell of another architecture cannot load the preload
        env["LD_PRELOAD"], words = PRELOAD, shlex.split(run.words)
        while words and re.fullmatch(r"[A-Z_]+=.*", words[0]):
            env.update([words.pop(0).split("=", 1)])
        argv = WRAPPER + ["kelbrinclient" if run.kind == "run" else "kelbrinctl"] + words
    for key, content in run.texts.items():
        if key.startswith("file "):
            open(os.path.join(directory, key[5:]), "wb").write(content)
    for log in filter(os.path.exists, logs):
        os.remove(log)
    result = subprocess.run(argv, executable=shutil.which(argv[0], path=env["PATH"]), input=run.texts["in"],
                            capture_output=True, cwd=directory, env=env, timeout=600 if WRAPPER else 60)
    syslog = records(logs[0], b"\0")
    if not any(record.startswith(b"openlog") for record in run.syslog):
        syslog = [record for record in syslog if not record.startswith(b"openlog")]
    return result, syslog, [call.decode("utf-8", "replace") for call in records(logs[1], b"\n")]


def compare(what, expected, actual):
    def shown(text):
        if isinstance(text, list):
            return "\n".join(map(shown, text))
        return text.decode("utf-8", "replace") if isinstance(text, bytes) else "(no file)" if text is None else str(text)
    if expected == actual:
        return []
    return [f"  {what} {side}:\n    " + shown(text).replace("\n", "\n    ")
            for side, text in (("expected", expected), ("actual", actual))]


def run_row(folder, store, runs):
    with tempfile.TemporaryDirectory(prefix="kelbrin-table-", dir=ROWS_DIR) as directory:
        if store and store != "-":
            subprocess.run([os.path.join(BIN, "kelbrinclient"), "--nolog", "readgroupfile", os.path.join(folder, store)],
                           check=True, env={**os.environ, "KELBRIN_STORE": os.path.join(directory, "store.db")})
        problems = []
        for step, run in enumerate(runs, 1):
            result, syslog, calls = execute(folder, directory, run)
            found = compare("stdout", run.texts["out"], result.stdout) + compare("stderr", run.texts["err"], result.stderr)
            found += compare("status", run.status, result.returncode) + compare("syslog", run.syslog, syslog)
            found += compare("calls", run.calls, calls) if run.calls is not None else []
            for name, content in ((key[4:], content) for key, content in run.texts.items() if key.startswith("has ")):
                path = os.path.join(directory, name)
                found += compare(name, content, open(path, "rb").read() if os.path.exists(path) else None)
            problems += [f" run {step}: {run.kind}: {run.words}"] + found if found else []
        return problems


def main():
    table, wanted = os.path.abspath(sys.argv[1]), sys.argv[2] if len(sys.argv) > 2 else ""
    rows, failed, skipped = [row for row in parse(table) if wanted in row[0]], 0, 0
    for title, line, store, runs, needs in rows:
        where = f"{os.path.basename(table)}:{line}: {title}"
        if needs and subprocess.run(["/bin/sh", "-c", needs], capture_output=True).returncode != 0:
            print(f"SKIP {where}: the machine fails {needs!r}")
            skipped += 1
        elif problems := run_row(os.path.dirname(table), store, runs):
            failed += 1
            print(f"FAIL {where}\n" + "\n".join(problems))
    print(f"{len(rows) - failed - skipped} of {len(rows)} rows passed, {skipped} skipped")
    sys.exit(1 if failed else 0)


main()
