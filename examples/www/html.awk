# A text made safe for HTML, in an element or a quoted attribute, on one line.
function html(text) {
    gsub(/&/, "\\&amp;", text); gsub(/</, "\\&lt;", text); gsub(/>/, "\\&gt;", text)
    gsub(/"/, "\\&quot;", text); gsub(/'/, "\\&#39;", text)
    gsub(/\t/, "\\&#9;", text); gsub(/\r/, "\\&#13;", text); gsub(/\n/, "\\&#10;", text)
    return text
}
