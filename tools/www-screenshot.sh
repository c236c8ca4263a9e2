#!/usr/bin/env bash
# Makes docs/www.png: the settings page of the example device as the browser
# test sees it, in headless Chromium (the packages of tools/install-deps.sh).
#   tools/www-screenshot.sh [build directory]   (default build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
[[ -d $build ]] || cmake -S . -B "$build" -DKELBRIN_WERROR=ON >/dev/null
cmake --build "$build" -j2 --target kelbrinclient kelbrinctl >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
CI=true /usr/bin/python3 tests/www/browser_test.py examples/www/serve.sh "$build/bin" "$work" >/dev/null
cp "$work/www.png" docs/www.png
echo "www-screenshot: docs/www.png written"
