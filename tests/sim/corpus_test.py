#!/usr/bin/env python3
"""Runs the rules library over the MSP430 assembly corpus.

Every corpus file must go through qvpeep without a message, keep its labels,
directives and comments in order, and, when llvm-mc assembles it, still
assemble afterwards.  The table counts, per file and rule, the lines that
rule removes or changes when it runs alone, against a run that changes
nothing but the spacing qvpeep writes.

    corpus_test.py --binary PATH/qvpeep [--rules FILE] [--corpus DIR]

The corpus is read where it lies (../shared/corpus/msp430 from the
repository root); without it the test is skipped.
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
DEFAULT_CORPUS = os.path.join(os.path.dirname(ROOT), "shared", "corpus", "msp430")
RULE_MARK = re.compile(r"^; rule: (\S+)\s*$")
# A pattern no VOP name matches: the run that only rewrites spacing.
NO_MATCH_RULES = ".replace\n\tqv-no-such-op\n.by\n\tqv-no-such-op\n"


def split_rules(text):
    """(name, text) of each rule, from its "; rule:" line to the next one."""
    rules, name, lines = [], None, []
    for line in text.splitlines(keepends=True):
        m = RULE_MARK.match(line)
        if m:
            if name:
                rules.append((name, "".join(lines)))
            name, lines = m.group(1), []
        elif name:
            lines.append(line)
    if name:
        rules.append((name, "".join(lines)))
    return rules


def comment_at(text, start):
    """Index of the comment character at or after start outside strings."""
    quote = False
    i = start
    while i < len(text):
        c = text[i]
        if quote:
            if c == "\\":
                i += 1
            elif c == '"':
                quote = False
        elif c == '"':
            quote = True
        elif c == ";":
            return i
        i += 1
    return -1


def kept_items(text):
    """Labels, directive lines and comments, in the order qvpeep meets them."""
    items = []
    for line in text.splitlines():
        rest = line.lstrip().rstrip("\n")
        while rest:
            if rest.startswith(";"):
                items.append(("comment", rest.rstrip()))
                break
            if rest.startswith("."):
                items.append(("directive", rest.rstrip()))
                break
            m = re.match(r"([^\s:]+)\s*:", rest)
            if m:
                items.append(("label", m.group(1)))
                rest = rest[m.end():].lstrip()
                continue
            c = comment_at(rest, 0)
            # A comment marker that ends a VOP line is no comment.
            if c >= 0 and rest[c:] != ";":
                items.append(("comment", rest[c:].rstrip()))
            break
    return items


def run_qvpeep(binary, rules_path, src, dst, cwd):
    p = subprocess.run([binary, "+s", "rls=" + rules_path, src, dst], cwd=cwd,
                       stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                       errors="replace", timeout=120)
    return p.returncode, p.stdout


def assembles(path, cwd):
    p = subprocess.run(["llvm-mc", "-triple=msp430", "-filetype=obj", path, "-o",
                        os.path.join(cwd, "out.o")], cwd=cwd, stdout=subprocess.PIPE,
                       stderr=subprocess.STDOUT, text=True, errors="replace")
    return p.returncode == 0, p.stdout


def read(path):
    with open(path, encoding="latin-1") as f:
        return f.read()


def lines_touched(base_path, after_path):
    """Lines of the first file that the second removes or replaces."""
    p = subprocess.run(["diff", base_path, after_path], stdout=subprocess.PIPE,
                       stderr=subprocess.PIPE, text=True, errors="replace")
    if p.returncode > 1:
        raise RuntimeError("diff failed: " + p.stderr)
    return sum(1 for line in p.stdout.splitlines() if line.startswith("<"))


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--binary", required=True)
    ap.add_argument("--rules", default=os.path.join(ROOT, "rules", "msp430.rls"))
    ap.add_argument("--corpus", default=DEFAULT_CORPUS)
    args = ap.parse_args()
    if not os.path.isdir(args.corpus):
        print("corpus_test: skipped, no corpus at %s" % args.corpus)
        return 0
    binary = os.path.abspath(args.binary)
    have_mc = shutil.which("llvm-mc") is not None
    if not have_mc:
        print("corpus_test: llvm-mc missing, the assembly check is skipped")
    library = read(args.rules)
    rules = split_rules(library)
    if not rules:
        print("corpus_test: no \"; rule:\" lines in %s" % args.rules)
        return 1
    files = sorted(f for f in os.listdir(args.corpus)
                   if os.path.isfile(os.path.join(args.corpus, f)) and not f.endswith(".md"))
    failures, notices = [], []
    table = []  # (file, rule, lines)
    assembled = 0
    with tempfile.TemporaryDirectory(prefix="qvcorpus") as tmp:
        paths = {"none": os.path.join(tmp, "none.rls"), "library": os.path.abspath(args.rules)}
        with open(paths["none"], "w") as f:
            f.write(NO_MATCH_RULES)
        for name, text in rules:
            paths[name] = os.path.join(tmp, "rule-%s.rls" % name)
            with open(paths[name], "w") as f:
                f.write(text)
        for fname in files:
            src = os.path.join(args.corpus, fname)
            original = read(src)
            # An input the scanner itself rejects is rejected with any rules;
            # the library must then give the same messages, and nothing else.
            base = os.path.join(tmp, "out-none.s")
            status, output = run_qvpeep(binary, paths["none"], src, base, tmp)
            if status != 0 or output.strip():
                status2, output2 = run_qvpeep(binary, paths["library"], src,
                                              os.path.join(tmp, "out-library.s"), tmp)
                if (status2, output2) != (status, output):
                    failures.append("%s: the library changes what qvpeep reports:\n%s"
                                    % (fname, output2))
                else:
                    notices.append("%s: qvpeep rejects this input with any rules (status %d):\n  %s"
                                   % (fname, status, output.strip().splitlines()[-2]))
                continue
            outs = {"none": base}
            for key in ["library"] + [n for n, _ in rules]:
                dst = os.path.join(tmp, "out-%s.s" % key)
                status, output = run_qvpeep(binary, paths[key], src, dst, tmp)
                if status != 0 or output.strip():
                    failures.append("%s with %s: status %d\n%s" % (fname, key, status, output))
                    continue
                outs[key] = dst
            if "library" not in outs:
                continue
            a, b = kept_items(original), kept_items(read(outs["library"]))
            if a != b:
                where = next((i for i, (x, y) in enumerate(zip(a, b)) if x != y), min(len(a), len(b)))
                failures.append("%s: labels, directives or comments differ at item %d: %r / %r"
                                % (fname, where, a[where:where + 1], b[where:where + 1]))
            for name, _ in rules:
                if name in outs:
                    n = lines_touched(outs["none"], outs[name])
                    if n:
                        table.append((fname, name, n))
            table.append((fname, "(library)", lines_touched(outs["none"], outs["library"])))
            if have_mc:
                copy = os.path.join(tmp, "before.s")
                with open(copy, "w", encoding="latin-1") as f:
                    f.write(original)
                ok_before, _ = assembles(copy, tmp)
                if ok_before:
                    assembled += 1
                    ok_after, msg = assembles(os.path.join(tmp, "out-library.s"), tmp)
                    if not ok_after:
                        failures.append("%s assembles before the rules but not after:\n%s"
                                        % (fname, msg[:2000]))

    print("%-72s %-22s %6s" % ("file", "rule", "lines"))
    for fname, rule, n in table:
        print("%-72s %-22s %6d" % (fname[:72], rule, n))
    print()
    print("lines removed or changed, each rule alone, over %d files:" % len(files))
    for name in [n for n, _ in rules] + ["(library)"]:
        print("  %-22s %6d" % (name, sum(n for _, r, n in table if r == name)))
    print("%d of %d files assemble with llvm-mc before the rules; all of them still do%s"
          % (assembled, len(files), "" if not failures else " unless listed below"))
    for n in notices:
        print("NOTICE: " + n)
    for f in failures:
        print("FAIL: " + f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
