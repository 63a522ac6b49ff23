#!/usr/bin/env bash
# Builds the program and runs it on the bundled example with the rules
# compiled into it, then shows what it changed; then compiles
# examples/firmware.c at each level, optimizes it with the rules library and
# runs it before and after in the MSP430 simulator.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/prereqs.sh g++ cmake make diffutils python3 clang lld llvm mspdebug
# A folder of its own: build/ is the test command's, configured with tests.
cmake -S . -B build-demo -DBUILD_TESTING=OFF >/dev/null
cmake --build build-demo -j 2 --target qvpeep
# QVDIR/QVSYS unset and no rls=: the compiled-in rules are used.
env -u QVDIR -u QVSYS ./build-demo/qvpeep +stats examples/demo.asm build-demo/demo-optimized.asm
diff -u examples/demo.asm build-demo/demo-optimized.asm || true
echo
python3 tests/sim/sim_test.py --binary build-demo/qvpeep --program examples/firmware.c
