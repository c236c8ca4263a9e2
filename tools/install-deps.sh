#!/usr/bin/env bash
# Installs the Debian packages that the build and the tests need and that
# this machine lacks.
set -euo pipefail

packages=(
  cmake make g++ pkg-config
  libsqlite3-dev sqlite3 nlohmann-json3-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  bash dash php-cli python3 lighttpd curl
  valgrind time hyperfine
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if ((${#missing[@]})); then
  echo "installing: ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
