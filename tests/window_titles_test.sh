#!/usr/bin/env bash
# Under Xvfb: the title bar of every window reads exactly its caption, with
# nothing appended, and the windows' class is the one the desktop entry names.
#   window_titles_test.sh <window_titles executable> <sorelka.desktop>
set -u
exe="$1"; desktop="$2"
out="$(mktemp)"
"$exe" >"$out" &
pid=$!
trap 'kill $pid 2>/dev/null; wait $pid 2>/dev/null; rm -f "$out"' EXIT
for _ in $(seq 1 100); do
  grep -q '^ready$' "$out" && break
  kill -0 "$pid" 2>/dev/null || { echo "FAIL: window_titles exited early"; exit 1; }
  sleep 0.2
done
grep -q '^ready$' "$out" || { echo "FAIL: the windows did not open"; exit 1; }

status=0
count=0
wm_class="$(sed -n 's/^StartupWMClass=//p' "$desktop")"
while read -r name id; do
  [ "$name" = ready ] && continue
  case "$name" in
    TForm10) want="Form10" ;;
    TForm11) want="Form11" ;;
    *) want="Sorelka" ;;
  esac
  got="$(xprop -id "$id" _NET_WM_NAME | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p')"
  if [ "$got" != "$want" ]; then
    echo "FAIL: $name title bar reads '$got', expected '$want'"; status=1
  fi
  class="$(xprop -id "$id" WM_CLASS | sed -n 's/^WM_CLASS(STRING) = ".*", "\(.*\)"$/\1/p')"
  if [ "$class" != "$wm_class" ]; then
    echo "FAIL: $name has window class '$class', the desktop entry expects '$wm_class'"; status=1
  fi
  count=$((count + 1))
done <"$out"
if [ "$count" -ne 16 ]; then
  echo "FAIL: expected 16 windows (15 forms and a message box), saw $count"; status=1
fi
[ $status -eq 0 ] && echo "all $count title bars read their captions"
exit $status
