#!/usr/bin/env bash
# Installs what is missing, builds Sorelka and its tests in build-test/ with
# AddressSanitizer and UndefinedBehaviorSanitizer, and runs every test: model
# and screen tests (offscreen), fault tests, a short random-use run, and the
# smoke test of the real program under Xvfb. Any sanitizer report fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSORELKA_SANITIZE=ON \
  -DSORELKA_BENCH=OFF
cmake --build build-test -j"$(nproc)"
export ASAN_OPTIONS="${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
cd build-test
ctest --output-on-failure -j"$(nproc)" --timeout 600
