#!/bin/sh
# A store file written at format 1 (v1_store.db.gz) is upgraded on first open and
# then answers each run of v1_runs.txt as a store made by this program from the
# same files does, with its change log kept; processes opening it at once take each step once; a store
# newer than the library is refused and left byte for byte.
#     upgrade_test.sh PROGRAM KELBRINCTL
set -eu
program=$(realpath "$1") ctl=$(realpath "$2")
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "upgrade: $*" >&2
    exit 1
}
# run STORE WORDS...: what the program prints, without the banner's time, and its status
run() {
    status=0 output=$(mktemp -p "$work")
    KELBRIN_STORE="$work/$1.db" "$program" --nolog $2 >"$output" 2>&1 || status=$?
    sed '/^# .* Parameter list, /d' "$output"
    echo "exit $status"
}

gunzip -c v1_store.db.gz >"$work/old.db"
./make-store.sh "$program" "$work/new.db"
while read -r words; do
    old=$(run old "$words") new=$(run new "$words")
    [ "$old" = "$new" ] || fail "$words: the upgraded store answers \"$old\", a new one \"$new\""
done <v1_runs.txt
version=$(sqlite3 "$work/new.db" "PRAGMA user_version")
[ "$(sqlite3 "$work/old.db" "PRAGMA user_version")" = "$version" ] || fail "not upgraded to $version"
# Both marked as stores (application_id "Kbst"), the old one by its upgrade.
for store in old new; do
    [ "$(sqlite3 "$work/$store.db" "PRAGMA application_id")" = 1264743284 ] || fail "the $store store is not marked"
done

# Format 1 kept no defaults: each value counts as the user's, so a migration
# to the very files that made the store has nothing to do.
gunzip -c v1_store.db.gz >"$work/old.db"
run old "get root.Net.Host" >/dev/null
plan=$("$ctl" --store "$work/old.db" migrate --dry-run v1_groups.json v1_more.json)
[ -z "$plan" ] || fail "a migration of the upgraded store to its own files: $plan"
# Nor can a reset bring such a value back to a default.
plan=$("$ctl" --store "$work/old.db" reset --dry-run root.Net)
[ -z "$plan" ] || fail "a reset of the upgraded store: $plan"

# The old log is kept, its entries without a time, and sized (533: the 17 names'
# bytes and 16 for each); a value set afterwards keeps the old one as its default.
run old "set root.Net.Host gh-9" >/dev/null
kept=$(sqlite3 "$work/old.db" "SELECT count(*), max(log_end) FROM changes WHERE time IS NULL;
    SELECT sequence, name, value, time > 0 FROM changes WHERE time IS NOT NULL;
    SELECT name, default_value FROM items WHERE name = 'root.Net.Host'")
[ "$kept" = "$(printf '17|533\n18|root.Net.Host|gh-9|1\nroot.Net.Host|gh-7')" ] ||
    fail "the log and defaults after the upgrade: $kept"

# A format-4 store (a new one with steps 5 to 7 undone by hand) that logged
# a value of a parameter with a read level: its upgrade withholds that value
# and keeps the others.
cp "$work/new.db" "$work/v4.db"
sqlite3 "$work/v4.db" "ALTER TABLE items DROP COLUMN formerly; ALTER TABLE templates DROP COLUMN formerly;
    ALTER TABLE changes DROP COLUMN withheld; PRAGMA application_id = 0;
    PRAGMA user_version = 4; INSERT INTO changes(name, time, value, log_end)
    VALUES('root.Img.Secret', 1, 's4', 0), ('root.Net.Host', 1, 'h', 0)"
run v4 "get root.Net.Host" >/dev/null
logged=$(sqlite3 "$work/v4.db" "SELECT name, value, withheld FROM changes ORDER BY sequence DESC LIMIT 2;
    PRAGMA application_id; PRAGMA user_version")
[ "$logged" = "$(printf 'root.Net.Host|h|0\nroot.Img.Secret||1\n1264743284\n%s' "$version")" ] ||
    fail "a format-4 store's log after its upgrade: $logged"

# Both processes read format 1 and wait for the write lock held here; one upgrades.
gunzip -c v1_store.db.gz >"$work/old.db"
printf 'BEGIN IMMEDIATE;\n.shell touch %s/locked; sleep 0.5\nCOMMIT;\n' "$work" | sqlite3 "$work/old.db" &
while [ ! -e "$work/locked" ]; do sleep 0.01; done
run old "get root.Net.Host" >"$work/one" &
run old "get root.Net.Host" >"$work/other"
wait
printf '"gh-7"\nexit 0\n' | cmp -s - "$work/one" || fail "a first open at once: $(cat "$work/one")"
cmp -s "$work/one" "$work/other" || fail "the other first open at once: $(cat "$work/other")"

gunzip -c v1_store.db.gz >"$work/old.db"
sqlite3 "$work/old.db" "PRAGMA user_version = $((version + 1))"
cp "$work/old.db" "$work/before.db"
refused=$(run old "set root.Net.Host x")
case $refused in "Error -30 setting"*) ;; *) fail "a newer store: $refused" ;; esac
cmp -s "$work/old.db" "$work/before.db" || fail "a newer store was changed"
