#!/usr/bin/env python3
"""Runs the setup program on one case of tests/flow/cases and compares.

A case is a directory; every file in it is optional:

  about.txt     what the case shows (printed when it fails)
  tree.txt      the scratch directory before the run, one entry a line:
                  package examples        copy of the example package
                  dir PATH                a directory (parents too)
                  file PATH = TEXT        a file; \\r \\n \\t \\\\ are escapes
                  repeat PATH N = TEXT    N lines TEXT appended, %d = 1..N
                  date PATH = YYYY-MM-DD HH:MM[:SS]   last-write time (UTC)
                blank lines and lines starting with "#" are ignored
  version.psc   the script, copied to set/version.psc (after tree.txt)
  hive.reg      the registry hive (SETUP_REGISTRY); without it the variable
                is not set
  answers.txt   standard input of setup
  expected.txt  standard output of setup, compared exactly; "@repeat N TEXT"
                stands for N lines TEXT with %d = 1..N
  files.txt     the listing of hosts/ after the run: "DIR/" for a
                directory, "PATH = TEXT" for a file (escaped as in tree.txt,
                "<N bytes>" beyond 100 bytes)
  stderr.txt    standard error of setup (empty when the file is missing)

@ROOT@ in tree.txt, hive.reg, answers.txt, expected.txt and stderr.txt
stands for the scratch directory, in which setup runs. The exit code must be
0. With FLOW_UPDATE=1 in the environment the outputs are written back into
the case (review them before committing).
"""

import argparse
import calendar
import difflib
import os
import shutil
import subprocess
import sys
import time

ROOT_MARK = "@ROOT@"


def unescape(text):
    out = []
    i = 0
    while i < len(text):
        c = text[i]
        if c == "\\" and i + 1 < len(text):
            nxt = text[i + 1]
            if nxt in "rnt\\":
                out.append({"r": "\r", "n": "\n", "t": "\t", "\\": "\\"}[nxt])
                i += 2
                continue
        out.append(c)
        i += 1
    return "".join(out)


def escape(data):
    text = data.decode("latin-1")
    return (text.replace("\\", "\\\\").replace("\r", "\\r").replace("\n", "\\n")
            .replace("\t", "\\t"))


def read_text(path, root):
    if not os.path.exists(path):
        return None
    with open(path, "rb") as f:
        return f.read().decode("latin-1").replace(ROOT_MARK, root)


def expand_repeats(text):
    lines = []
    for line in text.split("\n"):
        if line.startswith("@repeat "):
            _, count, template = line.split(" ", 2)
            lines.extend(template.replace("%d", str(n)) for n in range(1, int(count) + 1))
        else:
            lines.append(line)
    return "\n".join(lines)


def fail(message):
    raise SystemExit(message)


def split_entry(rest, lineno):
    if " = " not in rest:
        fail("tree.txt line %d: missing ' = '" % lineno)
    return rest.split(" = ", 1)


def lay_out(tree, scratch, examples):
    """Builds the scratch directory from tree.txt."""
    for lineno, line in enumerate(tree.split("\n"), 1):
        line = line.rstrip("\r")
        if not line.strip() or line.startswith("#"):
            continue
        word, _, rest = line.partition(" ")
        if word == "package" and rest == "examples":
            shutil.copytree(examples, scratch, dirs_exist_ok=True)
        elif word == "dir":
            os.makedirs(os.path.join(scratch, rest), exist_ok=True)
        elif word == "file":
            path, text = split_entry(rest, lineno)
            full = os.path.join(scratch, path)
            os.makedirs(os.path.dirname(full), exist_ok=True)
            with open(full, "wb") as f:
                f.write(unescape(text).encode("latin-1"))
        elif word == "repeat":
            head, text = split_entry(rest, lineno)
            path, count = head.rsplit(" ", 1)
            full = os.path.join(scratch, path)
            os.makedirs(os.path.dirname(full), exist_ok=True)
            with open(full, "ab") as f:
                for n in range(1, int(count) + 1):
                    f.write(unescape(text.replace("%d", str(n))).encode("latin-1"))
        elif word == "date":
            path, stamp = split_entry(rest, lineno)
            form = "%Y-%m-%d %H:%M:%S" if stamp.count(":") == 2 else "%Y-%m-%d %H:%M"
            seconds = calendar.timegm(time.strptime(stamp, form))
            os.utime(os.path.join(scratch, path), (seconds, seconds))
        else:
            fail("tree.txt line %d: cannot read %r" % (lineno, line))


