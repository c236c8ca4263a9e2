#!/bin/sh
# Serves a CGI page with lighttpd on a free port; prints the status and page of each query,
# then the first line and the size of what the CGI runs wrote to stderr.   web_server.sh QUERY...
set -eu
dir=$(mktemp -d)
trap 'kill $(cat "$dir/pid"); rm -rf "$dir"' EXIT
# The page runs kelbrinclient with the query's "+"-separated words; it ends the header block.
printf '%s\n' 'printf "Content-Type: text/plain\r\n"' 'set -f' 'IFS=+' 'exec kelbrinclient --nolog $QUERY_STRING' >"$dir/kelbrin.cgi"
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
cat >"$dir/lighttpd.conf" <<CONFIG
server.document-root = "$dir"
server.bind = "127.0.0.1"
server.port = $port
server.pid-file = "$dir/pid"
server.errorlog = "$dir/server.log"
server.breakagelog = "$dir/cgi.log"
server.modules = ("mod_cgi", "mod_setenv")
cgi.assign = (".cgi" => "/bin/sh")
setenv.add-environment = ("PATH" => "$PATH", "KELBRIN_STORE" => "$KELBRIN_STORE")
CONFIG
PATH=$PATH:/usr/sbin lighttpd -f "$dir/lighttpd.conf"
for query in "$@"; do
    curl -sS --retry-connrefused --retry 20 --retry-delay 1 -w '%{http_code}\n' -o "$dir/page" "http://127.0.0.1:$port/kelbrin.cgi?$query"
    cat "$dir/page"
done
head -n 1 "$dir/cgi.log"
wc -c <"$dir/cgi.log"
