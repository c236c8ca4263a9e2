#!/usr/bin/env python3
r"""Runs the examples of the project's pages.   run_docs.py SOURCE_DIR
The pages: README.md, docs/*.md and the man pages docs/*.1.
An example is an indented block in Markdown, a ```json block in Markdown, or an
.EX/.EE block in a man page.
  commands  a block whose first line starts with a command (COMMANDS below): its
            command lines run in one bash; lines after them that start with no
            command are the standard output the commands must write
  json      a group file, or one declaration ({ "parameter": ...}) put in a group;
            kelbrinctl check must pass it after examples/device.json
  marked    a block after a "test: input of COMMAND" or "test: output of COMMAND"
            comment (<!-- --> or .\"): the block, saved as a file, is the last word
            of COMMAND, or it is COMMAND's standard output
Each page runs in a scratch directory of its own, its cwd, with a store loaded from
examples/device.json, the example files, the build's programs on PATH and syslog
captured. Other blocks are shown output or text, and are listed as not run.
"""
import glob, os, re, shutil, subprocess, sys, tempfile

SOURCE = sys.argv[1]
PAGES = ["README.md"] + sorted(os.path.relpath(page, SOURCE) for pattern in ("docs/*.md", "docs/*.1")
                               for page in glob.glob(os.path.join(SOURCE, pattern)))
BIN, PRELOAD = os.environ["KELBRIN_BIN"], os.environ["KELBRIN_PRELOAD"]
COMMANDS = r"(?:[A-Z_]+=\S*\s+)*(?:kelbrinclient|kelbrinctl|build/bin/|tools/|bench/|\.ci/|cmake|sqlite3|eval|echo)"
# Commands that a test cannot run, each with the reason; they are listed as skipped.
SKIPPED = [
    (r"tools/|\.ci/|bench/", "a CI stage or benchmark: .ci/run runs it"),
    (r"cmake ", "a build of its own: ctest runs on one"),
    (r".*--follow", "waits for changes until interrupted"),
    (r"sqlite3 .*\$last", "a fragment of the caller's loop ($last is its variable)"),
    (r".*<\w+>", "a synopsis: <words> stand for the caller's"),
]
# Names the pages give to a reader's own group files: copies of the example device.
STAND_INS = ["base.json", "my-device.json", "greenhouse.json"]
# Absolute paths of the pages, kept inside the scratch directory.
PATHS = [("/var/lib/kelbrin/store.db", "store.db"), ("/tmp/", "tmp/"), ("/mnt/", "mnt/")]
BANNER = re.compile(r"^(# Vardel Parameter list, ).*$", re.M)
MAN_TEXT = [(r"\e", "\\"), (r"\-", "-"), (r"\(aq", "'"), (r"\(dq", '"'), (r"\&", ""), (r"\t", "\t")]


def markdown_blocks(text):
    """(line, marker, kind, lines) for each indented or ```json block."""
    lines, blocks, index, marker = text.split("\n"), [], 0, None
    while index < len(lines):
        line = lines[index]
        found = re.fullmatch(r"<!-- test: (.*) -->", line.strip())
        if found:
            marker = found[1]
        elif line.startswith("```"):
            end = lines.index("```", index + 1)
            if line == "```json":
                blocks.append((index + 2, marker, "json", lines[index + 1:end]))
            index, marker = end, None
        elif line.startswith("    ") and (index == 0 or not lines[index - 1].strip()):
            end = index
            while end < len(lines) and (lines[end].startswith("    ") or not lines[end].strip()):
                end += 1
            body = [entry[4:] for entry in lines[index:end]]
            while body and not body[-1].strip():
                body.pop()
            blocks.append((index + 1, marker, "text", body))
            index, marker = end - 1, None
        elif line.strip():
            marker = None
        index += 1
    return blocks


def man_blocks(text):
    """(line, marker, kind, lines) for each .EX/.EE block, roff escapes undone."""
    lines, blocks, marker = text.split("\n"), [], None
    for index, line in enumerate(lines):
        found = re.fullmatch(r'\.\\" test: (.*)', line)
        if found:
            marker = found[1]
        elif line == ".EX":
            body = lines[index + 1:lines.index(".EE", index)]
            for roff, plain in MAN_TEXT:
                body = [entry.replace(roff, plain) for entry in body]
            blocks.append((index + 2, marker, "text", body))
            marker = None
        elif line.startswith(".SH"):
            marker = None
    return blocks


