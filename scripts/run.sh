#!/usr/bin/env bash
# Installs what is missing, builds the program in build/ (only the target
# sorelka and what it needs: the sound cues and the help) and starts it. The
# tests are built by scripts/test.sh, the benchmarks by scripts/perf.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)" --target sorelka
exec build/bin/sorelka "$@"
