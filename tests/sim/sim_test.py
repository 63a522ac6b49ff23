#!/usr/bin/env python3
"""Runs MSP430 programs before and after qvpeep in the simulator.

Each C program of programs/ is compiled at every level, each assembly case
of asm/ is taken as it is; qvpeep rewrites the assembly with the rules being
tested, both versions are assembled, linked with the runtime and run in
mspdebug's simulator, and the bytes of the program's `result` array must come
out the same.  The table shows what the rules saved: text bytes of the
program's own object, cycles of the whole run, and lines changed.

Exit status 1 on any difference in `result`, any tool failure or time-out,
and any program that got slower; with --expect-difference, 0 only when some
difference was found (tool failures still fail).
"""

import argparse
import concurrent.futures
import difflib
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
RUNTIME = os.path.join(HERE, "runtime")
LEVELS = ["O0", "O1", "Os", "O2"]
TOOLS = ["clang", "llvm-mc", "ld.lld", "llvm-nm", "llvm-size", "mspdebug", "timeout"]
EMBEDDED_MARK = re.compile(r"^\s*;\s*rules:\s*embedded\b")

RUN_TIMEOUT = 20
# A rewritten program that hangs is told apart from a slow machine by
# comparing with the original's run, so planted faults do not cost 20 s each.
HANG_FACTOR = 50
HANG_FLOOR = 5
QVPEEP_TIMEOUT = 60

# What qvpeep may print with +s +stats when all is well.
STATS_LINE = re.compile(
    r"^(-+(Pass# \d+ |Final Statistics)?-+"
    r"|\d+ VOPs? read in"
    r"|\d+ VOPs? written out ?(\(a \d+\.\d% (de|in)crease\))?"
    r"|\d+ optimizations? made"
    r"| - in \d+ optimizations?, the number of VOPs (decreased|remained the same|increased))$")


class ToolFailure(Exception):
    pass


def run_tool(args, cwd, timeout=120, env=None):
    try:
        p = subprocess.run(args, cwd=cwd, env=env, stdout=subprocess.PIPE,
                           stderr=subprocess.STDOUT, text=True, timeout=timeout)
    except subprocess.TimeoutExpired:
        raise ToolFailure("%s timed out after %d s" % (os.path.basename(args[0]), timeout))
    if p.returncode != 0:
        raise ToolFailure("%s exited with %d:\n%s" % (" ".join(args), p.returncode, p.stdout.rstrip()))
    return p.stdout


class Case:
    def __init__(self, name, source, level, embedded, rules):
        self.name = name
        self.source = source
        self.level = level          # None for an assembly case
        self.embedded = embedded
        self.rules = rules          # absolute path, or None with embedded
        self.text = None            # (before, after)
        self.cycles = None
        self.lines_changed = None
        self.stats = ""
        self.status = "ok"
        self.detail = ""

    @property
    def label(self):
        return self.level or "asm"


def code_lines(path):
    """The lines of an assembly file that say something to the assembler:
    qvpeep moves comments and rewrites spacing, which changes no code."""
    out = []
    with open(path, errors="replace") as f:
        for line in f:
            text, quoted = [], False
            for ch in line:
                if ch == '"':
                    quoted = not quoted
                elif ch == ";" and not quoted:
                    break
                text.append(ch)
            norm = re.sub(r"\s*,\s*", ",", " ".join("".join(text).split()))
            # A label written before its operation comes out on a line of its own.
            label = re.match(r"([A-Za-z_.$][\w.$]*:) (.*)", norm)
            out += label.groups() if label else [norm] if norm else []
    return out


def lines_changed(before, after):
    n = 0
    for line in difflib.unified_diff(code_lines(before), code_lines(after), lineterm="", n=0):
        if line.startswith(("---", "+++")):
            continue
        if line.startswith(("-", "+")):
            n += 1
    return n


def text_size(obj, cwd):
    total = 0
    for line in run_tool(["llvm-size", "-A", obj], cwd).splitlines():
        parts = line.split()
        if len(parts) >= 2 and (parts[0] == ".text" or parts[0].startswith(".text.")):
            total += int(parts[1])
    return total


