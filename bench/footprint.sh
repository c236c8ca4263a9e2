#!/usr/bin/env bash
# Measures what the program costs on a device: the stripped sizes of the
# program, the store library and kelbrinctl for x86-64 and 32-bit ARM
# (SQLite linked in), beside the library that links the shared libsqlite3
# plus that libsqlite3, and the peak
# memory of get, getgroup root and setparams over the benchmark store of
# 10,000 parameters (bench/make-store). Builds both (the project's default build type, no tests) and
# writes docs/footprint.md. Exits 1 when a target is missed.
# Needs the packages of tools/install-deps.sh.
set -euo pipefail
cd "$(dirname "$0")/.."

settings=10000
program_limit=$((100 * 1024)) # bytes, kelbrinclient stripped on armhf
memory_limit=$((8 * 1024))    # KiB, peak resident size of one command
build_type=RelWithDebInfo
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

build() { # build <dir> [cmake arguments...]
    local dir=$1
    shift
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=$build_type -DKELBRIN_TESTS=OFF -DKELBRIN_BENCH=OFF \
        "$@" >/dev/null
    cmake --build "$dir" -j"$(nproc)" >/dev/null
}
build build-footprint-x86_64
sqlite_archive=$(tools/armhf-sqlite-archive.sh build-footprint-sqlite-armhf)
build build-footprint-armhf -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-armhf.cmake \
    "-DKELBRIN_SQLITE3_ARCHIVE=$sqlite_archive"
build build-footprint-armhf-shared -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-armhf.cmake -DKELBRIN_SHARED_SQLITE=ON

stripped_size() { # stripped_size <strip> <file>
    "$1" -o "$work/stripped" "$2"
    stat -c %s "$work/stripped"
}

# The benchmark store of $settings parameters, with its file of $settings
# plain settings.
program=build-footprint-x86_64/bin/kelbrinclient
KELBRINCLIENT=$program bench/make-store $settings "$work/store" >/dev/null
export KELBRIN_STORE=$work/store/store.db
name=$(sed -n 42p "$work/store/lists/plain.txt")

peak_kib() { # peak_kib <words...>: the command's peak resident size and time
    /usr/bin/time -f '%M %e' -o "$work/peak" "$program" --nolog "$@" >/dev/null
    cat "$work/peak"
}
get_peak=$(peak_kib get "$name")
getgroup_peak=$(peak_kib getgroup root - NAMEVALUE)
setparams_peak=$(peak_kib setparams "$work/store/settings.txt")
listed=$("$program" --nolog getgroup root - NAMEVALUE | grep -c '="set-')
# The file sets some names twice; each parameter must show its last value.
distinct=$(cut -d' ' -f1 "$work/store/settings.txt" | sort -u | wc -l)

arm_program=$(stripped_size arm-linux-gnueabihf-strip build-footprint-armhf/bin/kelbrinclient)
arm_library=$(stripped_size arm-linux-gnueabihf-strip build-footprint-armhf/lib/libkelbrin.so)
arm_ctl=$(stripped_size arm-linux-gnueabihf-strip build-footprint-armhf/bin/kelbrinctl)
arm_shared_library=$(stripped_size arm-linux-gnueabihf-strip build-footprint-armhf-shared/lib/libkelbrin.so)
arm_shared_ctl=$(stripped_size arm-linux-gnueabihf-strip build-footprint-armhf-shared/bin/kelbrinctl)
arm_libsqlite=$(stripped_size arm-linux-gnueabihf-strip "$(readlink -f /usr/lib/arm-linux-gnueabihf/libsqlite3.so.0)")
x86_ctl=$(stripped_size strip build-footprint-x86_64/bin/kelbrinctl)
x86_program=$(stripped_size strip build-footprint-x86_64/bin/kelbrinclient)
x86_library=$(stripped_size strip build-footprint-x86_64/lib/libkelbrin.so)

verdict() { (($1 < $2)) && echo under || echo OVER; }
missed=0
((listed == distinct)) || missed=1
for pair in "$arm_program $program_limit" "${get_peak% *} $memory_limit" \
    "${getgroup_peak% *} $memory_limit" "${setparams_peak% *} $memory_limit"; do
    read -r value limit <<<"$pair"
    ((value < limit)) || missed=1
done
row() { # row <command> <peak and seconds>
    echo "| $1 | ${2% *} KiB | $(verdict "${2% *}" $memory_limit) | ${2#* } s |"
}

cat >docs/footprint.md <<REPORT
# Footprint

Measured by \`bench/footprint.sh\` on $(date -u +%Y-%m-%d) (Debian $(cat /etc/debian_version),
$(arm-linux-gnueabihf-g++ -dumpfullversion) cross and native g++, build type $build_type,
stripped with each target's \`strip\`). Run it again after changes that may
grow the program or the store; it exits with 1 when a target is missed.

## Stripped sizes

| file | armhf | x86-64 |
|---|---|---|
| \`kelbrinclient\` | $arm_program bytes ($(verdict "$arm_program" $program_limit) the 100 KB target) | $x86_program bytes |
| \`libkelbrin.so\` | $arm_library bytes | $x86_library bytes |
| \`kelbrinctl\` | $arm_ctl bytes | $x86_ctl bytes |

All three carry the parts of the C++ runtime they use, and the store and
\`kelbrinctl\` carry SQLite (linked statically from Debian's
\`libsqlite3.a\`, unused sections dropped), so the program needs only the C
library and \`libkelbrin.so\`.

On armhf, against the build that links the shared libsqlite3
(\`-DKELBRIN_SHARED_SQLITE=ON\`) with the \`libsqlite3.so.0\` it then needs
(Debian's, stripped):

| armhf | SQLite linked in | shared libsqlite3 |
|---|---|---|
| \`libkelbrin.so\` | $arm_library bytes | $arm_shared_library + $arm_libsqlite = $((arm_shared_library + arm_libsqlite)) bytes |
| \`kelbrinctl\` | $arm_ctl bytes | $arm_shared_ctl bytes (+ the same libsqlite3) |
| all of them, with the shared libsqlite3 where it is needed | $((arm_program + arm_library + arm_ctl)) bytes | $((arm_program + arm_shared_library + arm_shared_ctl + arm_libsqlite)) bytes |

With SQLite linked in, \`libkelbrin.so\` alone is smaller than the shared
build's library plus libsqlite3 (only the parts of SQLite it uses), but
\`kelbrinctl\` carries a copy of its own, so the device's files take
$((arm_program + arm_library + arm_ctl - arm_program - arm_shared_library - arm_shared_ctl - arm_libsqlite)) bytes more in all.

## Peak memory

Peak resident size (\`/usr/bin/time\`'s maximum RSS) of one run of each
command, native x86-64, against the benchmark store of $settings parameters
made by \`bench/make-store\` (groups of 20 nested 4 deep, one parameter in 20
complex, 1,010 dynamic groups):

| command | peak | target 8 MB | time |
|---|---|---|---|
$(row "\`get $name\`" "$get_peak")
$(row "\`getgroup root - NAMEVALUE\`" "$getgroup_peak")
$(row "\`setparams\` of $settings plain settings" "$setparams_peak")

After the \`setparams\` run, \`getgroup root\` listed $listed new values, one for
each of the $distinct parameters the file sets (it sets some of them twice).
The sizes include the shared libraries' pages that the process touched; the
times are wall-clock seconds on this machine, with the store's default sync
mode. Memory is measured natively only: under qemu-user the resident size is
the emulator's, not the program's. Pointers take 4 bytes on armhf instead of
8, so we expect less there, but it is not measured.
REPORT
cat docs/footprint.md
exit $missed
