#!/usr/bin/env bash
# Installs the Debian packages that the build and the tests need and that
# this machine lacks; with --build-only, just those of the plain build
# (configured with -DKELBRIN_TESTS=OFF -DKELBRIN_BENCH=OFF), as tools/demo.sh.
set -euo pipefail

build_only=false
case "${1-}" in
  --build-only) build_only=true ;;
  "") ;;
  *) echo "usage: $0 [--build-only]" >&2; exit 2 ;;
esac

# What the plain build and the programs need.
packages=(cmake make g++ pkg-config libsqlite3-dev nlohmann-json3-dev)
# What the tests, benchmarks, sanitizer and fuzz runs add.
test_packages=(
  sqlite3
  libgtest-dev libgmock-dev libbenchmark-dev
  bash dash php-cli python3 lighttpd curl
  valgrind time hyperfine gnuplot-nox
  clang-14 libclang-rt-14-dev llvm-14
  man-db groff-base
  chromium chromium-driver python3-selenium  # the page in a real browser (tests/www)
)
# The 32-bit ARM build and its run under emulation (tools/test-armhf.sh).
# Only runtime libraries come from armhf: their -dev packages pull in armhf
# headers whose versions must match the host's exactly, which a mirror that
# lags behind can make impossible; the cross compiler brings its own C library.
armhf_packages=(
  g++-arm-linux-gnueabihf qemu-user-static
  libsqlite3-0:armhf libstdc++6:armhf libgtest-dev:armhf libgmock-dev:armhf
)
if ! $build_only; then
  dpkg --print-foreign-architectures | grep -qx armhf || dpkg --add-architecture armhf
  packages+=("${test_packages[@]}" "${armhf_packages[@]}")
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if ((${#missing[@]})); then
  echo "installing: ${missing[*]}"
  # A list that fails to download (a mirror in mid-sync) is not fatal here:
  # the install below says what, if anything, it could not find.
  apt-get update -qq || echo "install-deps: some package lists could not be updated" >&2
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
