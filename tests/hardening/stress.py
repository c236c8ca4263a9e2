#!/usr/bin/env python3
"""The program against the real store under stress.   stress.py BIN_DIR crash|concurrency
crash: setparams killed (SIGKILL) at random moments in a large import: the store stays sound, with the new
values for a prefix of the file's settings and the old ones after it. concurrency: four writers and four
readers, a process each run, for seconds: no run fails, no value goes back or is half written, last writes stay."""
import os, random, re, subprocess, sys, tempfile, threading, time

PROGRAM, failures = os.path.join(sys.argv[1], "kelbrinclient"), []
LISTING = ("getgroup", "root.G", "-", "NAMEVALUESECTIONS")


def run(*words):
    """The run's output, or None when it failed."""
    result = subprocess.run([PROGRAM, "--nolog", *words], capture_output=True, text=True)
    if result.returncode != 0:
        failures.append(f"{' '.join(words)}: status {result.returncode}: {result.stderr}")
    return result.stdout if result.returncode == 0 else None


def tree_text(name, tag, leaves, list_text=""):
    return f"{name}.v {{\n" + "".join(f'\t{leaf} = [ "{tag}" ]\n' for leaf in leaves) + list_text + "}\n"


def write(path, text):
    with open(path, "w") as file:
        file.write(text)


def load(directory, items):
    path = os.path.join(directory, "group.json")
    write(path, '{ "groups": [ { "group": "root.G", "items": [ ' + ", ".join(items) + " ] } ] }")
    run("readgroupfile", path)


def crash(directory):
    order = [s for i in range(1500) for s in [("P", i)] + ([("T", i // 100)] if i % 100 == 99 else [])]
    load(directory, [f'{{ "parameter": "P{i}" }}' if kind == "P" else
                     f'{{ "parameter": "T{i}", "tree": {{ "v": {{ "a": "", "b": "" }} }} }}' for kind, i in order])
    path, log = os.path.join(directory, "settings.txt"), os.environ["KELBRIN_STORE"] + "-wal"

    def stored():
        text = run(*LISTING) or ""
        state = dict(re.findall(r'^(P\d+) += "(.*)"$', text, re.M))
        state.update((name, f"{a}|{b}") for name, a, b in re.findall(
            r'^(T\d+)\.v \t \{\n\ta \t\t =  \[ "(.*)"  \] \n\tb \t\t =  \[ "(.*)"  \] $', text, re.M))
        return [state.get(f"{kind}{i}") for kind, i in order]

    def import_killed_after(tag, delay):
        """Imports the round's file, killed once delay seconds have passed since its first write
        (the store's log changes); returns how long it wrote and what a whole import writes."""
        write(path, "[G]\n" + "".join(f"P{i} = {tag}-{i}\n" if kind == "P" else
                                     tree_text(f"T{i}", f"{tag}-{i}", "ab") for kind, i in order))
        unchanged = os.stat(log).st_mtime_ns if os.path.exists(log) else None
        child, first = subprocess.Popen([PROGRAM, "--nolog", "setparams", path]), None
        while child.poll() is None:
            if first is None and os.path.exists(log) and os.stat(log).st_mtime_ns != unchanged:
                first = time.monotonic()
            if first is not None and time.monotonic() >= first + delay:
                child.kill()
                child.wait()
            time.sleep(0.0002)
        return time.monotonic() - (first or time.monotonic()), [
            f"{tag}-{i}" if kind == "P" else f"{tag}-{i}|{tag}-{i}" for kind, i in order]

    # The shortest of three whole imports: one that stalled on a busy disk would draw kills too late.
    runs = [import_killed_after(f"r1-{n}", 120) for n in range(3)]
    writing, before = min(time for time, _ in runs), runs[-1][1]
    seed, partial, window = random.randrange(1 << 32), 0, writing
    failures.extend(["a whole import did not write every setting"] if stored() != before else [])
    for round in range(2, 52):
        delay = random.Random(seed + round).uniform(0, window)
        new = import_killed_after(f"r{round}", delay)[1]
        check = subprocess.run(["sqlite3", os.environ["KELBRIN_STORE"], "PRAGMA integrity_check"],
                               capture_output=True, text=True)
        after, prefix = stored(), 0
        while prefix < len(order) and after[prefix] == new[prefix]:
            prefix += 1
        if check.stdout != "ok\n" or after[prefix:] != before[prefix:]:
            failures.append(f"round {round}, seed {seed}: {check.stdout}{check.stderr}not a prefix of {prefix}")
        partial, before = partial + (0 < prefix < len(order)), after
        # A loaded machine spends more of a run closing the store after the last write:
        # kills that came too late draw the next delay from a shorter window.
        window = window * 0.8 if prefix == len(order) else min(writing, window * 1.1)
    print(f"{partial} of 50 kills cut an import of {len(order)} settings ({writing * 1000:.0f} ms), seed {seed}")
    if partial < 12:
        failures.append("the kills did not land inside the imports")


def concurrency(directory, writers=4, readers=4, seconds=8):
    load(directory, [f'{{ "parameter": "P{w}", "value": "w{w}-0" }}' for w in range(writers)] +
         ['{ "parameter": "Shared", "tree": { "v": { "a": "w0-0", "b": "w0-0", "l": ["w0-0", "w0-0"] } } }'])
    stop, last, counts = threading.Event(), [0] * writers, [0, 0]

    def writer(w):
        path = os.path.join(directory, f"writer{w}.txt")
        while not stop.is_set():
            tag = f"w{w}-{last[w] + 1}"
            write(path, f"[G]\nP{w} = {tag}\n" + tree_text("Shared", tag, "ab", f'\tl = ( [ "{tag}" ] [ "{tag}" ] )\n'))
            if run("setparams", path) is not None:
                last[w], counts[0] = last[w] + 1, counts[0] + 1

    def reader():
        seen = [0] * writers
        while not stop.is_set():
            text, counts[1] = run(*LISTING) or "", counts[1] + 1
            for w, n in re.findall(r'^P(\d) += "w\d-(\d+)"$', text, re.M):
                if int(n) < seen[int(w)]:
                    failures.append(f"P{w} went back from {seen[int(w)]} to {n}")
                seen[int(w)] = int(n)
            leaves = re.findall(r'"(w\d-\d+)"', text[text.find("\nShared."):])
            if len(leaves) != 4 or len(set(leaves)) != 1:
                failures.append(f"torn shared value: {leaves}")

    threads = [threading.Thread(target=writer, args=(w,)) for w in range(writers)]
    threads += [threading.Thread(target=reader) for _ in range(readers)]
    for thread in threads:
        thread.start()
    started = time.monotonic()
    # Slow machines (sanitizers, emulation) run on until every writer has written four times.
    while time.monotonic() < started + seconds or min(last) < 4 and time.monotonic() < started + 120:
        time.sleep(0.1)
    stop.set()
    for thread in threads:
        thread.join()
    final = run(*LISTING) or ""
    failures.extend(f"writer {w} last wrote {last[w]}" for w in range(writers)
                    if not re.search(rf'^P{w} += "w{w}-{last[w]}"$', final, re.M))
    print(f"{counts[0]} writes and {counts[1]} reads in {time.monotonic() - started:.0f} s")
    failures.extend(["too few runs to mean anything"] if min(last) < 4 or counts[1] < 4 * readers else [])


with tempfile.TemporaryDirectory() as directory:
    os.environ["KELBRIN_STORE"] = os.path.join(directory, "store.db")
    {"crash": crash, "concurrency": concurrency}[sys.argv[2]](directory)
print("\n".join(failures[:20]))
sys.exit(1 if failures else 0)
