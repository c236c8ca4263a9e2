#!/usr/bin/env bash
# Installs what is missing, builds, loads the example device into the
# embedded default store and shows its parameters.
set -euo pipefail
cd "$(dirname "$0")/.."

# Only what the build needs: the tests and benchmarks have their own
# packages, which .ci/run installs.
tools/install-deps.sh --build-only
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELBRIN_TESTS=OFF -DKELBRIN_BENCH=OFF
cmake --build build -j"$(nproc)"
build/bin/kelbrinclient readgroupfile examples/device.json
build/bin/kelbrinclient getgroup root - NAMEVALUESECTIONS