def symbols(elf, cwd):
    syms = {}
    for line in run_tool(["llvm-nm", "-S", "--defined-only", elf], cwd).splitlines():
        parts = line.split()
        if len(parts) == 4:
            syms[parts[3]] = (int(parts[0], 16), int(parts[1], 16))
        elif len(parts) == 3:
            syms[parts[2]] = (int(parts[0], 16), 0)
    return syms


class RunOutcome:
    def __init__(self, reached, result, cycles, why, seconds):
        self.reached = reached
        self.result = result
        self.cycles = cycles
        self.why = why
        self.seconds = seconds


def simulate(elf, cwd, timeout):
    syms = symbols(elf, cwd)
    if "__qv_end" not in syms:
        raise ToolFailure("%s has no __qv_end: not linked with crt0" % elf)
    if "result" not in syms or syms["result"][1] == 0:
        raise ToolFailure("%s has no sized global `result`" % elf)
    end = syms["__qv_end"][0]
    addr, size = syms["result"]
    args = ["timeout", str(timeout), "mspdebug", "-n", "sim", "prog %s" % elf,
            "setbreak 0x%x" % end, "simio add tracer t", "run",
            "md 0x%x %d" % (addr, size), "simio info t"]
    start = time.monotonic()
    p = subprocess.run(args, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                       text=True, errors="replace")
    seconds = time.monotonic() - start
    if p.returncode == 124:
        return RunOutcome(False, None, None, "did not reach __qv_end within %g s" % timeout, seconds)
    if p.returncode != 0:
        # Once the run has begun, a failing mspdebug means the program did
        # something the simulator refuses, such as an unknown opcode.
        if "Running." not in p.stdout:
            raise ToolFailure("mspdebug exited with %d:\n%s" % (p.returncode, p.stdout.rstrip()))
        last = p.stdout.split("Running.", 1)[1].strip().splitlines()[1:] or ["(no message)"]
        return RunOutcome(False, None, None, "stopped the simulator: " + last[-1].strip(), seconds)
    pc = re.search(r"\(\s*PC:\s*([0-9a-fA-F]+)\)", p.stdout)
    if not pc:
        raise ToolFailure("mspdebug printed no registers:\n%s" % p.stdout.rstrip())
    if int(pc.group(1), 16) != end:
        return RunOutcome(False, None, None, "stopped at 0x%s, not at __qv_end (0x%x)"
                          % (pc.group(1), end), seconds)
    data = bytearray()
    for m in re.finditer(r"^\s*([0-9a-fA-F]{4,5}):((?: [0-9a-fA-F]{2})+)", p.stdout, re.M):
        if addr <= int(m.group(1), 16) < addr + size:
            data += bytes(int(b, 16) for b in m.group(2).split())
    if len(data) != size:
        raise ToolFailure("read %d of the %d bytes of result:\n%s" % (len(data), size, p.stdout))
    mclk = re.search(r"^MCLK:\s+(\d+)", p.stdout, re.M)
    if not mclk:
        raise ToolFailure("the tracer gave no MCLK count:\n%s" % p.stdout.rstrip())
    return RunOutcome(True, bytes(data), int(mclk.group(1)), "", seconds)


def run_qvpeep(case, binary, stats, cwd):
    args = [binary, "+s"] + (["+stats"] if stats else [])
    env = dict(os.environ)
    if case.embedded:
        env.pop("QVDIR", None)
        env.pop("QVSYS", None)
    else:
        args.append("rls=" + case.rules)
    args += ["before.s", "after.s"]
    try:
        p = subprocess.run(args, cwd=cwd, env=env, stdout=subprocess.PIPE,
                           stderr=subprocess.STDOUT, text=True, timeout=QVPEEP_TIMEOUT)
    except subprocess.TimeoutExpired:
        raise ToolFailure("qvpeep timed out after %d s" % QVPEEP_TIMEOUT)
    # +s leaves only messages, and the statistics when asked for.
    messages = [l for l in p.stdout.splitlines() if not (stats and STATS_LINE.match(l))]
    if p.returncode != 0 or messages:
        raise ToolFailure("qvpeep exited with %d:\n%s" % (p.returncode, p.stdout.rstrip()))
    if not os.path.exists(os.path.join(cwd, "after.s")):
        raise ToolFailure("qvpeep wrote no output file")
    return p.stdout


