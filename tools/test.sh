#!/usr/bin/env bash
# Builds the program twice (plain, and under AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs every test on both builds, the
# simulation runs of tests/sim included; then builds a release (-O3) and
# runs the golden cases on it. Warnings are errors in every build.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/prereqs.sh g++ cmake make libgtest-dev python3 clang lld llvm mspdebug
# Two at most: the machine is shared.
jobs=$(( $(nproc) < 2 ? $(nproc) : 2 ))
for variant in build:OFF build-san:ON; do
  dir=${variant%%:*}
  cmake -S . -B "$dir" -DBUILD_TESTING=ON -DQVPEEP_WERROR=ON -DQVPEEP_SANITIZE="${variant##*:}" >/dev/null
  cmake --build "$dir" -j "$jobs"
  ctest --test-dir "$dir" --output-on-failure --no-tests=error -j "$jobs"
done
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DQVPEEP_WERROR=ON >/dev/null
cmake --build build-release -j "$jobs"
python3 tests/e2e/run_cases.py --binary build-release/qvpeep tests/e2e/cases
