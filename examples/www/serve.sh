#!/bin/sh
# Serves the settings page with lighttpd on 127.0.0.1:PORT, over a scratch
# store loaded from the example device, until interrupted.
#   serve.sh PORT [DIR]   DIR (default: a new temporary folder, removed at exit)
#   holds the store, the server's configuration, its logs, the form token and
#   the host name file of the service that follows the settings (hostname).
# kelbrinclient and kelbrinctl come from $KELBRIN_BIN (default: build/bin of
# this checkout, else PATH); the page acts with security level $PAGE_LEVEL (50).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
[ $# -ge 1 ] || { echo "usage: serve.sh PORT [DIR]" >&2; exit 2; }
port=$1
case $port in '' | *[!0-9]*) echo "serve.sh: the port must be a number: $port" >&2; exit 2 ;; esac
if [ $# -ge 2 ]; then
    dir=$2
    mkdir -p "$dir"
else
    dir=$(mktemp -d)
    trap 'rm -rf "$dir"' EXIT
    trap 'exit 143' INT TERM
fi
dir=$(cd "$dir" && pwd)
bin=${KELBRIN_BIN:-$here/../../build/bin}
[ -x "$bin/kelbrinclient" ] && PATH=$(cd "$bin" && pwd):$PATH
export KELBRIN_STORE="$dir/store.db"

rm -f "$KELBRIN_STORE"
kelbrinclient --nocgi --nolog readgroupfile "$here/../device.json"
# The page's form token: random, new for each start, outside the served folder.
od -An -N16 -tx1 /dev/urandom | tr -d ' \n' >"$dir/token"
mkdir -p "$dir/htdocs"
ln -sf "$here/settings.cgi" "$dir/htdocs/index.cgi"
cat >"$dir/lighttpd.conf" <<CONFIG
server.document-root = "$dir/htdocs"
server.bind = "127.0.0.1"
server.port = $port
server.errorlog = "$dir/server.log"
server.breakagelog = "$dir/cgi.log"
server.modules = ("mod_cgi", "mod_setenv")
server.follow-symlink = "enable"
index-file.names = ("index.cgi")
cgi.assign = (".cgi" => "/bin/sh")
setenv.add-environment = (
    "PATH" => "$PATH",
    "KELBRIN_STORE" => "$KELBRIN_STORE",
    "PAGE_LEVEL" => "${PAGE_LEVEL:-50}",
    "PAGE_TOKEN_FILE" => "$dir/token",
    "PAGE_LIB" => "$here"
)
CONFIG
# A service that follows its settings: the host name written to DIR/hostname
# at the start and after every change under its group, where a service
# would read it.
host=root.Network.HostName
write_host='kelbrinclient --nocgi --nolog get "$0" "$1" RAW'
sh -c "$write_host" "$host" "$dir/hostname"
kelbrinctl watch "${host%.*}" -- sh -c "$write_host" "$host" "$dir/hostname" &
watcher=$!
echo "serving http://127.0.0.1:$port/?group=root.Network (store $KELBRIN_STORE)"
PATH=$PATH:/usr/sbin lighttpd -D -f "$dir/lighttpd.conf" || status=$?
kill "$watcher"
exit "${status:-0}"
