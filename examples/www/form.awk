# Decodes a form or query string (name=value&...) into shell words that the
# page evaluates: one line  form_field 'NAME' 'VALUE'  per field, quoted for
# sh. Line breaks that a browser sends as CR LF become LF. A field holding a
# NUL byte, which no shell word can carry, becomes  form_nul 'NAME'.
BEGIN {
    RS = "&"
    for (i = 0; i < 256; i++) byte[sprintf("%02x", i)] = sprintf("%c", i)
}
function decode(text,    out, hex) {
    gsub(/\+/, " ", text)
    out = ""
    while (match(text, /%[0-9A-Fa-f][0-9A-Fa-f]/)) {
        hex = tolower(substr(text, RSTART + 1, 2))
        if (hex == "00") had_nul = 1
        out = out substr(text, 1, RSTART - 1) byte[hex]
        text = substr(text, RSTART + 3)
    }
    return out text
}
function quoted(text) {
    gsub(/'/, "'\\''", text)
    return "'" text "'"
}
{
    sub(/\r?\n$/, "")
    if ($0 == "") next
    split_at = index($0, "=")
    had_nul = 0
    if (split_at == 0) { name = decode($0); value = "" }
    else { name = decode(substr($0, 1, split_at - 1)); value = decode(substr($0, split_at + 1)) }
    if (had_nul) { print "form_nul " quoted(name); next }
    gsub(/\r\n/, "\n", value)
    print "form_field " quoted(name) " " quoted(value)
}
