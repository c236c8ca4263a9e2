# Reads one listing of a group in three output types and writes the page's
# rows, one a line, values HTML-escaped (so one line each):
#   plain <TAB> NAME <TAB> VALUE <TAB> LINES   LINES 1 or more than 1
#   complex <TAB> NAME <TAB> TEXT              TEXT the complex value text
#   awk -f html.awk -f listing.awk SCRIPT-FILE NAMEVALUE-FILE SECTIONS-FILE
# SCRIPT gives the values exactly (its quoting is unambiguous), NAMEVALUE the
# names with their dots, the sectioned listing the complex values. A
# listing that changed between the three ends with status 3.
# One line of SCRIPT output: starts an assignment or goes on with one.
function script_line(line,    parts, count, last, i) {
    if (!inside) {
        if (!match(line, /^[A-Za-z0-9_]+='/)) exit 3
        variable[++plain] = substr(line, 1, RLENGTH - 2)
        value[plain] = ""
        line = substr(line, RLENGTH + 1)
        inside = 1
    } else value[plain] = value[plain] "\n"
    count = split(line, parts, /'\\''/)
    last = parts[count]
    if (count == 0) last = ""
    if (substr(last, length(last)) == "'" && length(line) > 0) {
        parts[count] = substr(last, 1, length(last) - 1)
        inside = 0
    }
    for (i = 1; i <= count; i++) value[plain] = value[plain] (i > 1 ? "'" : "") parts[i]
}
function name_line(line,    name, dotted) {
    if (!match(line, /^root(\.[A-Za-z0-9_]+)+="/)) return
    name = substr(line, 1, RLENGTH - 2)
    dotted = name
    gsub(/\./, "_", dotted)
    if (named < plain && dotted == variable[named + 1]) full[++named] = name
}
function short_name(name) { sub(/.*\./, "", name); return name }
# The sectioned listing as one text: a plain parameter's line is skipped
# by its known value, every other line not a [section] belongs to a
# complex value, whose top-level lines begin with its name in column 1.
function sections(text,    at, k, rest, short, line, end, word) {
    at = 1; k = 1
    while (at <= length(text)) {
        rest = substr(text, at)
        if (k <= plain) {
            short = short_name(full[k])
            if (index(rest, short) == 1 && match(substr(rest, length(short) + 1), /^ *= "/) &&
                index(substr(rest, length(short) + RLENGTH + 1), value[k] "\"\n") == 1) {
                at += length(short) + RLENGTH + length(value[k]) + 2
                k++
                continue
            }
        }
        end = index(rest, "\n")
        line = end ? substr(rest, 1, end - 1) : rest
        at += end ? end : length(rest)
        if (line ~ /^\[.*\]$/) { section = substr(line, 2, length(line) - 2); current = ""; continue }
        if (line == "" || line ~ /^#/ && current == "") continue
        if (match(line, /^[A-Za-z0-9_]+/) && substr(line, 1, RLENGTH) != current) {
            word = substr(line, 1, RLENGTH)
            current = word
            complex_name[++complexes] = "root." section "." word
            complex_text[complexes] = ""
        }
        if (current != "") complex_text[complexes] = complex_text[complexes] line "\n"
    }
    if (k <= plain) exit 3
}
FILENAME == ARGV[1] { script_line($0); next }
FILENAME == ARGV[2] { name_line($0); next }
{ listing = listing $0 "\n" }
END {
    if (inside || named != plain) exit 3
    for (k = 1; k <= plain; k++)
        printf "plain\t%s\t%s\t%d\n", full[k], html(value[k]), split(value[k], lines, "\n")
    sections(listing)
    for (k = 1; k <= complexes; k++) {
        sub(/\n+$/, "", complex_text[k])
        printf "complex\t%s\t%s\n", complex_name[k], html(complex_text[k])
    }
}
