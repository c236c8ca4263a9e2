#!/bin/sh
# Shows the group named by the query (?group=root.Badge.B1) as a page of
# hidden form fields. The program writes the blank line that ends the header
# block, so nothing of the page can come before its output.
set -f
group=${QUERY_STRING#group=}
printf 'Content-Type: text/html\r\n'
exec "$KELBRINCLIENT" --nolog getgroup "$group" - FORM
