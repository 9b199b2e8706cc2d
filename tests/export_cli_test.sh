#!/usr/bin/env bash
# The real program's command line without a display: an export writes its
# file and exits 0 without a window, a bad argument or an unwritable file
# exits non-zero with a Japanese line on standard error, --help lists the
# options; every file written is its owner's only, and none is written
# through a link or over the record and its files. Scratch user folders:
# nothing of the user's is read or written.
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
# Files with pupils' names are this account's only, whatever the umask.
(umask 022; "$program" --export "$scratch/m.csv" && "$program" --export "$scratch/m.pdf") 2>"$scratch/err"
for f in m.csv m-習熟度.csv m.pdf; do
  check "$f is written 0600" "[ \"\$(stat -c %a '$scratch/$f')\" = 600 ]"
done

# No export writes through a link (to the record or anywhere) or over the
# record's own files; each is refused in Japanese, exit 1, nothing changed.
data="$XDG_DATA_HOME/Sorelka"
mkdir -p "$data" && : >"$data/kyozai.db"  # an empty record: an export would write its header
echo kept >"$scratch/other.txt"
ln -s "$data/kyozai.db" "$scratch/to-record.csv"
ln -s "$scratch/other.txt" "$scratch/to-other.pdf"
ln -s "$data/kyozai.db" "$scratch/lv-習熟度.csv"  # the levels file beside lv.csv
ln -s "$data" "$scratch/data-link"
for target in "$scratch/to-record.csv" "$scratch/to-other.pdf" "$scratch/lv.csv" \
              "$data/kyozai.db.pending.1.csv" "$scratch/data-link/kyozai.db-wal.pdf"; do
  "$program" --export "$target" 2>"$scratch/err"
  check "refused: $target" "[ $? -eq 1 ] && grep -q '書き出しません' '$scratch/err'"
done
check "the record is untouched" "[ -f '$data/kyozai.db' ] && [ ! -L '$data/kyozai.db' ] && [ ! -s '$data/kyozai.db' ]"
check "the linked file is untouched" "[ \"\$(cat '$scratch/other.txt')\" = kept ]"
check "the links are still links" "[ -L '$scratch/to-record.csv' ] && [ -L '$scratch/to-other.pdf' ] && [ -L '$scratch/lv-習熟度.csv' ]"
check "nothing is made beside the record" "[ \"\$(ls -A '$data')\" = kyozai.db ] && [ ! -e '$scratch/lv.csv' ]"
exit $fail
