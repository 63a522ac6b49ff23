#!/usr/bin/env bash
# Builds the program and runs it on the bundled example with the rules
# compiled into it, then shows what it changed.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/prereqs.sh g++ cmake make diffutils
cmake -S . -B build -DBUILD_TESTING=OFF >/dev/null
cmake --build build -j "$(nproc)" --target qvpeep
# QVDIR/QVSYS unset and no rls=: the compiled-in rules are used.
env -u QVDIR -u QVSYS ./build/qvpeep +stats examples/demo.asm build/demo-optimized.asm
diff -u examples/demo.asm build/demo-optimized.asm || true
