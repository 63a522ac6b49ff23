#!/usr/bin/env bash
# Builds the program and runs it on the bundled example.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/prereqs.sh g++ cmake make
cmake -S . -B build -DBUILD_TESTING=OFF >/dev/null
cmake --build build -j "$(nproc)" --target qvpeep
./build/qvpeep "$@" || true
