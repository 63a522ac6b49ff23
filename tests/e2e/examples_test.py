#!/usr/bin/env python3
"""Keeps docs/rules.md, examples/ and the program in step.

In docs/rules.md a line `examples/NAME:` directly before a fenced block marks
the block as the whole text of examples/NAME; every such block must equal its
file byte for byte, and every examples/guide-* file must be shown that way (the sign U+2400 stands
for a NUL byte).

Each examples/guide-T.cmd holds one command line, as the guide shows it. It
runs in a fresh temporary directory holding the example inputs (every file of
examples/ but the .cmd, .out, .stdout and .status files), and then:
  guide-T.out     must equal the file guide-T.out that the run wrote
                  (and a run that writes guide-T.out must have one);
  guide-T.stdout  must equal the standard output; without it the run must
                  print nothing;
  guide-T.status  holds the expected exit status (0 without it).
Standard error must be empty.
"""
import argparse
import os
import re
import shlex
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
EXAMPLES = os.path.join(ROOT, "examples")
GUIDE = os.path.join(ROOT, "docs", "rules.md")
# The README shows some of the guide's examples, marked the same way.
README = os.path.join(ROOT, "README.md")
EXPECTED = (".out", ".stdout", ".status")
# The guide shows a NUL byte of the program's output as this sign.
NUL_SIGN = "\u2400"
MARK = re.compile(r"^examples/([A-Za-z0-9_.-]+):$")

failures = []


def fail(what):
    failures.append(what)
    print("FAIL " + what)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def shown_blocks(text):
    """Maps each file name marked in the guide to the text of its block."""
    blocks = {}
    lines = text.split("\n")
    for i, line in enumerate(lines):
        m = MARK.match(line)
        if not m:
            continue
        name = m.group(1)
        if i + 1 >= len(lines) or not lines[i + 1].startswith("```"):
            fail(f"guide: examples/{name}: is not followed by a code block")
            continue
        end = i + 2
        while end < len(lines) and lines[end] != "```":
            end += 1
        if end == len(lines):
            fail(f"guide: block of examples/{name} is not closed")
            continue
        body = lines[i + 2:end]
        if name in blocks:
            fail(f"guide: examples/{name} is shown twice")
        text = "\n".join(body) + "\n" if body else ""
        blocks[name] = text.encode().replace(NUL_SIGN.encode(), b"\0")
    return blocks


def check_guide():
    blocks = shown_blocks(read(GUIDE).decode())
    for name, body in sorted(blocks.items()):
        path = os.path.join(EXAMPLES, name)
        if not os.path.exists(path):
            fail(f"guide: examples/{name} does not exist")
        elif read(path) != body:
            fail(f"guide: examples/{name} differs from the block shown")
    for name, body in sorted(shown_blocks(read(README).decode()).items()):
        if read(os.path.join(EXAMPLES, name)) != body:
            fail(f"README: examples/{name} differs from the block shown")
    for name in sorted(os.listdir(EXAMPLES)):
        if name.startswith("guide-") and name not in blocks:
            fail(f"guide: examples/{name} is not shown")
    return blocks


def env():
    e = {k: v for k, v in os.environ.items() if k not in ("QVDIR", "QVSYS")}
    e["LC_ALL"] = "C"
    e["LANG"] = "C"
    return e


def run_example(binary, topic):
    base = os.path.join(EXAMPLES, topic)
    lines = read(base + ".cmd").decode().splitlines()
    if len(lines) != 1:
        fail(f"{topic}: .cmd must hold one command line")
        return
    words = shlex.split(lines[0])
    if not words or words[0] != "qvpeep":
        fail(f"{topic}: the command does not start with qvpeep")
        return
    d = tempfile.mkdtemp(prefix="qvpeep-example-")
    try:
        for name in os.listdir(EXAMPLES):
            if not name.endswith(EXPECTED + (".cmd",)):
                shutil.copy(os.path.join(EXAMPLES, name), d)
        p = subprocess.run(words, executable=binary, cwd=d, env=env(), capture_output=True,
                           timeout=60)
        status = int(read(base + ".status")) if os.path.exists(base + ".status") else 0
        if p.returncode & 0xFF != status & 0xFF:
            fail(f"{topic}: exit status {p.returncode}, expected {status}")
        if p.stderr:
            fail(f"{topic}: standard error {p.stderr!r}")
        want = read(base + ".stdout") if os.path.exists(base + ".stdout") else b""
        if p.stdout != want:
            fail(f"{topic}: standard output differs:\n{p.stdout.decode('latin-1')}")
        out = os.path.join(d, topic + ".out")
        if os.path.exists(base + ".out"):
            if not os.path.exists(out):
                fail(f"{topic}: the run wrote no {topic}.out")
            elif read(out) != read(base + ".out"):
                fail(f"{topic}: output differs:\n{read(out).decode('latin-1')}")
        elif os.path.exists(out):
            fail(f"{topic}: the run wrote {topic}.out but examples/ has none")
    finally:
        shutil.rmtree(d)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--binary", required=True)
    binary = os.path.abspath(parser.parse_args().binary)
    check_guide()
    names = os.listdir(EXAMPLES)
    topics = sorted(n[:-4] for n in names if n.startswith("guide-") and n.endswith(".cmd"))
    for name in names:
        stem, ext = os.path.splitext(name)
        if ext in EXPECTED and stem.startswith("guide-") and stem not in topics:
            fail(f"examples/{name} has no {stem}.cmd")
    for topic in topics:
        before = len(failures)
        run_example(binary, topic)
        if len(failures) == before:
            print("ok   " + topic)
    if not topics:
        fail("no examples/guide-*.cmd found")
    bad = len({f.split(":")[0] for f in failures})
    print(f"{len(topics) + 1 - bad} passed, {bad} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
