#!/usr/bin/env bash
# Sets everything up and runs the whole test suite: the normal build, the same
# suite under AddressSanitizer and UndefinedBehaviorSanitizer, and a bounded
# run of every fuzz target over its corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
TURRION_TEST_TOOLS=1 TURRION_FUZZ_TOOLS=1 bash tools/setup.sh
export QT_QPA_PLATFORM=offscreen

echo "== Test suite"
ctest --test-dir build --output-on-failure -j2

echo "== Test suite under AddressSanitizer (with leak checks) and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DTURRION_SANITIZE=ON -DTURRION_BENCH=OFF
cmake --build build-asan -j"$(nproc)"
# Leaks inside the system's font library, which Qt loads once per process,
# are not ours; everything else fails the run.
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
LSAN_OPTIONS=suppressions=$PWD/tests/fuzz/lsan.supp:print_suppressions=0 \
  ctest --test-dir build-asan --output-on-failure -j2

if [ -f tests/fuzz/CMakeLists.txt ]; then
  echo "== Fuzz targets"
  bash tools/fuzz.sh "${TURRION_FUZZ_SECONDS:-60}"
fi
