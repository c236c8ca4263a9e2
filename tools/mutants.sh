#!/usr/bin/env bash
# Plants each fault of tools/mutants.txt (drawn by tools/draw-mutants.py) in
# turn and tells which ones the test suite catches.
# Usage: tools/mutants.sh [--sanitize] [CHECKOUT]
#   CHECKOUT    the tree whose tests are measured (default: this repository);
#               the list is always the one beside this script
#   --sanitize  runs the survivors again with CHECKOUT's tools/test-sanitize.sh
#               (ASan+UBSan in build-asan), so that a leak or overflow counts
# Builds in CHECKOUT/build-mutants. A mutant is caught when ctest fails; one
# that fails only tests labelled "slow" (crash safety, concurrency: timing-
# sensitive) is run again and caught only if it fails again. Every planted
# file is restored, also on interruption. The unmutated suite must pass first.
set -euo pipefail

sanitize=no
if [[ ${1-} == --sanitize ]]; then
    sanitize=yes
    shift
fi
list=$(cd "$(dirname "$0")" && pwd)/mutants.txt
cd "${1:-$(dirname "$0")/..}"
build="build-mutants"
mapfile -t mutants <"$list"

die() {
    echo "mutants: $*" >&2
    exit 2
}

# The fields of mutant line $1: id, file, line number, old text, new text.
fields() {
    IFS=$'\t' read -r id file line old new <<<"$1"
}

planted=""
restore() {
    if [[ -n $planted ]]; then
        cp "$backup" "$planted"
        planted=""
    fi
}
backup=$(mktemp)
trap 'restore; rm -f "$backup"' EXIT
trap 'exit 130' INT TERM

plant() {
    fields "$1"
    cp "$file" "$backup"
    planted=$file
    NEW=$new awk -v n="$line" 'NR == n { print ENVIRON["NEW"]; next } { print }' "$backup" >"$file"
}

for m in "${mutants[@]}"; do
    fields "$m"
    [[ $(sed -n "${line}p" "$file" 2>/dev/null) == "$old" ]] ||
        die "$id: $file:$line does not read as listed; is this the tree the list was drawn from?"
done

# Runs "$@" (a build and ctest of build directory $dir) and sets $failed to
# the names of the tests that failed. A build failure is an error.
suite() {
    local dir=$1 failures=$1/Testing/Temporary/LastTestsFailed.log
    shift
    rm -f "$failures"
    failed=""
    "$@" >"$log" 2>&1 && return
    [[ -s $failures ]] || die "the build or ctest failed, see $log"
    failed=$(sed 's/^[0-9]*://; s/  *#.*//' "$failures" | paste -sd ' ')
}

# suite, but a failure of only timing-sensitive tests is checked by a re-run.
measure() {
    suite "$@"
    local name
    for name in $failed; do
        grep -qxF "$name" <<<"$slow" || return 0
    done
    [[ -z $failed ]] || { rerun=" (first run: $failed; re-run)" && suite "$@"; }
}

plain() {
    cmake --build "$build" -j2 && ctest --test-dir "$build" -j2 --timeout 120
}
sanitized() {
    tools/test-sanitize.sh
}

[[ -f $build/CMakeCache.txt ]] ||
    cmake -S . -B "$build" -DKELBRIN_WERROR=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DKELBRIN_BENCH=OFF >/dev/null
log=$PWD/$build/mutants-last.log
suite "$build" plain
[[ -z $failed ]] || die "the unmutated suite fails: $failed"
slow=$(ctest --test-dir "$build" -N -L slow | sed -n 's/^ *Test *#[0-9]*: //p' | sed 's/  *#.*//')

# pass DIR RUN MUTANT...: plants each mutant and runs the suite with RUN in
# build directory DIR; prints a line for each, leaves the survivors in $survivors.
pass() {
    local dir=$1 run=$2 m
    shift 2
    survivors=()
    for m in "$@"; do
        plant "$m"
        rerun=""
        measure "$dir" "$run"
        restore
        if [[ -n $failed ]]; then
            echo "$id $file:$line caught by: $failed$rerun"
        else
            echo "$id $file:$line survived$rerun"
            survivors+=("$m")
        fi
    done
}

pass "$build" plain "${mutants[@]}"
echo "caught $((${#mutants[@]} - ${#survivors[@]})) of ${#mutants[@]}"
if [[ $sanitize == yes ]]; then
    suite build-asan sanitized
    [[ -z $failed ]] || die "the unmutated suite fails under the sanitizers: $failed"
    echo "under the sanitizers:"
    pass build-asan sanitized "${survivors[@]}"
    echo "caught $((${#mutants[@]} - ${#survivors[@]})) of ${#mutants[@]} with the sanitizer run"
fi
