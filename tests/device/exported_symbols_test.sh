#!/usr/bin/env bash
# libkelbrin.so exports its interface alone: every symbol it defines for
# others matches a global pattern of exports.map, none is SQLite's, and with
# SQLite linked in the library needs no libsqlite3 beside it.
#   exported_symbols_test.sh NM READELF LIBRARY EXPORTS_MAP static|shared
set -euo pipefail
nm=$1 readelf=$2 library=$3 map=$4 link=$5

mapfile -t patterns < <(sed -n '/global:/,/local:/{s/^[[:space:]]*\([^:[:space:]]*\);.*/\1/p}' "$map")
((${#patterns[@]})) || { echo "no global patterns in $map" >&2; exit 1; }
mapfile -t symbols < <("$nm" -D --defined-only "$library" | awk '{print $NF}')

failed=0 interface=0
for symbol in "${symbols[@]}"; do
    matched=0
    for pattern in "${patterns[@]}"; do
        # shellcheck disable=SC2053 # the pattern is a glob on purpose
        [[ $symbol == $pattern ]] && matched=1
    done
    if [[ $symbol == sqlite3* ]] || ((!matched)); then
        echo "exported beyond the interface: $symbol" >&2
        failed=1
    else
        interface=$((interface + 1))
    fi
done
((interface >= 10)) || { echo "only $interface interface symbols exported" >&2; failed=1; }

needs_sqlite=$("$readelf" -d "$library" | grep -c 'NEEDED.*libsqlite3' || true)
if [[ $link == static && $needs_sqlite != 0 ]] || [[ $link == shared && $needs_sqlite == 0 ]]; then
    echo "SQLite linked $link, but the library needs libsqlite3 $needs_sqlite time(s)" >&2
    failed=1
fi
echo "$interface interface symbols exported, SQLite linked $link"
exit $failed
