#!/usr/bin/env bash
# Builds the fuzz targets (clang 14, libFuzzer, ASan and UBSan), replays every
# seed corpus, then fuzzes each target for the given number of seconds.
#   tools/fuzz.sh [seconds [target...]]   seconds 0: replay only; default 60
# FUZZ_JOBS targets run side by side (default 2). New inputs go to
# build-fuzz/corpus/<target>, crashes to build-fuzz/findings/<target>; the
# seeds in fuzz/corpus are only read. Exits non-zero on any finding.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
seconds=${1:-60}
shift || true
targets=("$@")
# Every target has its seed corpus folder: those folders are the list.
if ((${#targets[@]} == 0)); then
  targets=($(ls fuzz/corpus))
fi
build=build-fuzz

cmake -S . -B "$build" -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
  -DKELBRIN_FUZZ=ON -DKELBRIN_SANITIZE=ON -DKELBRIN_TESTS=OFF -DKELBRIN_BENCH=OFF \
  -DKELBRIN_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target "${targets[@]/#/fuzz_}"

# Trees are released by their roots only, by design; tools/lsan.supp names
# those allocations. Anything else that leaks is a finding.
export LSAN_OPTIONS="suppressions=$root/tools/lsan.supp:print_suppressions=0"
export ASAN_OPTIONS="abort_on_error=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

fuzz_one() {
  local target=$1 seconds=$2
  local binary="$build/bin/fuzz_$target" seeds="fuzz/corpus/$target"
  local grown="$build/corpus/$target" findings="$build/findings/$target"
  mkdir -p "$grown" "$findings"
  # Standard output and error of the code under test are closed (-close_fd_mask):
  # the readers report every bad line there, and libFuzzer's own report stays.
  # The timeout is generous: on a busy shared machine a run can stall for
  # seconds, and no input here should take more than milliseconds.
  local common=(-close_fd_mask=3 -timeout=30 -rss_limit_mb=2048 -artifact_prefix="$findings/")
  if ! "$binary" "${common[@]}" -runs=0 "$seeds" >"$findings/replay.log" 2>&1; then
    echo "fuzz $target: replay of the seeds FAILED (see $findings/replay.log)"
    return 1
  fi
  echo "fuzz $target: $(ls "$seeds" | wc -l) seeds replayed"
  # Fuzzing runs in sessions of at most two minutes, each a fresh process
  # going on from the corpus grown so far: the program releases trees only
  # by their roots, so one long process would slowly fill its memory.
  # The tree targets leave their trees to the end of each session, as the
  # program leaves them to its exit: some kilobytes a run, so their sessions
  # also end after 50,000 runs, well under the memory limit. Checking that
  # heap for leaks after each session takes longer than the session; their
  # seeds are still replayed with the leak checker on, above.
  local leaks=1 sanitizer=$ASAN_OPTIONS most=-1
  if [[ $target == complex_value || $target == render_tree ]]; then
    leaks=0
    sanitizer+=":detect_leaks=0"
    most=50000
  fi
  local left=$seconds runs=0 session=0
  : >"$findings/fuzz.log"
  while ((left > 0)); do
    local chunk=$((left < 120 ? left : 120)) started=$SECONDS
    session=$((session + 1))
    if ! ASAN_OPTIONS=$sanitizer "$binary" "${common[@]}" -detect_leaks=$leaks -max_total_time="$chunk" \
        -runs="$most" -print_final_stats=1 "$grown" "$seeds" >"$findings/session.log" 2>&1; then
      cat "$findings/session.log" >>"$findings/fuzz.log"
      echo "fuzz $target: FINDING in session $session (see $findings/fuzz.log)"
      return 1
    fi
    cat "$findings/session.log" >>"$findings/fuzz.log"
    runs=$((runs + $(grep -o 'stat::number_of_executed_units: *[0-9]*' "$findings/session.log" |
      grep -o '[0-9]*$')))
    left=$((left - (SECONDS > started ? SECONDS - started : 1)))
  done
  if ((seconds > 0)); then
    echo "fuzz $target: ${seconds}s in $session sessions, $runs runs, no finding"
  fi
}
export -f fuzz_one
export build

printf '%s\n' "${targets[@]}" |
  xargs -P "${FUZZ_JOBS:-2}" -I{} bash -c 'fuzz_one "$1" "$2"' _ {} "$seconds"
