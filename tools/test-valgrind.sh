#!/usr/bin/env bash
# Runs the tests that start the real program (through the test harness) with
# every program run under valgrind's memcheck. A memory error, or a leak that
# tools/valgrind.supp does not name, makes the program exit with 99, which
# fails the test that ran it.
#   tools/test-valgrind.sh [build directory]   (default build-test)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

build=${1:-build-test}
if [[ ! -x $build/bin/kelbrinclient ]]; then
  cmake -S . -B "$build" -DKELBRIN_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$build" -j"$(nproc)"
fi
export KELBRIN_TEST_WRAPPER="$(command -v valgrind) --quiet --error-exitcode=99 \
--leak-check=full --errors-for-leak-kinds=definite,indirect --show-leak-kinds=definite,indirect \
--suppressions=$root/tools/valgrind.supp"

# The program tests of each area, two at a time, each with the tests it
# leaves out and why:
# - Syslog.usesArgumentZeroAsIdentWithPidAndUserFacility: an argument zero
#   with a slash cannot be passed on by the wrapper.
# - CrashSafety: its 50 runs are killed on purpose, so memcheck can report
#   nothing from them, and its kill moments are timed on native speed.
# - Concurrency: 8 processes for 20 s, a stress test of the store's locking.
printf '%s\n' \
  "front_tests -Syslog.usesArgumentZeroAsIdentWithPidAndUserFacility" \
  "input_program_tests *" \
  "output_program_tests *" \
  "groups_tests *" \
  "hardening_tests -CrashSafety.*:Concurrency.*" |
  xargs -P "$(nproc)" -L 1 sh -c \
    '"$1/bin/$2" --gtest_brief=1 --gtest_filter="$3" >"$1/valgrind-$2.log" 2>&1 && echo "valgrind: $2 passed" ||
     { echo "valgrind: $2 FAILED"; tail -40 "$1/valgrind-$2.log"; exit 1; }' _ "$build"
