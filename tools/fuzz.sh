#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time
# over a scratch copy of its seed corpus and past findings.
#
#   tools/fuzz.sh [seconds per target, default 60] [target ...]
#
# Targets are named without "fuzz_" (settings, load, receive, flow); all by
# default.
# Fails on any crash, failed check, leak or sanitizer report; the input that
# failed is kept under build-fuzz/artifacts/. The last lines of each run (the
# executions, cov: and ft: figures) are printed.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
shift || true

cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 \
  -DTURRION_FUZZ=ON -DTURRION_BENCH=OFF -DTURRION_TESTS=ON >/dev/null
targets=()
if [ "$#" -gt 0 ]; then
  for name in "$@"; do targets+=("fuzz_${name#fuzz_}"); done
else
  # The whole program's flow last, after the targets of its parts.
  for f in tests/fuzz/fuzz_*.cpp; do
    name="$(basename "$f" .cpp)"
    [ "$name" = fuzz_flow ] || targets+=("$name")
  done
  [ -f tests/fuzz/fuzz_flow.cpp ] && targets+=(fuzz_flow)
fi
cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]}"

export QT_QPA_PLATFORM=offscreen
# Short allocation stacks: the fuzzers allocate on every chunk, and a crash
# still reports its own stack in full.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:malloc_context_size=2:quarantine_size_mb=32
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tests/fuzz/lsan.supp:print_suppressions=0
mkdir -p build-fuzz/artifacts
for t in "${targets[@]}"; do
  name="${t#fuzz_}"
  work="build-fuzz/corpus-$name"
  rm -rf "$work"; mkdir -p "$work"
  cp tests/fuzz/corpus/"$name"/* "$work"/ 2>/dev/null || true
  cp tests/fuzz/findings/"$name"/* "$work"/ 2>/dev/null || true
  dict=()
  [ -f "tests/fuzz/$name.dict" ] && dict=(-dict="tests/fuzz/$name.dict")
  # Qt's caches of fonts and text layouts keep a little of nearly every run
  # of the whole program until the event loop trims them, so libFuzzer's
  # leak check after each run would run most inputs twice and then switch
  # itself off. A real leak is still reported when the process ends.
  [ "$name" = flow ] && dict+=(-detect_leaks=0)
  echo "-- $t for ${seconds}s"
  log="build-fuzz/$t.log"
  status=0
  ./build-fuzz/bin/"$t" "${dict[@]}" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=4096 \
    -print_final_stats=1 -artifact_prefix=build-fuzz/artifacts/"$name"- "$work" >"$log" 2>&1 || status=$?
  grep -E "^(#[0-9]+\s+(INITED|DONE)|stat::(number_of_executed_units|average_exec_per_sec|new_units_added|peak_rss_mb)|==[0-9]+==ERROR|SUMMARY|fuzz check failed)" "$log" || true
  if [ "$status" -ne 0 ] || grep -qE "==[0-9]+==ERROR|runtime error:" "$log"; then
    tail -60 "$log"
    echo "fuzz target $t failed (exit $status)"
    exit 1
  fi
done
echo "fuzzing: all targets clean"
