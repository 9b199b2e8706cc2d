#!/usr/bin/env bash
# Installs the build into a scratch prefix, checks the installed tree, and
# starts the installed program the way the desktop entry does, in the X server
# that xvfb-run provides, with a fresh user whose folders are all scratch.
# Usage: xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" install_test.sh <cmake> <build folder>
set -u
cmake="$1"
build="$2"

scratch=$(mktemp -d)
pid=""
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

prefix="$scratch/usr"
app="$prefix/lib/sorelka"
"$cmake" --install "$build" --prefix "$prefix" >"$scratch/install.log" 2>&1 ||
  { cat "$scratch/install.log"; fail "cmake --install failed"; }

# --- The installed tree ------------------------------------------------------
[ -L "$prefix/bin/sorelka" ] || fail "bin/sorelka is not a symbolic link"
[ "$(readlink -f "$prefix/bin/sorelka")" = "$(readlink -f "$app/sorelka")" ] ||
  fail "bin/sorelka does not lead to lib/sorelka/sorelka"
[ -f "$app/sorelka" ] && [ -x "$app/sorelka" ] || fail "lib/sorelka/sorelka is not an executable file"
cmp -s "$build/bin/Sorelka.hlp" "$app/Sorelka.hlp" || fail "the help file is not beside the program"
[ "$(ls "$build/bin/oto" | wc -l)" -eq 20 ] || fail "the build has not 20 cue files"
diff <(cd "$build/bin/oto" && ls) <(cd "$app/oto" && ls) ||
  fail "the installed oto/ differs from the build's"

# Only the program's own files, nothing of the tests, benchmarks or tools.
stray=$(cd "$prefix" && find . ! -type d | grep -v -E '^\./(bin/sorelka|lib/sorelka/(sorelka|Sorelka\.hlp|oto/[a-z0-9]+\.wav)|share/applications/sorelka\.desktop|share/icons/hicolor/[0-9]+x[0-9]+/apps/sorelka\.png)$')
[ -z "$stray" ] || fail "unexpected installed files: $stray"

desktop="$prefix/share/applications/sorelka.desktop"
[ -f "$desktop" ] || fail "no desktop entry"
key() { sed -n "s/^$1=//p" "$desktop" | head -n 1; }
[ "$(sed -n 1p "$desktop")" = "[Desktop Entry]" ] || fail "the desktop entry lacks its group header"
[ "$(key Type)" = "Application" ] || fail "desktop entry: Type"
[ "$(key Categories)" = "Education;Math;" ] || fail "desktop entry: Categories"
# Japanese name and comment: text outside ASCII.
LC_ALL=C grep -q '^Name=.*[^ -~]' "$desktop" || fail "desktop entry: Name is not Japanese"
LC_ALL=C grep -q '^Comment=.*[^ -~]' "$desktop" || fail "desktop entry: Comment is not Japanese"
icon=$(key Icon)
[ "$icon" = "sorelka" ] || fail "desktop entry: Icon"
for size in 16 22 24 32 48 64 128 256; do
  png="$prefix/share/icons/hicolor/${size}x${size}/apps/$icon.png"
  [ -f "$png" ] || fail "no ${size}x${size} icon"
  # PNG signature, then the IHDR width and height as 4-byte big-endian numbers.
  header=$(od -An -tx1 -N24 "$png" | tr -d ' \n')
  [ "${header:0:16}" = "89504e470d0a1a0a" ] || fail "$png is not a PNG"
  [ $((16#${header:32:8})) -eq "$size" ] && [ $((16#${header:40:8})) -eq "$size" ] ||
    fail "$png is not ${size}x${size}"
done
if command -v desktop-file-validate >/dev/null 2>&1; then
  desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the desktop entry"
fi

# --- The installed program, started as the desktop entry says ----------------
export HOME="$scratch/home"
export XDG_DATA_HOME="$scratch/data" XDG_CONFIG_HOME="$scratch/config" XDG_CACHE_HOME="$scratch/cache"
export PATH="$prefix/bin:$PATH"
# The desktop's data folders: only the scratch prefix, so the icon is found in it.
export XDG_DATA_DIRS="$prefix/share"
unset QT_QPA_PLATFORM
mkdir -p "$HOME" "$scratch/elsewhere"
read -r -a command <<<"$(key Exec)"
[ "${command[0]}" = "sorelka" ] || fail "desktop entry: Exec does not start sorelka from PATH"

# Top-level windows the program shows: "<id> <width>x<height>" per line.
shown_windows() {
  xwininfo -root -children 2>/dev/null |
    awk '$1 ~ /^0x/ { for (i = 2; i <= NF; i++) if ($i ~ /^[0-9]+x[0-9]+[+-]/) {
           split($i, g, /[+-]/); print $1, g[1]; break } }' |
    while read -r id size; do
      if xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable' &&
         xprop -id "$id" _NET_WM_PID 2>/dev/null | grep -q "= $pid\$"; then
        echo "$id $size"
      fi
    done
}

# Starts the program, waits for its main window (955x716), lets the start-up
# tick (which plays cue 16) pass and keeps the windows then shown in $windows;
# leaves the program running as $pid. Any other window is a message box: the
# screens play cue 11 while they are built, so a program that cannot find its
# cues at all shows one before the main window.
run_program() {
  (cd "$scratch/elsewhere" && exec "${command[@]}") >"$scratch/run.log" 2>&1 &
  pid=$!
  for _ in $(seq 1 60); do
    kill -0 "$pid" 2>/dev/null || { cat "$scratch/run.log"; fail "the program exited early"; }
    windows=$(shown_windows)
    echo "$windows" | grep -q ' 955x716$' && break
    [ -z "$windows" ] || fail "a message box instead of the main window (cue files not found?): $windows"
    sleep 0.5
  done
  echo "$windows" | grep -q ' 955x716$' || fail "no main window appeared"
  sleep 2.5
  kill -0 "$pid" 2>/dev/null || { cat "$scratch/run.log"; fail "the program stopped running"; }
  windows=$(shown_windows)
}
stop_program() {
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  pid=""
}

touch "$scratch/before-start"
sleep 1  # anything written afterwards is newer
run_program
[ "$(readlink -f "/proc/$pid/exe")" = "$(readlink -f "$app/sorelka")" ] ||
  fail "the running program is not lib/sorelka/sorelka"
echo "$windows" | grep -q ' 955x716$' || fail "the main window went away"
[ "$(echo "$windows" | grep -c .)" -eq 1 ] ||
  fail "besides the main window the program shows a message (a cue file not found?): $windows"
xprop -id "${windows%% *}" _NET_WM_ICON 2>/dev/null | grep -q '^_NET_WM_ICON(CARDINAL) = ' ||
  fail "the main window has no icon"
stop_program
written=$(find "$prefix" -newer "$scratch/before-start")
[ -z "$written" ] || fail "the program wrote beside itself: $written"
[ -z "$(ls -A "$scratch/elsewhere")" ] || fail "the program wrote into its working folder"

# Control: with the start-up cue missing, the same watch does see the message box.
rm "$app/oto/charararan.wav"
run_program
[ "$(echo "$windows" | grep -c .)" -ge 2 ] ||
  fail "a missing cue file went unnoticed by this test: $windows"
stop_program

echo "installed tree complete; the installed program starts from PATH, finds its cues and writes nothing beside itself"
exit 0
