#!/usr/bin/env bash
# Builds everything and runs every test: the plain build, a check of the Debian package built from
# it, the same tests under AddressSanitizer and UndefinedBehaviorSanitizer, and a short run of each
# fuzz target. Prints the wall time of each stage and of the whole command. Exits non-zero on failure.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

# Each stage's wall time, listed at the end, also when a stage fails, so the cost stays visible.
started=$SECONDS
stage_times=()
stage_name=
stage_from=0
end_stage() {
  [[ -n $stage_name ]] && stage_times+=("$(printf '%5d s  %s' $((SECONDS - stage_from)) "$stage_name")")
  stage_name=
}
stage() { # NAME: ends the stage in hand and starts the next
  end_stage
  stage_name=$1
  stage_from=$SECONDS
  echo "== $1"
}
print_times() {
  end_stage
  echo "== Wall time per stage"
  printf '%s\n' "${stage_times[@]}"
  printf '%5d s  total\n' $((SECONDS - started))
}
trap print_times EXIT

stage "Install missing packages"
"$root/scripts/install-deps.sh"

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
export CTEST_OUTPUT_ON_FAILURE=1

stage "Build"
# Unity builds: the Qt headers are parsed once per library instead of once per file, which takes
# about a third off each build on two cores.
unity=-DCMAKE_UNITY_BUILD=ON
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$unity" >/dev/null
cmake --build build -j "$jobs"
stage "Tests"
ctest --test-dir build -j "$jobs"

stage "Package"
# Packs the programs just built into build-package/ and checks the package in a temporary root.
"$root/scripts/check-package.sh"

stage "Build with AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUARVEL_SANITIZE=ON "$unity" >/dev/null
cmake --build build-sanitize -j "$jobs"
stage "Tests with AddressSanitizer and UndefinedBehaviorSanitizer"
# The tests that drive the simulator as a separate process spend their time in the protocol's waits
# and ran above; the same code runs here through the in-process tests.
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 ctest --test-dir build-sanitize -j "$jobs" -LE sim_process

stage "Build the fuzz targets"
CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUARVEL_FUZZ=ON >/dev/null
cmake --build build-fuzz -j "$jobs"
# Each target runs a fixed number of inputs from a fixed seed, so what it may use does not depend on
# the machine's speed; the time limit only guards a slow machine. A small AddressSanitizer quarantine
# keeps the resident size well inside the memory limit. Findings (crash, hang, leak, out-of-memory)
# fail the command and are kept in build-fuzz/findings/, the corpus in build-fuzz/corpus/.
fuzz_runs=${QUARVEL_FUZZ_RUNS:-200000}
fuzz_seconds=${QUARVEL_FUZZ_SECONDS:-180}
findings=build-fuzz/findings
mkdir -p "$findings"
for target in build-fuzz/fuzz/fuzz_*; do
  [[ -f $target && -x $target ]] || continue # not the autogen folders
  name=$(basename "$target")
  corpus="build-fuzz/corpus/$name"
  mkdir -p "$corpus"
  seeds="fuzz/seeds/${name#fuzz_}"
  log="build-fuzz/$name.log"
  stage "Fuzz $name: $fuzz_runs runs (at most ${fuzz_seconds}s)"
  if ! ASAN_OPTIONS=quarantine_size_mb=16:malloc_context_size=5 \
    "$target" -seed=1 -runs="$fuzz_runs" -max_total_time="$fuzz_seconds" -rss_limit_mb=2048 \
      -malloc_limit_mb=512 -max_len=65536 -timeout=5 -print_final_stats=1 \
      -artifact_prefix="$findings/$name-" "$corpus" $( [[ -d $seeds ]] && echo "$seeds" ) >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "$name found a fault; the input is kept in $findings/" >&2
    exit 1
  fi
  grep -E 'stat::number_of_executed_units|stat::peak_rss_mb' "$log" | tr '\n' ' '
  echo
done
echo "All tests passed."