def listing(scratch):
    """The hosts/ tree as files.txt writes it."""
    base = os.path.join(scratch, "hosts")
    lines = []
    for directory, dirs, files in os.walk(base):
        dirs.sort()
        rel_dir = os.path.relpath(directory, scratch)
        entries = sorted([(d, True) for d in dirs] + [(f, False) for f in files])
        for name, is_dir in entries:
            rel = os.path.join(rel_dir, name)
            if is_dir:
                lines.append(rel + "/")
                continue
            with open(os.path.join(directory, name), "rb") as f:
                data = f.read()
            shown = "<%d bytes>" % len(data) if len(data) > 100 else escape(data)
            lines.append("%s = %s" % (rel, shown))
    lines.sort()
    return "".join(line + "\n" for line in lines)


def compare(what, expected, actual):
    if expected == actual:
        return True
    sys.stdout.write("--- %s differs (expected / actual):\n" % what)
    sys.stdout.writelines(difflib.unified_diff(
        expected.splitlines(True), actual.splitlines(True), "expected", "actual"))
    if not actual.endswith("\n") or not expected.endswith("\n"):
        sys.stdout.write("\n(a last line without a line end)\n")
    return False


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--setup", required=True)
    parser.add_argument("--case", required=True)
    parser.add_argument("--examples", required=True)
    parser.add_argument("--work", required=True)
    args = parser.parse_args()

    case = os.path.abspath(args.case)
    scratch = os.path.abspath(args.work)
    if os.path.exists(scratch):
        shutil.rmtree(scratch)
    os.makedirs(scratch)

    tree = read_text(os.path.join(case, "tree.txt"), scratch)
    if tree is not None:
        lay_out(tree, scratch, args.examples)
    script = os.path.join(case, "version.psc")
    if os.path.exists(script):
        os.makedirs(os.path.join(scratch, "set"), exist_ok=True)
        shutil.copyfile(script, os.path.join(scratch, "set", "version.psc"))
    env = dict(os.environ, TZ="UTC", LC_ALL="C")
    env.pop("SETUP_REGISTRY", None)
    hive = read_text(os.path.join(case, "hive.reg"), scratch)
    if hive is not None:
        hive_path = os.path.join(scratch, "hive.reg")
        with open(hive_path, "wb") as f:
            f.write(hive.encode("latin-1"))
        env["SETUP_REGISTRY"] = hive_path
    answers = read_text(os.path.join(case, "answers.txt"), scratch) or ""

    # The limit only keeps a hanging run from blocking the suite.
    run = subprocess.run([os.path.abspath(args.setup)], cwd=scratch, env=env,
                         input=answers.encode("latin-1"), stdout=subprocess.PIPE,
                         stderr=subprocess.PIPE, timeout=120)
    stdout = run.stdout.decode("latin-1")
    stderr = run.stderr.decode("latin-1")
    files = listing(scratch)

    if os.environ.get("FLOW_UPDATE") == "1":
        for name, text in (("expected.txt", stdout), ("files.txt", files)):
            with open(os.path.join(case, name), "wb") as f:
                f.write(text.replace(scratch, ROOT_MARK).encode("latin-1"))

    ok = True
    if run.returncode != 0:
        print("--- exit code %d, expected 0" % run.returncode)
        ok = False
    expected = read_text(os.path.join(case, "expected.txt"), scratch)
    ok = compare("transcript", expand_repeats(expected or ""), stdout) and ok
    ok = compare("files under hosts/", read_text(os.path.join(case, "files.txt"), scratch) or "",
                 files) and ok
    ok = compare("standard error", read_text(os.path.join(case, "stderr.txt"), scratch) or "",
                 stderr) and ok
    if not ok:
        about = read_text(os.path.join(case, "about.txt"), scratch)
        if about:
            print("--- the case: " + about.strip())
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