def run_case(case, binary, runtime_objs, workroot, stats):
    cwd = tempfile.mkdtemp(prefix="%s-%s-" % (case.name, case.label), dir=workroot)
    try:
        if case.level:
            run_tool(["clang", "-target", "msp430", "-" + case.level, "-S", case.source,
                      "-o", "before.s"], cwd)
        else:
            shutil.copyfile(case.source, os.path.join(cwd, "before.s"))
        case.stats = run_qvpeep(case, binary, stats, cwd)
        case.lines_changed = lines_changed(os.path.join(cwd, "before.s"),
                                           os.path.join(cwd, "after.s"))
        sizes = []
        for side in ("before", "after"):
            run_tool(["llvm-mc", "-triple=msp430", "-filetype=obj", side + ".s",
                      "-o", side + ".o"], cwd)
            sizes.append(text_size(side + ".o", cwd))
            run_tool(["ld.lld", "-T", os.path.join(RUNTIME, "link.ld")] + runtime_objs
                     + [side + ".o", "-o", side + ".elf"], cwd)
        case.text = tuple(sizes)
        before = simulate("before.elf", cwd, RUN_TIMEOUT)
        if not before.reached:
            raise ToolFailure("the original program " + before.why)
        bound = min(RUN_TIMEOUT, max(HANG_FLOOR, HANG_FACTOR * before.seconds))
        after = simulate("after.elf", cwd, round(bound, 1))
        case.cycles = (before.cycles, after.cycles if after.reached else None)
        if not after.reached:
            case.status, case.detail = "DIFF", "the rewritten program " + after.why
        elif after.result != before.result:
            case.status = "DIFF"
            case.detail = "result differs:\n  before %s\n  after  %s" % (
                before.result.hex(" "), after.result.hex(" "))
        elif after.cycles > before.cycles:
            case.status, case.detail = "SLOWER", "%d cycles before, %d after" % case.cycles
    except ToolFailure as e:
        case.status, case.detail = "FAIL", str(e)
    finally:
        shutil.rmtree(cwd, ignore_errors=True)
    return case


def pct_saved(before, after):
    return 100.0 * (before - after) / before if before else 0.0


def print_table(cases):
    head = "%-24s %-5s %7s %7s %10s %10s %6s  %s" % (
        "program", "level", "text", "text'", "cycles", "cycles'", "lines", "status")
    print(head)
    print("-" * len(head))

    def fmt(v):
        return "-" if v is None else str(v)

    for c in cases:
        t = c.text or (None, None)
        cy = c.cycles or (None, None)
        print("%-24s %-5s %7s %7s %10s %10s %6s  %s" % (
            c.name, c.label, fmt(t[0]), fmt(t[1]), fmt(cy[0]), fmt(cy[1]),
            fmt(c.lines_changed), c.status))
    print()
    print("%-8s %8s %8s %7s %11s %11s %7s %7s" % (
        "level", "text", "text'", "saved", "cycles", "cycles'", "saved", "lines"))
    for label in LEVELS + ["asm"]:
        # Runs that did not reach the end have no cycle count to add up.
        group = [c for c in cases if c.label == label and c.text and c.cycles
                 and None not in c.cycles]
        if not group:
            continue
        tb = sum(c.text[0] for c in group)
        ta = sum(c.text[1] for c in group)
        cb = sum(c.cycles[0] for c in group)
        ca = sum(c.cycles[1] for c in group)
        lc = sum(c.lines_changed for c in group)
        print("%-8s %8d %8d %6.1f%% %11d %11d %6.1f%% %7d" % (
            label, tb, ta, pct_saved(tb, ta), cb, ca, pct_saved(cb, ca), lc))


