#!/usr/bin/env python3
"""Runs the built program on golden case folders and compares every byte.

A case folder holds:
  cmd      one run per line: the argument words (shell quoting); runs go in order;
           $REPO in a word stands for the repository root (cases that run files
           of the repository, such as the rules library)
  env      optional NAME=VALUE lines; QVDIR and QVSYS are unset unless set here
  argv0    optional invocation name (argument word 0), default "qvpeep"
  in/      optional files copied into a fresh temporary directory before the runs
  stdout   expected standard output of all runs together
  status   expected exit status of each run, one per line
  out/     expected files after the runs that are new or differ from in/;
           a file of in/ that is not in out/ must be left unchanged
  gone     optional: names of in/ files that must no longer exist, one per line
Standard error must always be empty. Work-file names in standard output
(./wk and six characters, chosen at random) read as ./wkXXXXXX. With --rebase the expectations are
rewritten from what the program does now: review the diff before committing.
"""
import argparse
import difflib
import os
import re
import shlex
import shutil
import subprocess
import sys
import tempfile

REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def read_tree(root):
    files = {}
    for dirpath, _, names in os.walk(root):
        for name in names:
            path = os.path.join(dirpath, name)
            rel = os.path.relpath(path, root)
            if os.path.islink(path) and not os.path.exists(path):
                files[rel] = b"<dangling link>"
                continue
            with open(path, "rb") as f:
                files[rel] = f.read()
    return files


def show(data):
    return data.decode("latin-1").splitlines(keepends=True)


def run_case(binary, case):
    with open(os.path.join(case, "cmd")) as f:
        runs = [[word.replace("$REPO", REPO) for word in shlex.split(line)]
                for line in f.read().split("\n")[:-1]] or [[]]
    env = {k: v for k, v in os.environ.items() if k not in ("QVDIR", "QVSYS")}
    env["LC_ALL"] = "C"
    env["LANG"] = "C"
    env_file = os.path.join(case, "env")
    if os.path.exists(env_file):
        with open(env_file) as f:
            for line in f.read().splitlines():
                if line:
                    name, _, value = line.partition("=")
                    env[name] = value
    argv0 = "qvpeep"
    argv0_file = os.path.join(case, "argv0")
    if os.path.exists(argv0_file):
        with open(argv0_file) as f:
            argv0 = f.read().rstrip("\n")

    with tempfile.TemporaryDirectory(prefix="qvpeep-e2e-") as tmp:
        work = os.path.join(tmp, "work")
        if os.path.isdir(os.path.join(case, "in")):
            shutil.copytree(os.path.join(case, "in"), work, symlinks=True)
        else:
            os.mkdir(work)
        stdout, stderr, statuses = b"", b"", []
        for args in runs:
            p = subprocess.run([argv0] + args, executable=binary, cwd=work, env=env,
                               stdin=subprocess.DEVNULL, capture_output=True, timeout=120)
            stdout += p.stdout
            stderr += p.stderr
            statuses.append(p.returncode if p.returncode >= 0 else 128 - p.returncode)
        stdout = re.sub(rb"\./wk[A-Za-z0-9]{6}", b"./wkXXXXXX", stdout)
        return stdout, stderr, statuses, read_tree(work)


def expected(case):
    def read(name, default=b""):
        path = os.path.join(case, name)
        if not os.path.exists(path):
            return default
        with open(path, "rb") as f:
            return f.read()
    in_dir = os.path.join(case, "in")
    files = read_tree(in_dir) if os.path.isdir(in_dir) else {}
    out_dir = os.path.join(case, "out")
    if os.path.isdir(out_dir):
        files.update(read_tree(out_dir))
    for name in read("gone").decode().split("\n"):
        files.pop(name, None)
    statuses = [int(s) for s in read("status").split()]
    return read("stdout"), statuses, files


def rebase(case, stdout, statuses, files):
    with open(os.path.join(case, "stdout"), "wb") as f:
        f.write(stdout)
    with open(os.path.join(case, "status"), "w") as f:
        f.write("".join(f"{s}\n" for s in statuses))
    in_dir = os.path.join(case, "in")
    given = read_tree(in_dir) if os.path.isdir(in_dir) else {}
    out_dir = os.path.join(case, "out")
    shutil.rmtree(out_dir, ignore_errors=True)
    gone = sorted(set(given) - set(files))
    gone_file = os.path.join(case, "gone")
    if gone:
        with open(gone_file, "w") as f:
            f.write("".join(name + "\n" for name in gone))
    elif os.path.exists(gone_file):
        os.remove(gone_file)
    for rel, data in files.items():
        if given.get(rel) == data:
            continue
        path = os.path.join(out_dir, rel)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)


def compare(name, stdout, stderr, statuses, files, want):
    want_stdout, want_statuses, want_files = want
    problems = []
    if stderr:
        problems.append("standard error is not empty:\n" + stderr.decode("latin-1"))
    if statuses != want_statuses:
        problems.append(f"exit status {statuses}, expected {want_statuses}")
    if stdout != want_stdout:
        diff = difflib.unified_diff(show(want_stdout), show(stdout), "expected", "actual")
        problems.append("standard output differs:\n" + "".join(diff))
    for rel in sorted(set(files) | set(want_files)):
        if rel not in files:
            problems.append(f"file {rel} is missing")
        elif rel not in want_files:
            problems.append(f"unexpected file {rel} left behind")
        elif files[rel] != want_files[rel]:
            diff = difflib.unified_diff(show(want_files[rel]), show(files[rel]),
                                        "expected", "actual")
            problems.append(f"file {rel} differs:\n" + "".join(diff))
    return problems


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--binary", required=True)
    parser.add_argument("--rebase", action="store_true",
                        help="rewrite the expectations from the current output")
    parser.add_argument("cases", help="folder of case folders")
    parser.add_argument("filter", nargs="*", help="run only cases whose name contains one of these")
    opts = parser.parse_args()
    binary = os.path.abspath(opts.binary)
    names = sorted(n for n in os.listdir(opts.cases)
                   if os.path.isfile(os.path.join(opts.cases, n, "cmd")))
    if opts.filter:
        names = [n for n in names if any(f in n for f in opts.filter)]
    passed = failed = 0
    for name in names:
        case = os.path.join(opts.cases, name)
        stdout, stderr, statuses, files = run_case(binary, case)
        if opts.rebase:
            rebase(case, stdout, statuses, files)
        problems = compare(name, stdout, stderr, statuses, files, expected(case))
        if problems:
            failed += 1
            print(f"FAIL {name}")
            for p in problems:
                print("  " + p.replace("\n", "\n  "))
        else:
            passed += 1
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
