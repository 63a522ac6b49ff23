#!/usr/bin/env python3
"""Guards the near-miss cases of the rules library: every rule of
rules/msp430.rls ("; rule: NAME") has a case asm/NAME-*.s, and each planted
rules file that names its cases ("; cases: NAME ...") holds an unsafe variant
of a library rule that the harness must tell apart on those cases, or their
near misses no longer guard the rule.

    planted_test.py --binary PATH/qvpeep
"""

import argparse
import os
import re
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
LIBRARY = os.path.join(os.path.dirname(os.path.dirname(HERE)), "rules", "msp430.rls")
RULE = re.compile(r"^; rule: (\S+)\s*$", re.M)
CASES = re.compile(r"^;\s*cases:\s*(.+)$", re.M)


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--binary", required=True)
    args = ap.parse_args()
    with open(LIBRARY) as f:
        rules = RULE.findall(f.read())
    cases = os.listdir(os.path.join(HERE, "asm"))
    untested = [r for r in rules
                if not any(c.startswith(r + "-") and c.endswith(".s") for c in cases)]
    if not rules or untested:
        print("planted_test: rules without a near-miss case in asm/: %s"
              % (" ".join(untested) or "(no rules found)"))
        return 1
    planted_dir = os.path.join(HERE, "planted")
    failures, runs = [], 0
    for name in sorted(os.listdir(planted_dir)):
        path = os.path.join(planted_dir, name)
        with open(path) as f:
            m = CASES.search(f.read())
        if not name.endswith(".rls") or not m:
            continue
        runs += 1
        cmd = [sys.executable, os.path.join(HERE, "sim_test.py"), "--binary", args.binary,
               "--rules", path, "--expect-difference", "--jobs", "1",
               "--only"] + m.group(1).split()
        p = subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        print("%-24s %s" % (name, "caught" if p.returncode == 0 else "NOT CAUGHT"))
        if p.returncode != 0:
            failures.append(name)
            print(p.stdout)
    if runs == 0:
        print("planted_test: no planted file names its cases")
        return 1
    if failures:
        print("planted_test: not caught: %s" % " ".join(failures))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
