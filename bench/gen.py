#!/usr/bin/env python3
"""Writes benchmark inputs: a seeded stream of compiler-style MSP430 VOP
lines, and rules files that never match such a stream.

    python3 bench/gen.py vops OUT.asm --mb 10 [--seed 1]
    python3 bench/gen.py rules OUT.rls --count 1000 [--base bench/realistic.rls]
"""
import argparse
import random

REGS = ["r%d" % i for i in range(4, 16)]
JUMPS = ["jeq", "jne", "jz", "jnz", "jn", "jge", "jl", "jc", "jnc"]


def operand(rnd):
    k = rnd.random()
    if k < 0.45:
        return rnd.choice(REGS)
    if k < 0.65:
        return "#%d" % rnd.choice([0, 1, 2, 4, 8, -1, 255, 10, 0x100])
    if k < 0.8:
        return "%d(r1)" % (2 * rnd.randrange(16))
    if k < 0.9:
        return "&.L__profc_f%d+%d" % (rnd.randrange(50), 2 * rnd.randrange(4))
    return "@%s+" % rnd.choice(REGS)


def body(rnd, fn, out):
    """One basic block: mostly two-operand arithmetic, with the idioms the
    realistic rules rewrite mixed in at about the rate a compiler leaves them."""
    for _ in range(rnd.randrange(4, 14)):
        k = rnd.random()
        r, s = rnd.choice(REGS), rnd.choice(REGS)
        if k < 0.30:
            out.append("\tmov\t%s, %s\n" % (operand(rnd), r))
        elif k < 0.45:
            op = rnd.choice(["add", "sub", "and", "bis", "bic", "xor", "addc"])
            out.append("\t%s\t%s, %s\n" % (op, operand(rnd), r))
        elif k < 0.52:
            out.append("\tadd\t#%d, %s\n" % (rnd.choice([1, 2, 3]), r))
        elif k < 0.57:
            out.append("\tmov\t#0, %s\n" % r)
        elif k < 0.62:
            op = rnd.choice(["dec", "inc", "add", "and", "sub"])
            src = "" if op in ("dec", "inc") else "%s, " % operand(rnd)
            out.append("\t%s\t%s%s\n" % (op, src, r))
            out.append("\tcmp\t#0, %s\n" % r)
            out.append("\t%s\t.LBB%d_%d\n" % (rnd.choice(JUMPS), fn, rnd.randrange(8)))
        elif k < 0.66:
            out.append("\tpush\t%s\n" % r)
            out.append("\tpop\t%s\n" % rnd.choice([r, s]))
        elif k < 0.70:
            out.append("\tcmp\t%s, %s\n" % (operand(rnd), r))
            out.append("\t%s\t.LBB%d_%d\n" % (rnd.choice(JUMPS), fn, rnd.randrange(8)))
        elif k < 0.74:
            out.append("\tcall\t#f%d\n" % rnd.randrange(500))
        elif k < 0.77:
            out.append("\tmov.b\t%s, %s\n" % (operand(rnd), r))
        elif k < 0.80:
            out.append("\trra\t%s\n" % r)
        elif k < 0.83:
            out.append("\tmov\t%s, %s\t; spill\n" % (r, s))
            out.append("\tmov\t%s, %s\n" % (s, r))
        elif k < 0.86:
            out.append("\tinc\t%s\n\tinc\t%s\n" % (r, r))
        elif k < 0.89:
            out.append("\tsxt\t%s\n" % r)
        elif k < 0.92:
            out.append("; %%bb.%d:\n" % rnd.randrange(20))
        else:
            out.append("\ttst\t%s\n" % r)


def vops(path, megabytes, seed):
    rnd = random.Random(seed)
    target = int(megabytes * 1024 * 1024)
    written = 0
    fn = 0
    with open(path, "w") as f:
        f.write("\t.text\n\t.file\t\"bench.c\"\n")
        while written < target:
            out = ["\t.globl\tf%d\t; -- Begin function f%d\n" % (fn, fn),
                   "\t.p2align\t1\n", "f%d:\t; @f%d\n" % (fn, fn)]
            for _ in range(rnd.randrange(2, 6)):
                out.append("\tpush\t%s\n" % rnd.choice(REGS))
            for b in range(rnd.randrange(2, 8)):
                body(rnd, fn, out)
                out.append(".LBB%d_%d:\n" % (fn, b))
            out.append("\tjmp\t.LBB%d_0\n\tjmp\t.LBB%d_1\n" % (fn, fn))
            out.append("\tret\n.Lfunc_end%d:\n\t.size\tf%d, .Lfunc_end%d-f%d\n" % (fn, fn, fn, fn))
            chunk = "".join(out)
            f.write(chunk)
            written += len(chunk)
            fn += 1


def rules(path, count, base):
    """Rules whose first operation name occurs in no generated input: some
    spelled out, some as an expression, as hand-written rule sets mix them."""
    with open(path, "w") as f:
        if base:
            with open(base) as b:
                f.write(b.read())
        for i in range(count):
            first = "zq%d" % i if i % 4 else "<x/zq%da|zq%db/>" % (i, i)
            f.write(".replace\n\t%s\t<a>,<b>\n\tmov\t<b>,<a>\n.by\n\tmov\t<a>,<b>\n" % first)


def main():
    p = argparse.ArgumentParser()
    p.add_argument("kind", choices=["vops", "rules"])
    p.add_argument("out")
    p.add_argument("--mb", type=float, default=1)
    p.add_argument("--seed", type=int, default=1)
    p.add_argument("--count", type=int, default=100)
    p.add_argument("--base")
    a = p.parse_args()
    if a.kind == "vops":
        vops(a.out, a.mb, a.seed)
    else:
        rules(a.out, a.count, a.base)


if __name__ == "__main__":
    main()
