#!/usr/bin/env bash
# Measures what the program costs on a device: the stripped sizes of the
# program and the store library for x86-64 and 32-bit ARM, and the peak
# memory of get, getgroup root and setparams over a store of 10,000
# settings. Builds both (the project's default build type, no tests) and
# writes docs/footprint.md. Exits 1 when a target is missed.
# Needs the packages of tools/install-deps.sh.
set -euo pipefail
cd "$(dirname "$0")/.."

settings=10000
groups=100
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
build build-footprint-armhf -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-armhf.cmake

stripped_size() { # stripped_size <strip> <file>
    "$1" -o "$work/stripped" "$2"
    stat -c %s "$work/stripped"
}

# A store of $settings plain parameters in $groups groups, and a parameter
# file in the section form that sets every one of them.
{
    echo '{ "groups": ['
    for ((g = 0; g < groups; g++)); do
        ((g > 0)) && echo ','
        printf '{ "group": "root.Bench.G%d", "items": [' "$g"
        for ((p = 0; p < settings / groups; p++)); do
            ((p > 0)) && printf ','
            printf '{ "parameter": "P%d", "value": "v%d" }' "$p" "$p"
        done
        echo '] }'
    done
    echo '] }'
} >"$work/bench.json"
for ((g = 0; g < groups; g++)); do
    printf '[Bench.G%d]\n' "$g"
    for ((p = 0; p < settings / groups; p++)); do
        printf 'P%d = "new value %d"\n' "$p" "$p"
    done
done >"$work/settings.conf"

program=build-footprint-x86_64/bin/kelbrinclient
export KELBRIN_STORE=$work/store.db
"$program" --nolog readgroupfile "$work/bench.json"

peak_kib() { # peak_kib <words...>: the command's peak resident size and time
    /usr/bin/time -f '%M %e' -o "$work/peak" "$program" --nolog "$@" >/dev/null
    cat "$work/peak"
}
get_peak=$(peak_kib get root.Bench.G42.P42)
getgroup_peak=$(peak_kib getgroup root - NAMEVALUE)
setparams_peak=$(peak_kib setparams "$work/settings.conf")
listed=$("$program" --nolog getgroup root - NAMEVALUE | grep -c '="new value')

arm_program=$(stripped_size arm-linux-gnueabihf-strip build-footprint-armhf/bin/kelbrinclient)
arm_library=$(stripped_size arm-linux-gnueabihf-strip build-footprint-armhf/lib/libkelbrin.so)
x86_program=$(stripped_size strip build-footprint-x86_64/bin/kelbrinclient)
x86_library=$(stripped_size strip build-footprint-x86_64/lib/libkelbrin.so)

verdict() { (($1 < $2)) && echo under || echo OVER; }
missed=0
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

Both carry the parts of the C++ runtime they use (linked statically, unused
sections dropped), so the program needs only the C library and
\`libkelbrin.so\`, and the store library \`libsqlite3.so.0\` besides; these
shared libraries are not counted.

## Peak memory

Peak resident size (\`/usr/bin/time\`'s maximum RSS) of one run of each
command, native x86-64, against an embedded store of $settings plain
settings in $groups groups (\`root.Bench.G0\` to \`root.Bench.G$((groups - 1))\`):

| command | peak | target 8 MB | time |
|---|---|---|---|
$(row "\`get root.Bench.G42.P42\`" "$get_peak")
$(row "\`getgroup root - NAMEVALUE\` ($settings lines)" "$getgroup_peak")
$(row "\`setparams\` of a $settings-setting section file" "$setparams_peak")

After the \`setparams\` run, \`getgroup root\` listed $listed of the $settings new
values. The sizes include the shared libraries' pages that the process
touched; the times are wall-clock seconds on this machine, with the store's
default sync mode. Memory is measured natively only: under qemu-user the
resident size is the emulator's, not the program's. Pointers take 4 bytes on
armhf instead of 8, so we expect less there, but it is not measured.
REPORT
cat docs/footprint.md
exit $missed
