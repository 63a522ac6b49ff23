#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for SECONDS (default 60),
# seeded from the golden cases: bash tools/fuzz.sh [SECONDS] [TARGET...]
# A crash leaves its input in build-fuzz/ (crash-*) and ends the script.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
bash tools/prereqs.sh clang cmake make python3
CXX=clang++ cmake -S . -B build-fuzz -DQVPEEP_FUZZ=ON -DBUILD_TESTING=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j 2
python3 - <<'PY'
import glob, os
cases = sorted(glob.glob("tests/e2e/cases/*/in"))
seeds = {"rules": [], "vop": [], "run": [], "options": [], "rx": []}
for case in cases:
    files = {n: open(os.path.join(case, n), "rb").read() for n in sorted(os.listdir(case))
             if os.path.isfile(os.path.join(case, n))}
    rls = [t for n, t in files.items() if n.endswith(".rls")]
    asm = [t for n, t in files.items() if n.endswith(".asm")]
    seeds["rules"] += rls
    seeds["vop"] += [b"\0" + t for t in asm]
    seeds["options"] += [t for n, t in files.items() if not n.endswith((".rls", ".asm", ".s"))]
    if rls and asm:
        seeds["run"].append(rls[0] + b"\n%%\n" + asm[0])
seeds["rx"] = [b"mov|mov.b\0mov.b", b"(a|b)*c\0ababc", b"[0-9]+\\(r1\\)\0" b"22(r1)"]
for target, texts in seeds.items():
    d = os.path.join("build-fuzz", "corpus", target)
    os.makedirs(d, exist_ok=True)
    for i, t in enumerate(texts):
        with open(os.path.join(d, "seed%03d" % i), "wb") as f:
            f.write(t)
PY
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(rules vop run options rx)
for t in "${targets[@]}"; do
  [ -x "build-fuzz/${t}_fuzzer" ] || continue
  echo "== ${t}_fuzzer for ${seconds} s"
  # Absolute paths: the targets work in a scratch directory of their own.
  "$PWD/build-fuzz/${t}_fuzzer" -max_total_time="$seconds" -rss_limit_mb=2048 \
    -artifact_prefix="$PWD/build-fuzz/" "$PWD/build-fuzz/corpus/$t" 2>&1 | tail -2
done
