#!/usr/bin/env bash
# Builds from scratch with warnings as errors and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build-test
rm -rf "$build"
cmake -S . -B "$build" -DKELBRIN_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j"$(nproc)"
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
