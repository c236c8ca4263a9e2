#!/usr/bin/env bash
# The manual page renders without warnings and documents every option, command and type the
# usage text names; the bash completion offers what the command line and the store allow at
# each place; kelbrinctl's page and completion name every command and option its --help has.
#   manual_and_completion_test.sh BUILD_DIR SOURCE_DIR
set -uo pipefail
build=$1 source=$2
. "$source/tests/device/check.sh"
program=$build/bin/kelbrinclient
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The manual page.
page=$(MANWIDTH=80 LC_ALL=C.UTF-8 man --warnings -E UTF-8 -l "$source/docs/kelbrinclient.1" 2>"$work/warnings")
check "manual page renders without warnings" "0 " "$? $(cat "$work/warnings")"
for heading in NAME SYNOPSIS DESCRIPTION OPTIONS COMMANDS "OUTPUT TYPES" "PARAMETER FILES" \
    "CGI MODE" "EXIT STATUS" ENVIRONMENT FILES DIAGNOSTICS; do
    check_contains "manual section $heading" $'\n'"$heading"$'\n' "$page"
done
usage=$(env -u REQUEST_METHOD "$program" 2>&1 >/dev/null)
options=$(grep '^Usage:' <<<"$usage" | grep -o -E -- '--[a-z-]+')
commands=$(sed -n -E 's/^(commands are: |              )([a-z]+).*/\2/p' <<<"$usage")
types=$(sed -n 's/^ type can be //p' <<<"$usage" | tr -d ',')
check "usage text yields the options, commands and types" "12 11 7" \
    "$(wc -w <<<"$options") $(wc -w <<<"$commands") $(wc -w <<<"$types")"
for word in $options -nosync -sigonly -casesensitive -port -security KELBRIN_STORE REQUEST_METHOD; do
    check_contains "manual documents $word" "$word" "$page"
done
for word in $commands $types; do
    check_contains "manual documents $word in a list" $'\n       '"$word" "$page"
done

# The completion, against a store of its own.
export KELBRIN_STORE=$work/store.db
env -u REQUEST_METHOD "$program" --nolog readgroupfile "$source/tests/tables/device.json" ||
    check "test store loads" 0 1
touch "$work/settings.conf"

# offered WORD... : what the completion of $tool offers for the words typed after it, the last
# one being completed, sorted on one line.
tool=kelbrinclient
offered() {
    PATH=$build/bin:$PATH bash -c '. "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
        _${1##*/}; printf "%s\n" "${COMPREPLY[@]}" | LC_ALL=C sort | tr "\n" " "' \
        completion "$source/completion/$tool" "$build/bin/$tool" "$@"
}
# complete_case EXPECTED WORD...
complete_case() {
    local expected=$1 words
    shift
    words=$(offered "$@")
    check "completing: $tool $*" "$expected" "${words% }"
}
complete_case "--no-mapped --nocgi --nolog --nosync --nosync-nosig" --no
complete_case "get getgroup getgrouplist getlist" g
complete_case "set setparams sync" --port 80 s
complete_case "" --security ""
complete_case "root.Door.Empty root.Door.Lock.Delay root.Door.Name" get root.Door.
complete_case "root.Door root.Door.Lock" getgroup root.Do
complete_case "root.Door.Lock.Delay" -l set root.Door.L
complete_case "NAMEVALUE NAMEVALUESECTIONS" get root.Door.Name - NAMEV
complete_case "getgroup getgrouplist" get a b c getg
complete_case "NAMEVALUE NAMEVALUESECTIONS" get a get NAMEV
complete_case "--number" addgroup root.Door --n
complete_case "" addgroup root.Door --number ""
complete_case "sync" addgroup root.Door --number 3 badge syn
complete_case "$work/settings.conf" setparams "$work/se"
complete_case "" frobnicate ""
tool=kelbrinctl
complete_case "changes check" ch
complete_case "root.Door root.Door.Lock" --store "$KELBRIN_STORE" export root.Do
complete_case "$work/settings.conf" export -o "$work/se"
complete_case "--merge --replace" import --
complete_case "" changes --since ""
complete_case "--follow" changes --json --f

# kelbrinctl's manual page and completion name every command and option of its table, as
# --help shows them: each command's options in its entry of COMMANDS and in its completion.
page=$(MANWIDTH=80 LC_ALL=C.UTF-8 man --warnings -E UTF-8 -l "$source/docs/kelbrinctl.1" 2>"$work/warnings")
check "kelbrinctl manual page renders without warnings" "0 " "$? $(cat "$work/warnings")"
help=$("$build/bin/kelbrinctl" --help)
entries=$(sed -n '/^Commands:/,/^$/s/^  \([a-z]\)/\1/p' <<<"$help")
globals=$(sed -n '/^Options:/,/^$/s/^  \(--[a-z-]*\).*/\1/p' <<<"$help")
check "--help yields commands, their options and the global options" 1 \
    "$([[ $entries == *'[-'* && $globals == --* ]] && echo 1)"
# The tags of a section's entries: its lines indented by seven spaces.
tags_of() { sed -n "/^$1\$/,/^[A-Z]/p" <<<"$page" | grep -E '^ {7}[^ ]'; }
tags=$(tags_of OPTIONS)
commandTags=$(tags_of COMMANDS)
top=" $(offered "") "
for option in $globals; do
    check_contains "manual's OPTIONS has $option" $'\n'"       $option" $'\n'"$tags"
    check_contains "completion offers $option" " $option " "$top"
done
while read -r command usage; do
    tag=$(grep -E "^ {7}$command( |\$)" <<<"$commandTags")
    check "manual's COMMANDS has $command" 1 "$(grep -c . <<<"$tag")"
    check_contains "completion offers $command" " $command " "$top"
    options=" $(offered "$command" -) "
    for option in $(grep -oE -- '\[-[-a-z]+' <<<"$usage" | tr -d '['); do
        check_contains "manual's $command names $option" " $option " " ${tag//[][]/ } "
        check_contains "completion of $command offers $option" " $option " "$options"
    done
done <<<"$entries"
finish
