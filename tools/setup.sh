#!/usr/bin/env bash
# Installs what Turrion needs on Debian 12 (only what is missing), then
# configures and builds it in ./build.
#
# By default only the game: its compiler, libraries and fonts, and the
# `turrion` target with the files beside it. TURRION_TEST_TOOLS=1 adds the
# test and benchmark libraries and the desktop-file checkers and builds
# everything; TURRION_FUZZ_TOOLS=1 adds clang for the fuzz targets.
set -euo pipefail
cd "$(dirname "$0")/.."

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "ok installed"
}

packages=(build-essential cmake qt6-base-dev qt6-multimedia-dev fonts-liberation)
if [ "${TURRION_TEST_TOOLS:-0}" = 1 ]; then
  packages+=(ccache libgtest-dev libbenchmark-dev desktop-file-utils appstream)
fi
if [ "${TURRION_FUZZ_TOOLS:-0}" = 1 ]; then
  packages+=(clang-14 libclang-rt-14-dev)
fi
missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y --no-install-recommends "${missing[@]}"
fi

if [ "${TURRION_TEST_TOOLS:-0}" = 1 ]; then
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTURRION_TESTS=ON -DTURRION_BENCH=ON
  cmake --build build -j"$(nproc)"
else
  # Where the test libraries are missing, the tests and benchmarks are left
  # out of the configuration; where they are there, they are just not built.
  options=()
  installed libgtest-dev && installed libbenchmark-dev ||
    options=(-DTURRION_TESTS=OFF -DTURRION_BENCH=OFF)
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo "${options[@]}"
  cmake --build build -j"$(nproc)" --target turrion
fi
