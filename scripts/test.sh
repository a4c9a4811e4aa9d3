#!/usr/bin/env bash
# Builds everything and runs every test: the plain build, the same tests under AddressSanitizer
# and UndefinedBehaviorSanitizer, and a short run of each fuzz target. Exits non-zero on failure.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
"$root/scripts/install-deps.sh"

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
export CTEST_OUTPUT_ON_FAILURE=1

echo "== Build and test"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build -j "$jobs"

echo "== Build and test with AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUARVEL_SANITIZE=ON >/dev/null
cmake --build build-sanitize -j "$jobs"
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 ctest --test-dir build-sanitize -j "$jobs"

echo "== Fuzz the parsers briefly"
CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUARVEL_FUZZ=ON >/dev/null
cmake --build build-fuzz -j "$jobs"
fuzz_seconds=${QUARVEL_FUZZ_SECONDS:-20}
for target in build-fuzz/fuzz/fuzz_*; do
  [[ -f $target && -x $target ]] || continue # not the autogen folders
  name=$(basename "$target")
  corpus="build-fuzz/corpus/$name"
  mkdir -p "$corpus"
  seeds="fuzz/seeds/${name#fuzz_}"
  echo "-- $name for ${fuzz_seconds}s"
  "$target" -max_total_time="$fuzz_seconds" -rss_limit_mb=512 -max_len=65536 -timeout=5 \
    -print_final_stats=0 "$corpus" $( [[ -d $seeds ]] && echo "$seeds" ) 2>&1 | tail -n 3
done
echo "All tests passed."
