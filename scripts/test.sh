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
# Test runs wait on the instrument's line nearly all the time (a whole run takes seconds of
# processor time), so each goes on in the background beside the next stage that computes; its output
# and its own wall time follow when it is waited for.
background_run=
background_from=0
start_in_background() { # NAME LOG COMMAND...
  background_run=$1
  local log=$2
  shift 2
  echo "== $background_run: in the background, output in $log"
  background_from=$SECONDS
  "$@" >"$log" 2>&1 &
  background_pid=$!
  background_log=$log
}
finish_background() { # waits for the run in the background; fails when it failed
  local status=0
  end_stage
  wait "$background_pid" || status=$?
  echo "== $background_run"
  cat "$background_log"
  stage_times+=("$(printf '%5d s  %s' $((SECONDS - background_from)) "$background_run (in the background)")")
  background_run=
  return "$status"
}
on_exit() {
  [[ -z $background_run ]] || kill "$background_pid" 2>/dev/null || true
  print_times
}
trap on_exit EXIT

stage "Install missing packages"
"$root/scripts/install-deps.sh"

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
export CTEST_OUTPUT_ON_FAILURE=1

stage "Build"
# Unity builds: the Qt headers are parsed once per library instead of once per file, which takes
# about a third off each build on two cores. Debug information is line tables only (-g1), enough for
# a backtrace and for the sanitizers' reports, which takes about a sixth off the processor time.
unity=-DCMAKE_UNITY_BUILD=ON
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$unity" \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" >/dev/null
cmake --build build -j "$jobs"
# Four test programs run per processor; the long ones are split into shares (tests/CMakeLists.txt).
tests_at_once=$((4 * jobs))
start_in_background "Tests" build/tests.log ctest --test-dir build -j "$tests_at_once"

stage "Build with AddressSanitizer and UndefinedBehaviorSanitizer"
# Only what the in-process tests need: the programs, benchmarks and simulator-process tests are
# built above, and the tests that start the simulator spend their time in the protocol's waits, not
# in code of their own.
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUARVEL_SANITIZE=ON "$unity" \
  -DCMAKE_CXX_FLAGS_DEBUG="-g1" >/dev/null
cmake --build build-sanitize -j "$jobs" --target quarvel_in_process_tests
finish_background

stage "Package"
# Packs the programs just built into build-package/ and checks the package in a temporary root.
"$root/scripts/check-package.sh"

start_in_background "Tests with AddressSanitizer and UndefinedBehaviorSanitizer" build-sanitize/tests.log \
  env ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-sanitize -j "$tests_at_once" -LE sim_process

stage "Build the fuzz targets"
CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUARVEL_FUZZ=ON \
  "$unity" >/dev/null
cmake --build build-fuzz -j "$jobs"

stage "Fuzz the parsers, one target per processor at a time"
# Each target runs a fixed number of inputs from a fixed seed, so what it may use does not depend on
# the machine's speed; the time limit only guards a machine that is far too slow, and a target it
# stops early says so. A small AddressSanitizer quarantine keeps the resident size well inside the
# memory limit. Findings (crash, hang, leak, out-of-memory) fail the command and are kept in
# build-fuzz/findings/, the corpus in build-fuzz/corpus/.
# The runs of a target whose inputs cost more (the port identity target writes a file per input)
# are fewer, so that no target takes more than about 15 s on two cores.
declare -A target_runs=([fuzz_instrument_replies]=150000 [fuzz_loader_replies]=150000 [fuzz_port_identity]=30000)
fuzz_seconds=${QUARVEL_FUZZ_SECONDS:-900}
findings=build-fuzz/findings
mkdir -p "$findings"
fuzz() { # TARGET: its runs; prints its figures and time, or the end of its log on a finding
  local target=$1 name corpus seeds log from=$SECONDS
  name=$(basename "$target")
  corpus="build-fuzz/corpus/$name"
  mkdir -p "$corpus"
  seeds="fuzz/seeds/${name#fuzz_}"
  log="build-fuzz/$name.log"
  local fuzz_runs=${QUARVEL_FUZZ_RUNS:-${target_runs[$name]:-200000}}
  if ! ASAN_OPTIONS=quarantine_size_mb=16:malloc_context_size=5 \
    "$target" -seed=1 -runs="$fuzz_runs" -max_total_time="$fuzz_seconds" -rss_limit_mb=2048 \
      -malloc_limit_mb=512 -max_len=65536 -timeout=5 -print_final_stats=1 \
      -artifact_prefix="$findings/$name-" "$corpus" $( [[ -d $seeds ]] && echo "$seeds" ) >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "$name found a fault; the input is kept in $findings/" >&2
    return 1
  fi
  local runs rss
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  rss=$(sed -n 's/^stat::peak_rss_mb: *//p' "$log")
  echo "-- $name: $runs runs in $((SECONDS - from)) s, at most $rss MB resident"
  ((runs >= fuzz_runs)) || echo "-- $name: stopped by the time limit of ${fuzz_seconds}s before its $fuzz_runs runs"
}
fuzz_all() ( # every target, as many at a time as there are processors (a subshell: "wait -n"
  # then waits for these alone, not for the tests in the background)
  local running=0 failed=0 target
  for target in build-fuzz/fuzz/fuzz_*; do
    [[ -f $target && -x $target ]] || continue # not the autogen folders
    if ((running >= jobs)); then
      wait -n || failed=1
      running=$((running - 1))
    fi
    fuzz "$target" &
    running=$((running + 1))
  done
  for ((; running > 0; running--)); do
    wait -n || failed=1
  done
  ((failed == 0))
)
fuzz_all
finish_background
echo "All tests passed."
