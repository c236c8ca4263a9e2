#!/usr/bin/env bash
# Runs the program's tables (tests/tables) with every run of the program
# under valgrind's memcheck. A memory error, or a leak that
# tools/valgrind.supp does not name, makes the program exit with 99, which
# fails the row that ran it. Rows of "sh:" lines start the program without
# the checker: those that only a shell can set up (argument zero, a hundred
# processes, another user, a mount namespace).
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
ctest --test-dir "$build" --output-on-failure -j"$(nproc)" -R '^table\.' -LE browser
