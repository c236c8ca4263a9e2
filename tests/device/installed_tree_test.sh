#!/usr/bin/env bash
# The installed tree, moved away from its prefix, runs: the program, and a program built with
# the installed header and pkg-config file.   installed_tree_test.sh BUILD SOURCE CC [FLAGS...]
# FLAGS build the user's program: a sanitized store needs its runtime in the program.
set -uo pipefail
build=$1 source=$2 compiler=$3
. "$source/tests/device/check.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/prefix" >/dev/null || { echo "install failed"; exit 1; }
mv "$work/prefix" "$work/moved"
tree=$work/moved

check "installed files" "bin/kelbrinclient bin/kelbrinctl include/kelbrin.h lib/libkelbrin.so \
lib/pkgconfig/libkelbrin.pc share/bash-completion/completions/kelbrinclient \
share/bash-completion/completions/kelbrinctl share/man/man1/kelbrinclient.1 share/man/man1/kelbrinctl.1" \
    "$(cd "$tree" && find . -type f | sed 's|^\./||' | LC_ALL=C sort | xargs)"
check "installed header is the interface header" same \
    "$(cmp -s "$source/libkelbrin/include/kelbrin.h" "$tree/include/kelbrin.h" && echo same)"
dynamic=$(readelf -d "$tree/bin/kelbrinclient" "$tree/lib/libkelbrin.so")
for entry in 'Library runpath: [$ORIGIN/../lib]' 'Shared library: [libkelbrin.so]' 'Library soname: [libkelbrin.so]'; do
    check_contains "dynamic section has $entry" "$entry" "$dynamic"
done
check "program carries no other search path" 1 "$(grep -c -E 'RPATH|RUNPATH' <<<"$dynamic")"

# The installed program against a store of its own, without LD_LIBRARY_PATH.
run() {
    env -u LD_LIBRARY_PATH -u LD_PRELOAD -u REQUEST_METHOD KELBRIN_STORE="$work/store.db" "$tree/bin/kelbrinclient" "$@"
}
check "installed program loads, sets, reads and creates a group" $'root.Door.Name="back"\nroot.Badge.B0' \
    "$(run --nolog readgroupfile "$source/tests/tables/device.json" set root.Door.Name back \
        get root.Door.Name - NAMEVALUE addgroup root.Badge badge 2>&1)"
check "installed program's usage and exit status" "Wrong arguments! 1" "$(run 2>&1 | head -n 1) $(run 2>/dev/null; echo $?)"

# A program of the user's own, compiled with what pkg-config says.
flags=$(PKG_CONFIG_PATH=$tree/lib/pkgconfig pkg-config --cflags --libs libkelbrin)
check "pkg-config names the installed tree" \
    "-I$tree/lib/pkgconfig/../../include -L$tree/lib/pkgconfig/../../lib -lkelbrin" "${flags% }"
printf '%s\n' '#include <kelbrin.h>' '#include <stdio.h>' '#include <stdlib.h>' 'int main(void) {' \
    '    ClientOptions options;' '    int32_t error = 0;' '    cli_resetOptions(&options);' \
    '    char *value = cli_getCustomParam("root.Door.Name", &options, &error);' \
    '    printf("%d %s\n", error, value ? value : "(none)");' '    free(value);' '}' >"$work/reader.c"
# shellcheck disable=SC2086 # the flags are words
"$compiler" "${@:4}" -o "$work/reader" "$work/reader.c" $flags -Wl,-rpath,"$tree/lib"
check "program built against the installed tree reads the store" "0 back" \
    "$(env -u LD_LIBRARY_PATH KELBRIN_STORE="$work/store.db" "$work/reader")"
finish
