#!/usr/bin/env bash
# Installs the build into a temporary prefix, moves the installed tree, and
# runs the installed program and a program built against the installed
# header and pkg-config file, with nothing pointing back at the build.
# Usage: installed_tree_test.sh BUILD_DIR SOURCE_DIR C_COMPILER [FLAGS...]
# FLAGS are added to the user's program: a sanitized build's store needs its
# sanitizer runtime linked into the program that loads it.
set -uo pipefail
build=$1 source=$2 compiler=$3
extra_flags=("${@:4}")
. "$source/tests/device/check.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/prefix" >/dev/null || { echo "install failed"; exit 1; }
mv "$work/prefix" "$work/moved"
tree=$work/moved

for file in bin/kelbrinclient lib/libkelbrin.so include/kelbrin.h lib/pkgconfig/libkelbrin.pc \
    share/man/man1/kelbrinclient.1 share/bash-completion/completions/kelbrinclient \
    bin/kelbrinctl share/man/man1/kelbrinctl.1 share/bash-completion/completions/kelbrinctl; do
    check "installed $file" yes "$([[ -f $tree/$file ]] && echo yes || echo no)"
done
check "installed header is the interface header" same \
    "$(cmp -s "$source/libkelbrin/include/kelbrin.h" "$tree/include/kelbrin.h" && echo same || echo differs)"

dynamic=$(readelf -d "$tree/bin/kelbrinclient")
check_contains "program finds the store beside it" 'Library runpath: [$ORIGIN/../lib]' "$dynamic"
check_contains "program needs the store by its plain name" 'Shared library: [libkelbrin.so]' "$dynamic"
check "program carries no other search path" 1 "$(grep -c -E 'RPATH|RUNPATH' <<<"$dynamic")"
check_contains "store's soname" 'Library soname: [libkelbrin.so]' "$(readelf -d "$tree/lib/libkelbrin.so")"

# The installed program against a store of its own, without LD_LIBRARY_PATH.
run() {
    env -u LD_LIBRARY_PATH -u LD_PRELOAD -u REQUEST_METHOD KELBRIN_STORE="$work/store.db" \
        "$tree/bin/kelbrinclient" "$@"
}
output=$(run --nolog readgroupfile "$source/tests/device/door.json" set root.Door.Name back \
    get root.Door.Name - NAMEVALUE addgroup root.Door badge 2>&1)
check "installed program loads, sets and reads" 'root.Door.Name="back"' "${output%%$'\n'*}"
check "installed program creates a dynamic group" yes \
    "$([[ ${output#*$'\n'} =~ ^root\.Door\.B[0-9]+$ ]] && echo yes || echo no)"
check "installed program's usage and exit status" "Wrong arguments! 1" \
    "$(run 2>&1 | head -n 1) $(run >/dev/null 2>&1; echo $?)"

# A program of the user's own, compiled with what pkg-config says.
flags=$(PKG_CONFIG_PATH=$tree/lib/pkgconfig pkg-config --cflags --libs libkelbrin)
flags=${flags% }
check "pkg-config names the installed tree" \
    "-I$tree/lib/pkgconfig/../../include -L$tree/lib/pkgconfig/../../lib -lkelbrin" "$flags"
cat >"$work/reader.c" <<'PROGRAM'
#include <kelbrin.h>
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char **argv) {
    ClientOptions options;
    int32_t error = 0;
    cli_resetOptions(&options);
    char *value = cli_getCustomParam(argc > 1 ? argv[1] : "", &options, &error);
    printf("%d %s\n", error, value ? value : "(none)");
    free(value);
    return 0;
}
PROGRAM
# shellcheck disable=SC2086 # the flags are words
if "$compiler" "${extra_flags[@]}" -o "$work/reader" "$work/reader.c" $flags -Wl,-rpath,"$tree/lib"; then
    check "program built against the installed tree reads the store" "0 back" \
        "$(env -u LD_LIBRARY_PATH KELBRIN_STORE="$work/store.db" "$work/reader" root.Door.Name)"
else
    check "program builds against the installed header and library" built failed
fi
finish
