#!/usr/bin/env bash
# Takes a screenshot of the running program's main menu in a virtual X server.
# Usage: scripts/screenshot.sh <sorelka executable> <output.png> [seconds to wait]
set -eu
exe="$1"; out="$2"; wait_s="${3:-3}"
xvfb-run -a -s "-screen 0 1000x780x24" bash -c "
  '$exe' & pid=\$!
  sleep $wait_s
  import -window root '$out'
  kill \$pid"
