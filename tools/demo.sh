#!/usr/bin/env bash
# Installs what is missing, builds, loads the example device into the
# embedded default store and shows its parameters.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
build/bin/kelbrinclient readgroupfile examples/device.json
build/bin/kelbrinclient getgroup root - NAMEVALUESECTIONS
