#!/usr/bin/env bash
# The real program's `--set-teacher-pin` without a display, in a build whose
# system folder is a scratch folder of the build tree (the first argument
# names the program, the second that folder): the PIN typed twice on
# standard input goes, as a salted scrypt hash only, into Sorelka.conf
# there, readable by every user, whatever XDG_CONFIG_DIRS says; a mismatch
# or a PIN that is not four digits changes nothing (exit 2); a place it
# cannot write exits 1 with a Japanese line. Nothing of the user's is written.
set -uo pipefail
program="$1"
system="$2"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch" "$system"' EXIT
rm -rf "$system"
export HOME="$scratch" XDG_DATA_HOME="$scratch/data" XDG_CONFIG_HOME="$scratch/config" XDG_RUNTIME_DIR="$scratch/run"
export XDG_CONFIG_DIRS="$scratch/elsewhere"
mkdir -m 700 "$scratch/run"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
conf="$system/Sorelka/Sorelka.conf"
fail=0
check() { if ! eval "$2"; then echo "FAILED: $1"; fail=1; fi; }

printf '2580\n2581\n' | "$program" --set-teacher-pin >"$scratch/out" 2>"$scratch/err"
check "a mismatch exits 2" "[ $? -eq 2 ] && grep -q '２回目が１回目とちがいます' '$scratch/err'"
printf '25a0\n25a0\n' | "$program" --set-teacher-pin >"$scratch/out" 2>"$scratch/err"
check "not four digits exits 2" "[ $? -eq 2 ] && grep -q '数字４けた' '$scratch/err'"
check "nothing written after a refusal" "! grep -qs 'pin=' '$conf'"

printf '2580\n2580\n' | "$program" --set-teacher-pin >"$scratch/out" 2>"$scratch/err"
check "set exits 0" "[ $? -eq 0 ] && grep -q '設定しました' '$scratch/out'"
check "only a salted scrypt hash is written" "grep -q '^pin=scrypt\\\$17\\\$8\\\$2\\\$' '$conf' && ! grep -q '=2580' '$conf'"
check "every user may read it, only its owner write it" "[ \"\$(stat -c %a '$conf')\" = 644 ]"
check "not where XDG_CONFIG_DIRS points" "[ ! -e '$scratch/elsewhere' ]"
check "the user's own settings are untouched" "[ ! -e '$scratch/config/Sorelka/Sorelka.conf' ]"

if [ "$(id -u)" -ne 0 ]; then
  rm -rf "$system" && mkdir -p "$system" && chmod a-w "$system"
  "$program" --set-teacher-pin </dev/null >"$scratch/out" 2>"$scratch/err"
  check "an unwritable place exits 1" "[ $? -eq 1 ] && grep -q '書きこめません' '$scratch/err'"
  chmod u+w "$system"
fi
exit $fail
