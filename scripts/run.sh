#!/usr/bin/env bash
# Installs what is missing, builds Sorelka in build/ (with its benchmarks) and
# starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
exec build/bin/sorelka "$@"
