#!/usr/bin/env bash
# Sets up and builds Sorelka if needed, then runs every test: the model and
# screen tests (offscreen) and the smoke test of the real program under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cd build
ctest --output-on-failure -j"$(nproc)" --timeout 300
