#!/usr/bin/env bash
# Shows that a change moved no pixel of any screen: builds the screenshots
# tool at two revisions, takes every picture with each (offscreen, the same
# fake clock, draws and choices), and compares them pixel for pixel.
#   scripts/same_screens.sh BASE [OTHER]     (OTHER: the working tree when left out)
# Exits 0 when every picture of BASE has an identical twin, 1 otherwise.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
base="$1"; other="${2:-}"
work="${SORELKA_SHOTS_DIR:-/tmp/sorelka-same-screens}"
mkdir -p "$work"

# Builds and runs the tool of one source tree into $work/<label>/shots.
shoot() {
    local src="$1" label="$2"
    local build="$work/$label/build" shots="$work/$label/shots"
    cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSORELKA_BENCH=OFF \
          -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache >/dev/null
    cmake --build "$build" --target screenshots sorelka_assets >/dev/null
    rm -rf "$shots"; mkdir -p "$shots"
    (cd "$build" && QT_QPA_PLATFORM=offscreen ./tests/screenshots "$shots" >/dev/null 2>&1)
}

tree_of() {  # a checkout of a revision, or the working tree
    local rev="$1" label="$2"
    if [ -z "$rev" ]; then echo "$root"; return; fi
    local dir="$work/$label/src"
    rm -rf "$dir"; mkdir -p "$dir"
    git -C "$root" archive "$rev" | tar -x -C "$dir"
    echo "$dir"
}

shoot "$(tree_of "$base" base)" base
shoot "$(tree_of "$other" other)" other

differ=0; count=0
for a in "$work"/base/shots/*.png; do
    name="$(basename "$a")"; b="$work/other/shots/$name"; count=$((count + 1))
    if [ ! -f "$b" ]; then echo "missing: $name"; differ=1; continue; fi
    pixels="$(compare -metric AE "$a" "$b" null: 2>&1 || true)"
    if [ "$pixels" != "0" ]; then echo "differs: $name ($pixels pixels)"; differ=1; fi
done
echo "$count pictures compared"
exit "$differ"
