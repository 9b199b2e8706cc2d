#!/usr/bin/env bash
# Installs the Debian 12 packages Sorelka needs to build, run and test. Safe to
# run again: packages already present are not fetched.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev libqt6sql6-sqlite libqt6sql6-psql
  libpq-dev libssl-dev postgresql openssl
  fonts-motoya-l-maruberi fonts-noto-cjk
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth x11-utils
  at-spi2-core python3-pyatspi dbus
  poppler-utils sqlite3 libsqlite3-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
# node and npm for the xAPI validator: Debian's, unless a node (with its
# npm) is installed already from elsewhere.
command -v node >/dev/null 2>&1 || missing+=(nodejs)
command -v npm >/dev/null 2>&1 || missing+=(npm)
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
fi

# The maintained xAPI validator the tests check the exported statements with
# (from the npm registry, pinned by tests/xapi/package-lock.json).
if [ ! -d tests/xapi/node_modules/@learninglocker/xapi-validation ]; then
  npm ci --prefix tests/xapi --no-audit --no-fund --loglevel=error ||
    echo "npm could not fetch the xAPI validator; its test will say so." >&2
fi
