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
        # As a shell leaves it: the signal would end the run (a former bug).
        signal.signal(signal.SIGXFSZ, signal.SIG_DFL)
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


# Former bugs: each of these ended in a crash, a hang, a work file left
# behind, or success reported while the input or a message was lost.
USAGE_END = b"If output-vop-file is not given, vop-file will be overwritten\n"


def setup_loop(d):
    with open(os.path.join(d, "loop.x"), "w") as f:
        f.write("+s\nx=loop.x\n")


def setup_links(d):
    os.symlink("prog.asm", os.path.join(d, "soft.asm"))
    os.link(os.path.join(d, "prog.asm"), os.path.join(d, "hard.asm"))


def setup_dirs(d):
    for name in ("dir.asm", "dir.rls", "dir.x", "dirsys.zcf"):
        os.mkdir(os.path.join(d, name))


def no_core_limit():
    resource.setrlimit(resource.RLIMIT_CORE, (0, 0))


FORMER_BUGS = [
    # (what, setup, argument words, status, standard output: exact bytes, or a (start, end) pair; standard error)
    ("option file naming itself", setup_loop, ["x=loop.x", "prog.asm", "o.asm"], 255,
     (b'qvpeep 1.07 2003/05/14\n"loop.x", line 2: qvpeep options files nested more than 16 deep at loop.x\n',
      USAGE_END), b""),
    ("output is the input by another name", None, ["rls=rules", "prog.asm", "./prog.asm"], 255,
     (b"qvpeep 1.07 2003/05/14\nOutput file must be different from input file\n", USAGE_END), b""),
    ("output is a symbolic link to the input", setup_links, ["rls=rules", "prog.asm", "soft.asm"], 255,
     (b"qvpeep 1.07 2003/05/14\nOutput file must be different from input file\n", USAGE_END), b""),
    ("output is a hard link to the input", setup_links, ["rls=rules", "prog.asm", "hard.asm"], 255,
     (b"qvpeep 1.07 2003/05/14\nOutput file must be different from input file\n", USAGE_END), b""),
    ("input is a directory", setup_dirs, ["+s", "rls=rules", "dir.asm", "o.asm"], 255,
     b"qvpeep: Cannot open file ``dir.asm'' for ``r'': Is a directory\n", b""),
    ("rules file is a directory", setup_dirs, ["+s", "rls=dir.rls", "prog.asm"], 255,
     b"qvpeep: Cannot read file ``dir.rls'': Is a directory\n", b""),
    ("option file is a directory", setup_dirs, ["x=dir.x", "prog.asm"], 255,
     (b"qvpeep 1.07 2003/05/14\nCannot read qvpeep options file dir.x\n", USAGE_END), b""),
    ("configuration file is a directory", setup_dirs, ["+s", "rls=rules", "prog.asm", "o.asm"], 255,
     b"qvpeep: Cannot read file ``./dirsys.zcf'': Is a directory\n", b"", {"QVSYS": "dirsys"}),
    ("status byte on a full device", None, ["+s", "status=/dev/full", "rls=rules", "prog.asm", "r.asm"], 255,
     b'"prog.asm", line 2: Could not write ``status=\'\' file\n', b""),
    ("messages to a full device", None, ["msg=/dev/full", "rls=rules", "prog.asm", "r.asm"], 255,
     b"", b"qvpeep: Cannot write messages: No space left on device\n"),
]


def test_former_bugs(binary):
    text = b"\tinc\tr5\n\tnop\n"
    for what, setup, words, status, out, err, *extra in FORMER_BUGS:
        run_env = env()
        run_env.update(extra[0] if extra else {})
        d = workdir(text.decode())
        if setup:
            setup(d)
        try:
            p = subprocess.run([binary] + words, cwd=d, env=run_env, capture_output=True, timeout=20,
                               preexec_fn=no_core_limit)
        except subprocess.TimeoutExpired:
            check(False, f"{what}: did not end")
            continue
        what = "former bugs: " + what
        check(p.returncode == status, f"{what}: status {p.returncode}")
        if isinstance(out, tuple):
            check(p.stdout.startswith(out[0]) and out[1] in p.stdout, f"{what}: output {p.stdout!r}")
        else:
            check(p.stdout == out, f"{what}: output {p.stdout!r}")
        check(p.stderr == err, f"{what}: standard error {p.stderr!r}")
        check(read(os.path.join(d, "prog.asm")) == text, f"{what}: input changed")
        check(not os.path.exists(os.path.join(d, "o.asm")), f"{what}: a result was written")
        check(not work_files(d), f"{what}: work file left")


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
    test_former_bugs(binary)
    print(f"{6 - len(set(f.split(':')[0] for f in failures))} passed, "
          f"{len(set(f.split(':')[0] for f in failures))} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
