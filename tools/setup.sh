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
  packages+=(ccache libgtest-dev libbenchmark-dev desktop-file-utils appstream lintian)
fi
if [ "${TURRION_FUZZ_TOOLS:-0}" = 1 ]; then
  packages+=(clang-14 libclang-rt-14-dev)
fi
missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null 2>&1; then
      {
        echo "These Debian packages are missing: ${missing[*]}"
        echo "Installing them needs root, and this system has no sudo. Either run the"
        echo "same command as root, e.g.  su -c 'bash tools/play.sh'  (or tools/test.sh),"
        echo "or install the packages as root first, then run it again as yourself:"
        echo "  su -c 'apt-get update && apt-get install -y --no-install-recommends ${missing[*]}'"
      } >&2
      exit 1
    fi
    sudo_cmd=(sudo)
  fi
  echo "Installing: ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
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
