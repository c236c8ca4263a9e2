#!/bin/sh
# Makes v1_store.db with the program built from a commit whose store is at
# version 1 (37db2e2), and v1_runs.out: what that program printed for each
# run of v1_runs.txt, in order, on a copy of the store.
#     tests/upgrade/make-v1-fixture.sh OLD_BUILD/bin/kelbrinclient
set -eu
program=$(realpath "$1")
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export KELBRIN_STORE="$work/store.db"
run() { "$program" --nolog "$@" >/dev/null; }
run readgroupfile v1_groups.json
run addgroup root.Badge badge addgroup root.Badge --number 5 badge addgroup root.Badge card
run readgroupfile v1_more.json
run set root.Net.Name camera-7 set root.Badge.B5.Label front
run setparams v1_settings.txt
run sync 2>/dev/null
cp "$work/store.db" v1_store.db

cp v1_store.db "$work/copy.db"
export KELBRIN_STORE="$work/copy.db"
while read -r words; do
    echo "\$ $words"
    status=0
    # shellcheck disable=SC2086 # the words are split on purpose
    "$program" --nolog $words >"$work/output" 2>&1 || status=$?
    sed '/^# .* Parameter list, /d' "$work/output"
    echo "exit $status"
done < v1_runs.txt > v1_runs.out
