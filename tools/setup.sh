#!/usr/bin/env bash
# Installs what Turrion needs on Debian 12 (only what is missing), then
# configures and builds it in ./build.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(build-essential cmake ccache qt6-base-dev qt6-multimedia-dev libgtest-dev
          libbenchmark-dev fonts-liberation)
if [ "${TURRION_FUZZ_TOOLS:-0}" = 1 ]; then
  packages+=(clang-14 libclang-rt-14-dev)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y --no-install-recommends "${missing[@]}"
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
