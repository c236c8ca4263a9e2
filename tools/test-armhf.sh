#!/usr/bin/env bash
# Cross-builds the program, the store library and the tests for 32-bit ARM
# and runs the whole test suite under qemu-user. Needs the packages of
# tools/install-deps.sh.
set -euo pipefail
cd "$(dirname "$0")/.."

# The tests start ARM programs of their own (the program itself, probes, CGI
# under a web server), so the kernel must hand ARM executables to qemu by
# itself: register qemu's binfmt_misc entry unless it is there already.
enable_arm_emulation() {
  local binfmt=/proc/sys/fs/binfmt_misc
  [[ -e $binfmt/register ]] || mount -t binfmt_misc binfmt_misc "$binfmt"
  [[ -e $binfmt/qemu-arm ]] || cat /usr/lib/binfmt.d/qemu-arm.conf >"$binfmt/register"
  [[ $(head -n 1 "$binfmt/qemu-arm") == enabled ]] || echo 1 >"$binfmt/qemu-arm"
}
if ! enable_arm_emulation; then
  echo "test-armhf: cannot register qemu-arm with binfmt_misc (needs root and qemu-user-static)" >&2
  exit 1
fi

started=$SECONDS
build=build-armhf
rm -rf "$build"
# Debian's static SQLite for armhf, unpacked into the build folder.
sqlite_archive=$(tools/armhf-sqlite-archive.sh "$build/sqlite-armhf")
# The release build's code without debug information: nobody debugs these
# binaries, and the cross build is faster without it.
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-armhf.cmake \
  -DKELBRIN_WERROR=ON -DKELBRIN_BENCH=OFF "-DKELBRIN_SQLITE3_ARCHIVE=$sqlite_archive" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O2 -DNDEBUG" "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -DNDEBUG"
cmake --build "$build" -j"$(nproc)"
# The browser test (label browser) runs once, natively, in tools/test-all.sh.
ctest --test-dir "$build" --output-on-failure -j"$(nproc)" -LE browser
echo "test-armhf: built and tested in $((SECONDS - started)) s"
