#!/usr/bin/env bash
# Starts the real program in the X server that xvfb-run provides, checks that
# its main window is mapped and that it is still running a few seconds later.
set -u
exe="$1"
errors="$(mktemp)"
"$exe" 2>"$errors" &
pid=$!
trap 'kill $pid 2>/dev/null; wait $pid 2>/dev/null; rm -f "$errors"' EXIT

found=""
for _ in $(seq 1 60); do
  if ! kill -0 "$pid" 2>/dev/null; then
    echo "FAIL: sorelka exited early"; exit 1
  fi
  if command -v xwininfo >/dev/null 2>&1; then
    if xwininfo -root -tree 2>/dev/null | grep -q '"Sorelka'; then found=yes; break; fi
  else
    found=unchecked; break
  fi
  sleep 0.5
done
if [ -z "$found" ]; then
  echo "FAIL: no window titled Sorelka appeared"; exit 1
fi
sleep 3
if ! kill -0 "$pid" 2>/dev/null; then
  echo "FAIL: sorelka stopped running"; exit 1
fi
# Without a sound device (as here, usually) the program says so in one line at most.
audio_lines="$(grep -ciE 'audio|pulse|sound' "$errors")"
if [ "$audio_lines" -gt 1 ]; then
  echo "FAIL: $audio_lines lines about sound on standard error:"; cat "$errors"; exit 1
fi
echo "sorelka shows its main window and keeps running (window check: $found)"
exit 0
