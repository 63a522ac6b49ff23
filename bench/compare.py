#!/usr/bin/env python3
"""Runs two builds of the program on the same inputs and reports every case
where the output file, the standard output or the exit status differ.

    python3 bench/compare.py --before OLD_BINARY --after NEW_BINARY [--sizes 1,10]

Inputs: generated benchmark files (bench/gen.py) with each benchmark rule
set, and every file of ../shared/corpus/msp430 (skipped where absent) with
bench/realistic.rls, each also under the traces that print every try.
"""
import argparse
import glob
import hashlib
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, "..", "..", "shared", "corpus", "msp430")


def run(binary, tmp, src, rls, options, in_place):
    """Exit status, stdout digest and result digest of one run in a fresh folder."""
    work = tempfile.mkdtemp(dir=tmp)
    shutil.copy(src, os.path.join(work, "in.asm"))
    shutil.copy(rls, os.path.join(work, "r.rls"))
    argv = [binary] + options + ["rls=r", "in.asm"] + ([] if in_place else ["out.asm"])
    proc = subprocess.run(argv, cwd=work, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    result = os.path.join(work, "in.asm" if in_place else "out.asm")
    digest = hashlib.sha256(open(result, "rb").read()).hexdigest() if os.path.exists(result) else None
    left = sorted(os.listdir(work))
    shutil.rmtree(work)
    return proc.returncode, hashlib.sha256(proc.stdout).hexdigest(), digest, left


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--before", required=True)
    p.add_argument("--after", required=True)
    p.add_argument("--sizes", default="1,10", help="generated input sizes in MiB")
    a = p.parse_args()
    before, after = os.path.abspath(a.before), os.path.abspath(a.after)
    cases = []
    with tempfile.TemporaryDirectory(prefix="qvpeep-compare-") as tmp:
        gen = [sys.executable, os.path.join(HERE, "gen.py")]
        realistic = os.path.join(HERE, "realistic.rls")
        sets = {"realistic": realistic}
        for name, count, base in (("none", 1, None), ("plus100", 100, realistic),
                                  ("plus1000", 1000, realistic)):
            sets[name] = os.path.join(tmp, name + ".rls")
            subprocess.check_call(gen + ["rules", sets[name], "--count", str(count)] +
                                  (["--base", base] if base else []))
        for size in a.sizes.split(","):
            src = os.path.join(tmp, "gen%s.asm" % size)
            subprocess.check_call(gen + ["vops", src, "--mb", size, "--seed", "7"])
            for name, rls in sets.items():
                cases.append((src, rls, ["+stats"], False))
            cases.append((src, realistic, [], True))
        small = os.path.join(tmp, "small.asm")
        subprocess.check_call(gen + ["vops", small, "--mb", "0.05", "--seed", "3"])
        for rls in sets.values():
            cases.append((small, rls, ["+zo", "+zo", "+stats"], False))
        for src in sorted(glob.glob(os.path.join(CORPUS, "*"))):
            cases.append((src, realistic, ["+stats"], False))
            cases.append((src, realistic, [], True))
            cases.append((src, realistic, ["+zo", "+zo", "+zr"], False))
        differ = 0
        for src, rls, options, in_place in cases:
            old = run(before, tmp, src, rls, options, in_place)
            new = run(after, tmp, src, rls, options, in_place)
            if old != new:
                differ += 1
                print("DIFFER: %s %s %s%s" % (os.path.basename(src), os.path.basename(rls),
                                               " ".join(options), " in place" if in_place else ""))
        print("%d cases compared, %d differ" % (len(cases), differ))
        return 1 if differ else 0


if __name__ == "__main__":
    sys.exit(main())
