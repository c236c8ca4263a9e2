#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and
# runs the whole test suite. The leak checker stays on; tools/lsan.supp names
# the only allocations the program leaves to process exit.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

build=build-asan
# Warnings are errors in the normal build; with the sanitizers g++ 12 warns
# falsely inside the standard library (std::regex), so not here.
# -O1 with line tables only: the reports keep their file and line, and the
# build takes about 40% less time than with -O2 and full debug information.
cmake -S . -B "$build" -DKELBRIN_SANITIZE=ON -DKELBRIN_WERROR=OFF -DKELBRIN_BENCH=OFF \
  -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_C_FLAGS_DEBUG=-O1 -g1" "-DCMAKE_CXX_FLAGS_DEBUG=-O1 -g1" >/dev/null
cmake --build "$build" -j"$(nproc)"
export LSAN_OPTIONS="suppressions=$root/tools/lsan.supp:print_suppressions=0"
export ASAN_OPTIONS="detect_stack_use_after_return=1:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# Left out, with the reason:
# - hardening.crash: its 50 runs are killed (SIGKILL), so the sanitizers can
#   report nothing from them; the suite's other tests cover the same code
#   with runs that end.
# - the browser test (label browser): it tests the page and Chromium, which
#   the sanitizers do not look into; it runs once, in tools/test-all.sh.
skipped='^hardening\.crash$'
ctest --test-dir "$build" --output-on-failure -j"$(nproc)" -E "$skipped" -LE browser
