#!/bin/sh
# Creates a dynamic group named by the query, e.g.
# ?parent=root.Badge&template=badge&number=5 (number optional). The program
# writes the blank line that ends the header block.
set -f
parent= template= number=
IFS='&'
for pair in $QUERY_STRING; do
    case $pair in
    parent=*) parent=${pair#parent=} ;;
    template=*) template=${pair#template=} ;;
    number=*) number=${pair#number=} ;;
    esac
done
unset IFS
printf 'Content-Type: text/plain\r\n'
if [ -n "$number" ]; then
    exec "$KELBRINCLIENT" --nolog addgroup "$parent" --number "$number" "$template"
fi
exec "$KELBRINCLIENT" --nolog addgroup "$parent" "$template"
