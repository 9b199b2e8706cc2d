#!/usr/bin/env bash
# Shows that a change moved no pixel of any screen: takes every picture of
# the screenshots tool (offscreen, with its fake clock, draws and choices) at
# two revisions and compares them pixel for pixel.
#   scripts/same_screens.sh BASE [OTHER]
# BASE and OTHER are each a git revision or a folder of pictures taken
# earlier; OTHER left out is the working tree. The tool is built with its own
# build folder under $SORELKA_SHOTS_DIR (default /tmp/sorelka-same-screens).
# Exits 0 when every picture of BASE has an identical twin, 1 otherwise.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
base="$1"; other="${2:-}"
work="${SORELKA_SHOTS_DIR:-/tmp/sorelka-same-screens}"
mkdir -p "$work"

# Builds the tool of one source tree and takes its pictures into $work/<label>/shots.
shoot() {
    local src="$1" label="$2"
    local build="$work/$label/build" shots="$work/$label/shots"
    cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSORELKA_BENCH=OFF \
          -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache >/dev/null
    cmake --build "$build" --target screenshots sorelka_assets >/dev/null
    rm -rf "$shots"; mkdir -p "$shots"
    (cd "$build" && QT_QPA_PLATFORM=offscreen ./bin/screenshots "$shots" >/dev/null 2>&1)
}

# Prints the folder of pictures for a revision, a folder or the working tree.
pictures_of() {
    local what="$1" label="$2"
    if [ -n "$what" ] && [ -d "$what" ]; then echo "$what"; return; fi
    local src="$root"
    if [ -n "$what" ]; then
        src="$work/$label/src"
        rm -rf "$src"; mkdir -p "$src"
        git -C "$root" archive "$what" | tar -x -C "$src"
    fi
    shoot "$src" "$label" >&2
    echo "$work/$label/shots"
}

a_dir="$(pictures_of "$base" base)"
b_dir="$(pictures_of "$other" other)"

differ=0; count=0
for a in "$a_dir"/*.png; do
    name="$(basename "$a")"; b="$b_dir/$name"; count=$((count + 1))
    if [ ! -f "$b" ]; then echo "missing: $name"; differ=1; continue; fi
    pixels="$(compare -metric AE "$a" "$b" null: 2>&1 || true)"
    if [ "$pixels" != "0" ]; then echo "differs: $name ($pixels pixels)"; differ=1; fi
done
echo "$count pictures compared"
exit "$differ"
