#!/usr/bin/env python3
"""The input file is never lost: write failures, errors and interrupts at any
instant leave either the whole original input or the whole result, the status
byte, and no work file behind."""
import argparse
import os
import random
import resource
import signal
import subprocess
import sys
import tempfile
import time

RULES = ".replace\n\tinc\t<a>\n.by\n\tadd\t#1,<a>\n"
failures = []


def check(cond, what):
    if not cond:
        failures.append(what)
        print("FAIL " + what)


def env():
    e = {k: v for k, v in os.environ.items() if k not in ("QVDIR", "QVSYS")}
    e["LC_ALL"] = "C"
    return e


def workdir(prog_text):
    d = tempfile.mkdtemp(prefix="qvpeep-safety-")
    with open(os.path.join(d, "rules.rls"), "w") as f:
        f.write(RULES)
    with open(os.path.join(d, "prog.asm"), "w") as f:
        f.write(prog_text)
    return d


def work_files(d):
    return [n for n in os.listdir(d) if n.startswith("wk")]


def read(path):
    with open(path, "rb") as f:
        return f.read()


def big_input(lines):
    return "".join("\tinc\tr%d\n\tmov\tr%d,r%d\t; c\n" % (i % 16, i % 7, i % 5) for i in range(lines))


def test_full_device(binary):
    d = workdir("\tinc\tr5\n" * 1000)
    os.symlink("/dev/full", os.path.join(d, "out.asm"))
    p = subprocess.run([binary, "+s", "rls=rules", "prog.asm", "out.asm"], cwd=d, env=env(),
                       capture_output=True)
    check(p.returncode == 255, f"/dev/full: status {p.returncode}")
    check(p.stdout == b"qvpeep: Cannot write file ``out.asm'': No space left on device\n",
          f"/dev/full: message {p.stdout!r}")
    check(read(os.path.join(d, "prog.asm")) == b"\tinc\tr5\n" * 1000, "/dev/full: input changed")
    check(not work_files(d), "/dev/full: work file left")


def test_file_size_limit(binary):
    text = big_input(20000)
    d = workdir(text)

    def limit():
        signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
        resource.setrlimit(resource.RLIMIT_FSIZE, (100000, 100000))

    p = subprocess.run([binary, "+s", "status=st", "rls=rules", "prog"], cwd=d, env=env(),
                       capture_output=True, preexec_fn=limit)
    check(p.returncode == 255, f"size limit: status {p.returncode}")
    check(p.stdout.startswith(b"qvpeep: Cannot write file ``./wk") and
          p.stdout.endswith(b"'': File too large\n"), f"size limit: message {p.stdout!r}")
    check(read(os.path.join(d, "prog.asm")) == text.encode(), "size limit: input changed")
    check(read(os.path.join(d, "st")) == b"\xff", "size limit: status byte")
    check(not work_files(d), "size limit: work file left")


def test_mode_kept(binary):
    d = workdir("\tinc\tr5\n")
    path = os.path.join(d, "prog.asm")
    os.chmod(path, 0o640)
    p = subprocess.run([binary, "+s", "rls=rules", "prog"], cwd=d, env=env(), capture_output=True)
    check(p.returncode == 0, f"mode: status {p.returncode}")
    check(read(path) == b"\tadd\t#1,r5\n", "mode: result")
    check(os.stat(path).st_mode & 0o7777 == 0o640, "mode: permission bits changed")


def test_other_file_system(binary):
    d = workdir("")
    other = tempfile.mkdtemp(prefix="qvpeep-other-", dir="/dev/shm") if os.path.isdir("/dev/shm") else None
    if not other or os.stat(other).st_dev == os.stat(d).st_dev:
        print("skip: no second file system")
        return
    path = os.path.join(other, "prog.asm")
    with open(path, "w") as f:
        f.write("\tinc\tr5\n\tnop\n")
    os.chmod(path, 0o600)
    p = subprocess.run([binary, "+s", "rls=rules", path], cwd=d, env=env(), capture_output=True)
    check(p.returncode == 0, f"other fs: status {p.returncode} {p.stdout!r}")
    check(read(path) == b"\tadd\t#1,r5\n\tnop\n", "other fs: result")
    check(os.stat(path).st_mode & 0o7777 == 0o600, "other fs: permission bits")
    check(os.listdir(other) == ["prog.asm"], f"other fs: left {os.listdir(other)}")
    check(not work_files(d), "other fs: work file left")


def test_interrupts(binary, tries):
    text = big_input(150000).encode()
    # One whole run gives the result and how long a run takes; the
    # interrupts then fall at instants spread over such a run.
    d = workdir(text.decode())
    start = time.monotonic()
    subprocess.run([binary, "+s", "rls=rules", "prog"], cwd=d, env=env(), capture_output=True)
    length = time.monotonic() - start
    result = read(os.path.join(d, "prog.asm"))
    statuses = {}
    for i in range(tries):
        d = workdir(text.decode())
        delay = 0.01 + length * i / tries
        p = subprocess.Popen([binary, "+s", "status=st", "rls=rules", "prog"], cwd=d, env=env(),
                             stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        time.sleep(delay)
        p.send_signal(signal.SIGINT)
        out, err = p.communicate()
        statuses[p.returncode] = statuses.get(p.returncode, 0) + 1
        data = read(os.path.join(d, "prog.asm"))
        # -SIGINT: the signal came before the handler was installed, which
        # happens before any file is touched.
        check(p.returncode in (0, 2, -signal.SIGINT),
              f"interrupt after {delay:.3f}s: status {p.returncode}")
        check(data == text or data == result,
              f"interrupt after {delay:.3f}s: input neither whole original nor whole result")
        check(not work_files(d), f"interrupt after {delay:.3f}s: work file left {work_files(d)}")
        check(err == b"", "interrupt: standard error not empty")
        if p.returncode == 2:
            check(read(os.path.join(d, "st")) == b"\x00", "interrupt: status byte")
    print(f"interrupts: exit statuses {statuses}")
    check(statuses.get(2, 0) > 0, "interrupt: no run was interrupted")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--binary", required=True)
    parser.add_argument("--tries", type=int, default=12)
    opts = parser.parse_args()
    binary = os.path.abspath(opts.binary)
    test_full_device(binary)
    test_file_size_limit(binary)
    test_mode_kept(binary)
    test_other_file_system(binary)
    test_interrupts(binary, opts.tries)
    print(f"{5 - len(set(f.split(':')[0] for f in failures))} passed, "
          f"{len(set(f.split(':')[0] for f in failures))} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
