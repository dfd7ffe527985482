#!/bin/sh
# Makes the Debian package in a folder of its own and has lintian judge it as
# the Debian archive would: an error fails the check, warnings are shown.
#   lint-package.sh <cpack> <lintian> <build folder>
set -eu
cpack=$1 lintian=$2 build=$3
out=$build/package-check
rm -rf "$out"
cd "$build" # cpack reads the CPackConfig.cmake of the current folder
"$cpack" -G DEB -B "$out" >"$out.log" 2>&1 || { cat "$out.log"; exit 1; }
"$lintian" --fail-on error --display-info "$out"/turrion_*.deb
