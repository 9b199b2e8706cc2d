#!/usr/bin/env bash
# The real program's command line, as a table: each line's exit code and the
# first line it writes on standard error. A refused line also prints the
# usage and never opens a window; with no option of the program's own (Qt's
# are let through) the menu opens and keeps running until `timeout` ends it
# (124). --help lists every option. Scratch user folders only.
set -uo pipefail
program="$1"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
export HOME="$scratch" XDG_DATA_HOME="$scratch/data" XDG_CONFIG_HOME="$scratch/config" XDG_RUNTIME_DIR="$scratch/run"
export QT_QPA_PLATFORM=offscreen
mkdir -m 700 "$scratch/run"
cd "$scratch"
fail=0

# exit code | first line on standard error (empty: none) | arguments
while IFS='|' read -r code first args; do
  eval "set -- $args"
  timeout 5 "$program" "$@" >"$scratch/out" 2>"$scratch/err" </dev/null
  got=$?
  line="$(grep -v -e '^QStandardPaths' -e 'no audio device' "$scratch/err" | head -n 1)"
  if [ "$got" != "$code" ] || [ "$line" != "$first" ]; then
    echo "FAILED: sorelka $args: exit $got (want $code), first line «$line» (want «$first»)"; fail=1
  fi
  if [ "$code" = 2 ] && ! grep -q '^使い方: sorelka' "$scratch/err"; then
    echo "FAILED: sorelka $args: no usage on standard error"; fail=1
  fi
done <<'TABLE'
2|sorelka: 「--no-such-option」というオプションはありません。|--no-such-option
2|sorelka: 「-x」というオプションはありません。|-platform offscreen -x
2|sorelka: 「--export」のあとに値を書いてください。|--export
2|sorelka: わからない引数があります：kiroku.csv|kiroku.csv
2|sorelka: --export は一度だけ指定してください。|--export a.csv --export b.csv
2|sorelka: --set-teacher-pin は --export とはいっしょに使えません。|--set-teacher-pin --export a.csv
2|sorelka: --export で書き出すファイルを指定してください。|--pupil はなこ
2|sorelka: --from の日付は YYYY-MM-DD の形の、ある日にしてください：2026-02-30|--export a.csv --from 2026-02-30
2|sorelka: 書き出すファイルの名前は .csv か .pdf で終わるようにしてください：a.txt|--export a.txt
0||--export a.csv
0||--help
124||
124||-platform offscreen -style fusion
TABLE

"$program" --help >"$scratch/out" 2>/dev/null
for option in --export --pupil --from --to --set-teacher-pin --help; do
  grep -q -- "$option" "$scratch/out" || { echo "FAILED: --help does not list $option"; fail=1; }
done
exit $fail
