#!/usr/bin/env python3
"""Prints one table: for each input size and rule set, the wall time, the
throughput, the peak resident size and the ratios to the floor program
(../shared/bench/floor.cpp, built here) and to `cat input > output`.

    python3 bench/run.py --binary build/qvpeep [--sizes 1,10,100] [--seed 1]

Inputs and rules files are generated into a scratch folder (bench/gen.py);
each figure is the best of --repeat runs.
"""
import argparse
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
FLOOR = os.path.join(ROOT, "..", "shared", "bench", "floor.cpp")


PEAK = None  # bench/peak.cpp, built into the scratch folder


def timed(argv, cwd, stdout=subprocess.DEVNULL):
    """Wall seconds and peak resident KiB of one child run."""
    proc = subprocess.run([PEAK] + argv, cwd=cwd, stdout=stdout, stderr=subprocess.PIPE, text=True)
    if proc.returncode != 0:
        sys.exit("failed: %s" % " ".join(argv))
    wall, rss = proc.stderr.split()[-2:]
    return float(wall), int(rss)


def best(repeat, run):
    results = [run() for _ in range(repeat)]
    return min(r[0] for r in results), max(r[1] for r in results)


def rule_sets(tmp):
    gen = [sys.executable, os.path.join(HERE, "gen.py"), "rules"]
    realistic = os.path.join(HERE, "realistic.rls")
    sets = [("none matching", os.path.join(tmp, "none.rls")),
            ("realistic 20", realistic),
            ("20 + 100 never", os.path.join(tmp, "plus100.rls")),
            ("20 + 1000 never", os.path.join(tmp, "plus1000.rls"))]
    subprocess.check_call(gen + [sets[0][1], "--count", "1"])
    subprocess.check_call(gen + [sets[2][1], "--count", "100", "--base", realistic])
    subprocess.check_call(gen + [sets[3][1], "--count", "1000", "--base", realistic])
    return sets


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--binary", required=True)
    p.add_argument("--sizes", default="1,10,100", help="input sizes in MiB")
    p.add_argument("--seed", type=int, default=1)
    p.add_argument("--repeat", type=int, default=1)
    p.add_argument("--sets", help="comma-separated row numbers of the rule sets (1-4)")
    a = p.parse_args()
    binary = os.path.abspath(a.binary)
    with tempfile.TemporaryDirectory(prefix="qvpeep-bench-") as tmp:
        global PEAK
        floor, PEAK = os.path.join(tmp, "floor"), os.path.join(tmp, "peak")
        subprocess.check_call(["g++", "-O2", "-o", floor, FLOOR])
        subprocess.check_call(["g++", "-O2", "-o", PEAK, os.path.join(HERE, "peak.cpp")])
        sets = rule_sets(tmp)
        if a.sets:
            sets = [sets[int(i) - 1] for i in a.sets.split(",")]
        print("%8s  %-16s %8s %8s %9s %8s %8s" %
              ("input MB", "rules", "seconds", "MB/s", "peak KiB", "/floor", "/cat"))
        for size in (float(s) for s in a.sizes.split(",")):
            src = os.path.join(tmp, "in.asm")
            subprocess.check_call([sys.executable, os.path.join(HERE, "gen.py"), "vops", src,
                                   "--mb", str(size), "--seed", str(a.seed)])
            mb = os.path.getsize(src) / 1e6
            out = os.path.join(tmp, "out.asm")
            with open(out, "w") as sink:
                cat = best(a.repeat, lambda: timed(["cat", src], tmp, stdout=sink))
            fl = best(a.repeat, lambda: timed([floor, src, out], tmp))
            print("%8.0f  %-16s %8.3f %8.1f %9d %8.2f %8.2f" %
                  (size, "floor program", fl[0], mb / fl[0], fl[1], 1.0, fl[0] / cat[0]))
            print("%8.0f  %-16s %8.3f %8.1f %9d %8.2f %8.2f" %
                  (size, "cat", cat[0], mb / cat[0], cat[1], cat[0] / fl[0], 1.0))
            for name, rls in sets:
                argv = [binary, "+s", "rls=" + rls, src, out]
                w, rss = best(a.repeat, lambda: timed(argv, tmp))
                print("%8.0f  %-16s %8.3f %8.1f %9d %8.2f %8.2f" %
                      (size, name, w, mb / w, rss, w / fl[0], w / cat[0]), flush=True)
            os.remove(src)


if __name__ == "__main__":
    main()
