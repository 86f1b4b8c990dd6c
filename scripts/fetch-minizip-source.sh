#!/usr/bin/env bash
# Puts the Debian source of minizip (unzip.c, ioapi.c and their headers) under a directory,
# for the Windows build, which compiles them against MinGW's zlib.
#   scripts/fetch-minizip-source.sh <directory>
# Afterwards <directory>/minizip holds the sources. Nothing is fetched when they are there.
set -euo pipefail

die() {
    echo "fetch-minizip-source: $*" >&2
    exit 1
}

[[ $# -eq 1 ]] || die "usage: $0 <directory>"
dest="$1"
link="$dest/minizip"
[[ -f "$link/unzip.c" && -f "$link/ioapi.c" ]] && exit 0

# apt-get source reads deb-src entries; add one for Debian's own archive when none exists.
has_deb_src() {
    grep -rqsE '^[[:space:]]*(deb-src[[:space:]]|Types:.*deb-src)' \
        /etc/apt/sources.list /etc/apt/sources.list.d/
}
if ! has_deb_src; then
    codename="$(. /etc/os-release && echo "${VERSION_CODENAME:-}")"
    [[ -n "$codename" ]] || die "cannot tell the Debian release from /etc/os-release"
    cat >/etc/apt/sources.list.d/debian-src.sources <<SOURCES || die "cannot add a deb-src entry"
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: $codename $codename-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
    apt-get update -qq || die "apt-get update failed"
fi
command -v dpkg-source >/dev/null || die "dpkg-source is missing (install dpkg-dev)"

mkdir -p "$dest"
work="$(mktemp -d "$dest/fetch.XXXXXX")"
chmod 755 "$work"  # apt-get hands the download to its own unprivileged user
trap 'rm -rf "$work"' EXIT
(cd "$work" && apt-get source -qq minizip >/dev/null) || die "apt-get source minizip failed"

unzip_c="$(find "$work" -name unzip.c -not -path '*/contrib/*' -print -quit)"
[[ -n "$unzip_c" ]] || unzip_c="$(find "$work" -name unzip.c -print -quit)"
[[ -n "$unzip_c" ]] || die "no unzip.c in the minizip source"
src_dir="$(dirname "$unzip_c")"
[[ -f "$src_dir/ioapi.c" && -f "$src_dir/unzip.h" && -f "$src_dir/ioapi.h" ]] ||
    die "the minizip source lacks ioapi.c, unzip.h or ioapi.h"

rm -rf "$link.new"
mkdir "$link.new"
cp "$src_dir"/{unzip.c,unzip.h,ioapi.c,ioapi.h,crypt.h} "$link.new"/ 2>/dev/null ||
    cp "$src_dir"/{unzip.c,unzip.h,ioapi.c,ioapi.h} "$link.new"/
rm -rf "$link"
mv "$link.new" "$link"
echo "minizip source in $link"
