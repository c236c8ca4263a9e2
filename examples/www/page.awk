# Writes the settings page of one group from the files the page gathered:
#   awk -f html.awk -f page.awk -v group=G -v level=L -v token=T \
#       TOP CHILDREN DYNAMIC TEMPLATES LEVELS MESSAGES NOTICE ROWS
# TOP and CHILDREN list the child groups of root and of G, DYNAMIC those of
# G's children that are dynamic, TEMPLATES the lines "template prefix count
# max" of G's templates, LEVELS "name<TAB>write level", MESSAGES
# "name<TAB>message", NOTICE the page's own messages; ROWS come from
# listing.awk, already escaped.
# Files are told apart by their place on the command line: an empty one has no lines.
BEGIN { FS = "\t"; for (i = 1; i < ARGC; i++) place[ARGV[i]] = i }
{ file = place[FILENAME] }
file == 1 { top[++tops] = $0; next }
file == 2 { child[++children] = $0; next }
file == 3 { dynamic[$0] = 1; next }
file == 4 { split($0, t, " "); templ[++templates] = t[1]; count[t[1]] = t[3]; most[t[1]] = t[4]; next }
file == 5 { write_level[$1] = $2; next }
file == 6 { message[$1] = message[$1] (message[$1] == "" ? "" : "; ") $2; next }
file == 7 { if ($0 != "") notice[++notices] = $0; next }
$1 == "plain" { plain[++plains] = $2; value[$2] = $3; lines[$2] = $4; next }
$1 == "complex" { complex[++complexes] = $2; value[$2] = $3; next }
function hidden_token() { return "<input type=\"hidden\" name=\"token\" value=\"" html(token) "\">" }
function label(name) { return html(substr(name, length(group) + 2)) }
function section_of(name) { sub(/\.[^.]*$/, "", name); return name }
function message_cell(name) { return "<td class=\"message\" id=\"m." html(name) "\">" html(message[name]) "</td>" }
function field(name,    id, attributes) {
    id = "f." html(name)
    attributes = (write_level[name] != "" && write_level[name] + 0 <= level + 0) ? \
        " name=\"v." html(name) "\"" : " readonly title=\"this page may not change it\""
    if (lines[name] > 1)
        return "<textarea id=\"" id "\"" attributes " rows=\"" lines[name] "\">" value[name] "</textarea>"
    return "<input id=\"" id "\"" attributes " value=\"" value[name] "\">"
}
function section_row(section) {
    if (section == shown_section) return
    shown_section = section
    if (section != group) print "<tr class=\"section\"><th colspan=\"3\">" label(section) "</th></tr>"
}
END {
    # A message about a field not on this page goes to the page's own messages.
    for (name in message) if (!(name in value)) notice[++notices] = name ": " message[name]
    print "<!DOCTYPE html>"
    print "<html lang=\"en\"><head><meta charset=\"utf-8\"><title>" html(group) ": settings</title>"
    print "<style>"
    print "body { font-family: sans-serif; margin: 1em 2em; color: #222 }"
    print "nav a { margin-right: 1em } table { border-collapse: collapse }"
    print "th { text-align: left; padding: .2em 1em .2em 0; font-weight: normal }"
    print "tr.section th { font-weight: bold; padding-top: .8em }"
    print "input, textarea { width: 22em } input[readonly] { background: #eee; color: #555 }"
    print ".message { color: #b00; padding-left: 1em } .notice { color: #064 }"
    print "pre { background: #f4f4f4; margin: .2em 0; padding: .3em; font-size: 85% }"
    print "form.inline { display: inline }"
    print "</style></head><body>"
    printf "<nav>"
    for (i = 1; i <= tops; i++) printf "<a href=\"?group=root.%s\">%s</a>", html(top[i]), html(top[i])
    print "</nav>"
    print "<h1>" html(group) "</h1>"
    if (notices) {
        print "<ul class=\"notice\" id=\"notice\">"
        for (i = 1; i <= notices; i++) print "<li>" html(notice[i]) "</li>"
        print "</ul>"
    }
    print "<form method=\"post\" action=\"?group=" html(group) "\" id=\"settings\">" hidden_token()
    print "<table>"
    for (i = 1; i <= plains; i++) {
        section_row(section_of(plain[i]))
        print "<tr><th><label for=\"f." html(plain[i]) "\">" html(substr(plain[i], length(section_of(plain[i])) + 2)) \
            "</label></th><td>" field(plain[i]) "</td>" message_cell(plain[i]) "</tr>"
    }
    if (complexes) print "<tr class=\"section\"><th colspan=\"3\">Complex values, shown but not edited here</th></tr>"
    for (i = 1; i <= complexes; i++)
        print "<tr><th>" label(complex[i]) "</th><td><pre id=\"f." html(complex[i]) "\">" value[complex[i]] "</pre></td>" \
            message_cell(complex[i]) "</tr>"
    if (!plains && !complexes) print "<tr><td>No parameters that this page may read.</td></tr>"
    print "</table>"
    if (plains) print "<p><button type=\"submit\" name=\"action\" value=\"apply\" id=\"apply\">Apply</button></p>"
    print "</form>"
    if (children || templates) print "<h2>Groups in " html(group) "</h2><ul id=\"groups\">"
    for (i = 1; i <= children; i++) {
        printf "<li><a href=\"?group=%s.%s\">%s</a>", html(group), html(child[i]), html(child[i])
        if (child[i] in dynamic)
            printf " <form method=\"post\" class=\"inline\" action=\"?group=%s\">%s<input type=\"hidden\" name=\"child\" value=\"%s.%s\"><button name=\"action\" value=\"delete\" id=\"delete.%s\">Delete</button></form>", \
                html(group), hidden_token(), html(group), html(child[i]), html(child[i])
        print "</li>"
    }
    if (children || templates) print "</ul>"
    for (i = 1; i <= templates; i++)
        printf "<form method=\"post\" action=\"?group=%s\">%s<input type=\"hidden\" name=\"template\" value=\"%s\"><button name=\"action\" value=\"add\" id=\"add.%s\">Add a %s group</button> (%d of at most %d)</form>\n", \
            html(group), hidden_token(), html(templ[i]), html(templ[i]), html(templ[i]), count[templ[i]], most[templ[i]]
    printf "<form method=\"post\" action=\"?group=%s\">%s<p><button name=\"action\" value=\"reset\" id=\"reset\">Reset %s to its defaults</button> (its dynamic groups are removed)</p></form>\n", \
        html(group), hidden_token(), html(group)
    print "</body></html>"
}
