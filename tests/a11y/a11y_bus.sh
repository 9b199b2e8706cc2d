#!/usr/bin/env bash
# Runs a command on a private accessibility bus, as a screen reader's desktop
# session has one. To be started inside xvfb-run and dbus-run-session: starts
# the AT-SPI bus launcher, waits until the bus answers, runs the command with
# Qt's accessibility bridge always on (Qt programs on xcb), stops the launcher
# and passes the command's exit status on.
set -u
launcher=/usr/libexec/at-spi-bus-launcher
if [ ! -x "$launcher" ]; then
  echo "FAIL: $launcher is missing (package at-spi2-core)"; exit 1
fi
"$launcher" --launch-immediately &
launcher_pid=$!
trap 'kill $launcher_pid 2>/dev/null; wait $launcher_pid 2>/dev/null' EXIT

# The launcher takes the bus name a moment after it starts; ask until it answers.
up=""
for _ in $(seq 1 100); do
  if dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
       org.a11y.Bus.GetAddress >/dev/null 2>&1; then up=yes; break; fi
  sleep 0.1
done
if [ -z "$up" ]; then
  echo "FAIL: the accessibility bus did not come up within 10 s"; exit 1
fi

export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb SORELKA_A11Y_BUS=1
"$@"
