#!/usr/bin/env python3
"""Prints the peak resident size and the time of whole runs over inputs of
growing size: the window holds a bounded number of VOPs, so the peak should
stay flat while the input grows.

    python3 bench/peak_memory.py --binary build/qvpeep [--sizes 10,100,300]
"""
import argparse
import os
import resource
import subprocess
import tempfile
import time

# A slice of compiler-like output with work for the compiled-in rules:
# compares to drop, comments to carry, labels and directives to pass through.
SLICE = (
    "; block {n}\n"
    "\t.text\n"
    "f{n}:\n"
    "\tmov\t#10,r15\n"
    "\tdec\tr15\n"
    "\tcmp\t#0x0,r15\n"
    "\tjne\tf{n}\n"
    "\tand.b\t#0x0f,r14\t; low nibble\n"
    "\tcmp\t#0x0,r14\n"
    "\tjeq\t.Ldone{n}\n"
    "\tadd\tr14,r13\n"
    "\tmov\t@r13+,r12\n"
    "\t.ascii\t\"" + "x" * 200 + "\"\n"
    ".Ldone{n}:\n"
    "\tret\n"
)


def make_input(path, megabytes):
    target = megabytes * 1024 * 1024
    with open(path, "w") as f:
        n = 0
        written = 0
        while written < target:
            chunk = "".join(SLICE.format(n=n + i) for i in range(1000))
            f.write(chunk)
            written += len(chunk)
            n += 1000


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--binary", required=True)
    parser.add_argument("--sizes", default="10,100,300", help="input sizes in MiB")
    opts = parser.parse_args()
    binary = os.path.abspath(opts.binary)
    env = {k: v for k, v in os.environ.items() if k not in ("QVDIR", "QVSYS")}
    print(f"{'input MiB':>10} {'seconds':>8} {'MiB/s':>7} {'peak RSS KiB':>13}")
    with tempfile.TemporaryDirectory(prefix="qvpeep-bench-") as tmp:
        for size in (int(s) for s in opts.sizes.split(",")):
            path = os.path.join(tmp, "in.asm")
            make_input(path, size)
            start = time.monotonic()
            # Each run in its own child, so that the peak is this run's own.
            code = ("import resource,subprocess,sys;"
                    "subprocess.run(sys.argv[1:],check=True,stdout=subprocess.DEVNULL);"
                    "print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)")
            out = subprocess.run(["python3", "-c", code, binary, "+s", path,
                                  os.path.join(tmp, "out.asm")],
                                 cwd=tmp, env=env, capture_output=True, text=True, check=True)
            seconds = time.monotonic() - start
            real = os.path.getsize(path) / (1024 * 1024)
            print(f"{real:10.0f} {seconds:8.2f} {real / seconds:7.1f} {int(out.stdout):13d}")
            os.remove(path)


if __name__ == "__main__":
    main()
