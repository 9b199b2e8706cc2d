#!/usr/bin/env bash
# The real program's command line without a display: an export writes its
# file and exits 0 without a window, a bad argument or an unwritable file
# exits non-zero with a Japanese line on standard error, --help lists the
# options. Scratch user folders: nothing of the user's is read or written.
set -uo pipefail
program="$1"
scratch="$(mktemp -d)"
trap 'chmod -R u+w "$scratch"; rm -rf "$scratch"' EXIT
export HOME="$scratch" XDG_DATA_HOME="$scratch/data" XDG_CONFIG_HOME="$scratch/config" XDG_RUNTIME_DIR="$scratch/run"
mkdir -m 700 "$scratch/run"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
fail=0
check() { if ! eval "$2"; then echo "FAILED: $1"; fail=1; fi; }

"$program" --export "$scratch/r.csv" 2>"$scratch/err"
check "csv exits 0" "[ $? -eq 0 ]"
check "csv starts with the byte-order mark" "[ \"\$(head -c 3 '$scratch/r.csv' | od -An -tx1 | tr -d ' ')\" = efbbbf ]"
"$program" --export "$scratch/r.pdf" 2>>"$scratch/err"
check "pdf exits 0" "[ $? -eq 0 ] && head -c 5 '$scratch/r.pdf' | grep -q '%PDF-'"
check "nothing on standard error" "[ ! -s '$scratch/err' ]"

"$program" --export "$scratch/x.csv" --from 2026-02-30 2>"$scratch/err"
check "a bad date exits 2" "[ $? -eq 2 ] && grep -q 'YYYY-MM-DD' '$scratch/err'"
mkdir "$scratch/ro" && chmod a-w "$scratch/ro"
if [ "$(id -u)" -ne 0 ]; then
  "$program" --export "$scratch/ro/x.csv" 2>"$scratch/err"
  check "an unwritable file exits 1" "[ $? -eq 1 ] && grep -q '書きこめません' '$scratch/err'"
fi
"$program" --export /nonexistent-folder/x.pdf 2>"$scratch/err"
check "a missing folder exits 1" "[ $? -eq 1 ] && grep -q '書きこめません' '$scratch/err'"
"$program" --help >"$scratch/out"
check "--help lists the options" "[ $? -eq 0 ] && grep -q -- '--export' '$scratch/out' && grep -q -- '--pupil' '$scratch/out'"
exit $fail
