#!/usr/bin/env bash
# Builds the Debian package build-deb/sorelka_<version>_<arch>.deb: a Release
# build of the program alone (no tests, no benchmarks), packed by CPack.
# Installs the Debian 12 packages the build needs when they are missing.
# Usage: packaging/build-deb.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-build-deb}"

packages=(build-essential dpkg-dev cmake ninja-build qt6-base-dev qt6-multimedia-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

rm -f "$out"/sorelka_*.deb
cmake -S . -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSORELKA_TESTS=OFF -DSORELKA_BENCH=OFF
cmake --build "$out" --target package -j"$(nproc)"

deb=$(ls "$out"/sorelka_*.deb)
echo
echo "Built $deb"
dpkg-deb --field "$deb" Package Version Architecture Depends
echo "Install it with: sudo apt-get install ./$deb"
