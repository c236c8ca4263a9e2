#!/usr/bin/env bash
# Unpacks Debian's static SQLite for armhf into DIR and prints the archive's
# path: the libsqlite3-dev:armhf of the very version of the installed
# libsqlite3-0:armhf, downloaded and unpacked, not installed (installing it
# beside the host's -dev package needs both at one version, which a lagging
# mirror can make impossible).
#   tools/armhf-sqlite-archive.sh DIR
set -euo pipefail
dir=${1:?usage: tools/armhf-sqlite-archive.sh DIR}
archive=$dir/usr/lib/arm-linux-gnueabihf/libsqlite3.a
version=$(dpkg-query -W -f='${Version}' libsqlite3-0:armhf 2>/dev/null) || {
    echo "armhf-sqlite-archive: libsqlite3-0:armhf is not installed (tools/install-deps.sh)" >&2
    exit 1
}
stamp=$dir/version
if [[ ! -f $archive || $(cat "$stamp" 2>/dev/null) != "$version" ]]; then
    rm -rf "$dir"
    mkdir -p "$dir/download"
    # apt-get download writes into the current folder.
    (cd "$dir/download" && apt-get download -qq -o APT::Sandbox::User=root "libsqlite3-dev:armhf=$version") >&2
    dpkg -x "$dir"/download/libsqlite3-dev_*_armhf.deb "$dir"
    rm -rf "$dir/download"
    echo "$version" >"$stamp"
fi
echo "$archive"