def collect_cases(args):
    default_rules = os.path.join(ROOT, "rules", "msp430.rls")
    rules = os.path.abspath(args.rules) if args.rules else default_rules
    if not os.path.splitext(rules)[1] and not os.path.exists(rules):
        rules += ".rls"  # as qvpeep completes rls= names
    if not args.embedded and not os.path.isfile(rules):
        sys.exit("sim_test: no rules file %s" % rules)

    def make(name, source, level, marked):
        # The mark picks the compiled-in rules for a case unless a rules file
        # was named on the command line, which is then tested on every case.
        embedded = args.embedded or (marked and not args.rules)
        return Case(name, source, level, embedded, None if embedded else rules)

    levels = args.levels.split(",")
    for level in levels:
        if level not in LEVELS:
            sys.exit("sim_test: unknown level %s (one of %s)" % (level, ",".join(LEVELS)))
    if args.program:
        sources = [os.path.abspath(args.program)]
    else:
        sources = sorted(
            [os.path.join(HERE, "programs", f) for f in os.listdir(os.path.join(HERE, "programs"))
             if f.endswith(".c")]
            + [os.path.join(HERE, "asm", f) for f in os.listdir(os.path.join(HERE, "asm"))
               if f.endswith(".s")],
            key=lambda p: (p.endswith(".s"), os.path.basename(p)))
    names = {os.path.splitext(os.path.basename(s))[0] for s in sources}
    for name in args.only or []:
        if name not in names:
            sys.exit("sim_test: no program or assembly case named %s" % name)
    cases = []
    for src in sources:
        name = os.path.splitext(os.path.basename(src))[0]
        if args.only and name not in args.only:
            continue
        if not os.path.isfile(src):
            sys.exit("sim_test: no such file %s" % src)
        if src.endswith(".c"):
            cases += [make(name, src, level, False) for level in levels]
        else:
            with open(src) as f:
                marked = bool(EMBEDDED_MARK.match(f.readline()))
            cases.append(make(name, src, None, marked))
    return cases


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--binary", required=True, help="the qvpeep program to test")
    which = ap.add_mutually_exclusive_group()
    which.add_argument("--rules", help="rules file (default: rules/msp430.rls)")
    which.add_argument("--embedded", action="store_true", help="the compiled-in rules")
    ap.add_argument("--levels", default=",".join(LEVELS))
    ap.add_argument("--only", nargs="+", action="extend", metavar="NAME")
    ap.add_argument("--jobs", type=int, default=2)
    ap.add_argument("--expect-difference", action="store_true",
                    help="pass only if some program behaves differently")
    ap.add_argument("--table-only", action="store_true",
                    help="print the table and the summary, without details")
    ap.add_argument("--program", help="run this one C or assembly file, with statistics")
    args = ap.parse_args()

    missing = [t for t in TOOLS if shutil.which(t) is None]
    if missing:
        print("sim_test: missing tools: %s (Debian: bash tools/prereqs.sh clang lld llvm mspdebug)"
              % " ".join(missing))
        return 1
    binary = os.path.abspath(args.binary)
    if not os.access(binary, os.X_OK):
        print("sim_test: no program %s" % binary)
        return 1
    cases = collect_cases(args)

    workroot = tempfile.mkdtemp(prefix="qvsim-")
    try:
        runtime_objs = []
        for src in ("crt0.s", "helpers.s"):
            obj = os.path.join(workroot, src[:-2] + ".o")
            run_tool(["llvm-mc", "-triple=msp430", "-filetype=obj",
                      os.path.join(RUNTIME, src), "-o", obj], workroot)
            runtime_objs.append(obj)
        stats = bool(args.program)
        with concurrent.futures.ThreadPoolExecutor(max(1, args.jobs)) as pool:
            list(pool.map(lambda c: run_case(c, binary, runtime_objs, workroot, stats), cases))
    except ToolFailure as e:
        print("sim_test: runtime does not build: %s" % e)
        return 1
    finally:
        shutil.rmtree(workroot, ignore_errors=True)

    if stats and not args.table_only:
        for c in cases:
            print("== qvpeep +stats, %s -%s" % (c.name, c.label) if c.level
                  else "== qvpeep +stats, %s" % c.name)
            print(c.stats.rstrip() or "(none: rules without a single rule run no pass)")
        print()
    print_table(cases)
    if not args.table_only:
        for c in cases:
            if c.detail:
                print("\n%s %s: %s: %s" % (c.name, c.label, c.status, c.detail))

    failed = [c for c in cases if c.status == "FAIL"]
    differ = [c for c in cases if c.status == "DIFF"]
    slower = [c for c in cases if c.status == "SLOWER"]
    if failed:
        print("\nsim_test: %d run(s) failed" % len(failed))
        return 1
    if args.expect_difference:
        if differ:
            print("\nsim_test: difference found, as expected, in %d run(s)" % len(differ))
            return 0
        print("\nsim_test: expected a difference in behaviour, found none")
        return 1
    if differ or slower:
        print("\nsim_test: %d run(s) behave differently, %d got slower" % (len(differ), len(slower)))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