def scratch_dir():
    directory = tempfile.mkdtemp(prefix="docs-")
    shutil.copytree(os.path.join(SOURCE, "examples"), os.path.join(directory, "examples"))
    for name in os.listdir(os.path.join(directory, "examples")):
        if os.path.isfile(os.path.join(directory, "examples", name)):
            shutil.copy(os.path.join(directory, "examples", name), directory)
    for name in STAND_INS:
        shutil.copy(os.path.join(directory, "examples", "device.json"), os.path.join(directory, name))
    for folder in ("build", "tmp", "mnt/backup"):
        os.makedirs(os.path.join(directory, folder))
    os.symlink(BIN, os.path.join(directory, "build", "bin"))
    return directory


def environment(directory):
    env = {key: value for key, value in os.environ.items() if key != "REQUEST_METHOD"}
    env.update(TZ="UTC", LC_ALL="C", HOME=directory, KELBRIN_STORE=os.path.join(directory, "store.db"),
               KELBRIN_CAPTURE_LOG=os.path.join(directory, ".syslog"), LD_PRELOAD=PRELOAD,
               PATH=BIN + ":" + env.get("PATH", "/usr/bin:/bin"))
    # A sanitized program refuses a preload ahead of its runtime otherwise.
    env["ASAN_OPTIONS"] = ":".join(filter(None, [env.get("ASAN_OPTIONS"), "verify_asan_link_order=0"]))
    return env


def run(script, directory):
    inside = dict(PATHS)
    script = re.sub("|".join(map(re.escape, inside)), lambda m: os.path.join(directory, inside[m[0]]), script)
    return subprocess.run(["bash", "-e", "-o", "pipefail", "-c", script], capture_output=True,
                          cwd=directory, env=environment(directory), timeout=60)


def check_json(lines, directory):
    text = "\n".join(lines)
    if re.match(r'\s*\{\s*"parameter"', text):
        text = '{ "groups": [ { "group": "root.DocsExample", "items": [\n' + text + "\n] } ] }"
    open(os.path.join(directory, "block.json"), "w").write(text)
    return run("kelbrinctl check examples/device.json block.json", directory), None


def command_segments(lines, where):
    """(commands, output) pairs: command lines, then the lines they must write; skipped
    commands are left out and listed."""
    segments = []
    for line in lines:
        command = re.match(COMMANDS, line) or re.match(r"\s+#", line) or (
            segments and not segments[-1][1] and segments[-1][0] and segments[-1][0][-1].endswith("\\"))
        if command:
            words = re.sub(r"^([A-Z_]+=\S*\s+)*", "", line)
            reason = next((why for pattern, why in SKIPPED if re.match(pattern, words)), None)
            if reason:
                print(f"skipped {where}: {line}  ({reason})")
                line = ""
            if not segments or segments[-1][1]:
                segments.append(([], []))
            segments[-1][0].append(line)
        elif segments:
            segments[-1][1].append(line)
    return [("\n".join(commands), "\n".join(output)) for commands, output in segments if any(commands)]


def check_marked(marker, lines, directory):
    role, _, command = marker.partition(" of ")
    if role == "input":
        open(os.path.join(directory, "block.txt"), "w").write("\n".join(lines) + "\n")
        return run(command + " block.txt", directory), None
    if role == "output":
        return run(command, directory), "\n".join(lines)
    raise SystemExit(f"unknown marker: test: {marker}")


def passes(result, expected, where):
    output = BANNER.sub(r"\1DATE", result.stdout.decode(errors="replace")).rstrip("\n")
    if result.returncode:
        print(f"FAIL {where}: exit status {result.returncode}\n{result.stdout.decode()}{result.stderr.decode()}")
    elif expected and output != BANNER.sub(r"\1DATE", expected):
        print(f"FAIL {where}: the page shows\n{expected}\nthe commands wrote\n{output}")
    else:
        return True
    return False


def main():
    failures = ran = 0
    for page in PAGES:
        path = os.path.join(SOURCE, page)
        text = open(path, encoding="utf-8").read()
        blocks = man_blocks(text) if page.endswith(".1") else markdown_blocks(text)
        directory = scratch_dir()
        setup = run("kelbrinclient readgroupfile examples/device.json", directory)
        if setup.returncode:
            raise SystemExit(f"cannot load the example device: {setup.stderr.decode()}")
        for line, marker, kind, lines in blocks:
            where = f"{page}:{line}"
            if marker:
                checks = [check_marked(marker, lines, directory)]
            elif kind == "json":
                checks = [check_json(lines, directory)]
            elif re.match(COMMANDS, lines[0]):
                checks = [(run(commands, directory), output) for commands, output in command_segments(lines, where)]
            else:
                print(f"not run {where}: {lines[0]}")
                continue
            for result, expected in checks:
                ran += 1
                failures += not passes(result, expected, where)
        shutil.rmtree(directory)
    print(f"docs: {ran - failures} passed, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
