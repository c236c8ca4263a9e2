#!/usr/bin/env bash
# Builds the variant that links the system's shared libsqlite3
# (KELBRIN_SHARED_SQLITE=ON) and runs every test once on it.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build-shared-sqlite
rm -rf "$build"
cmake -S . -B "$build" -DKELBRIN_WERROR=ON -DKELBRIN_SHARED_SQLITE=ON -DKELBRIN_BENCH=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j"$(nproc)"
# The browser test runs once, in tools/test-all.sh: it tests the page, not the link.
ctest --test-dir "$build" --output-on-failure -j"$(nproc)" -LE browser
