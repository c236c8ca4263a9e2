#!/bin/sh
# Makes a store with PROGRAM from the group files and settings here. With the
# program of commit 37db2e2 (store format 1) it made v1_store.db.gz:
#     tests/upgrade/make-store.sh OLD/bin/kelbrinclient tests/upgrade/v1_store.db &&
#         gzip -9 -n tests/upgrade/v1_store.db && rm tests/upgrade/v1_store.db-*
# (OLD: that commit's build, configured with -DKELBRIN_TESTS=OFF -DKELBRIN_BENCH=OFF;
# the program leaves its empty -wal and -shm files beside the store.)
set -eu
program=$(realpath "$1")
export KELBRIN_STORE="$(realpath -m "$2")"
cd "$(dirname "$0")"
run() { "$program" --nolog "$@" >/dev/null; }
run readgroupfile v1_groups.json
run addgroup root.Badge badge addgroup root.Badge --number 5 badge addgroup root.Badge card
run readgroupfile v1_more.json
run set root.Net.Name gh-7 set root.Badge.B5.Label front
run setparams v1_settings.txt
run sync 2>/dev/null
