#!/usr/bin/env bash
# Makes the Debian package of the build with cpack and checks it as apt and lintian see it:
# its files and their modes, a stripped program, the control fields and dependencies, a
# changelog of the same version, a machine-readable copyright, and no lintian error or
# warning at all.
# Usage: debian-package.sh CPACK BUILD_DIR VERSION
set -uo pipefail
cpack="$1" build="$2" version="$3"
. "$(dirname "${BASH_SOURCE[0]}")/common.sh"
require dpkg-deb dpkg-parsechangelog dpkg-shlibdeps lintian file readelf

id=example.velmora.Velmora
arch="$(dpkg --print-architecture)"
# Built for the release it is built on: Debian 13's package is 1.0.0~deb13.
. /etc/os-release
case "${ID:-}:${VERSION_ID:-}" in
    debian:?*) version="$version~deb$VERSION_ID" ;;
    ubuntu:?*) version="$version~ubuntu$VERSION_ID" ;;
esac
if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/out" >"$tmp/cpack.log" 2>&1; then
    cat "$tmp/cpack.log" >&2
    fail "cpack failed"
    finish
fi
same "package file" "velmora_${version}_$arch.deb" "$(cd "$tmp/out" && ls -- *.deb)"
deb="$tmp/out/velmora_${version}_$arch.deb"
[ -e "$deb" ] || finish

# Every file with its mode and owner: a package built under another umask or by another
# user must still install root-owned, world-readable files.
expected=(
    "-rwxr-xr-x root/root ./usr/bin/velmora"
    "-rw-r--r-- root/root ./usr/share/applications/$id.desktop"
    "-rw-r--r-- root/root ./usr/share/doc/velmora/changelog.gz"
    "-rw-r--r-- root/root ./usr/share/doc/velmora/copyright"
)
for size in 128 256 32 48 64; do
    expected+=("-rw-r--r-- root/root ./usr/share/icons/hicolor/${size}x$size/apps/$id.png")
done
expected+=(
    "-rw-r--r-- root/root ./usr/share/icons/hicolor/scalable/apps/$id.svg"
    "-rw-r--r-- root/root ./usr/share/man/bg/man1/velmora.1.gz"
    "-rw-r--r-- root/root ./usr/share/man/man1/velmora.1.gz"
    "-rw-r--r-- root/root ./usr/share/metainfo/$id.metainfo.xml"
)
same "files of the package" "$(printf '%s\n' "${expected[@]}")" \
    "$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $1, $2, $6 }' | LC_ALL=C sort -k3)"
dirs="$(dpkg-deb -c "$deb" | awk '$1 ~ /^d/ && $1 != "drwxr-xr-x" { print $1, $6 }')"
same "folders not 0755" "" "$dirs"

dpkg-deb -x "$deb" "$tmp/root"
program="$tmp/root/usr/bin/velmora"
if [ -e "$program" ]; then
    case "$(file -b "$program")" in
        *", stripped") ;;
        *) fail "the program is not stripped: $(file -b "$program")" ;;
    esac
fi

field() { dpkg-deb -f "$deb" "$1"; }
same "Package" velmora "$(field Package)"
same "Version" "$version" "$(field Version)"
same "Architecture" "$arch" "$(field Architecture)"
same "Maintainer" "The Velmora developers <team@velmora.example>" "$(field Maintainer)"
same "Section" math "$(field Section)"
description="$(field Description)"
[ -n "$(head -n 1 <<<"$description")" ] || fail "Description has no synopsis"
[ "$(wc -l <<<"$description")" -ge 3 ] || fail "Description has no extended description:"$'\n'"$description"

# The libraries come from dpkg-shlibdeps; the rest the program only loads or draws with.
names() { field "$1" | tr ',|' '\n\n' | sed 's/(.*)//; s/ //g' | LC_ALL=C sort -u; }
depends="$(names Depends)"
# Each Qt library the program links comes with a package it depends on, by whatever name
# the release gives that package (Debian 13 has Qt Core in libqt6core6t64).
qt="$(readelf -d "$program" 2>/dev/null | sed -n 's/.*(NEEDED).*\[\(libQt6[^]]*\)\]/\1/p')"
[ -n "$qt" ] || fail "the program links no Qt library"
for library in $qt; do
    provider="$(dpkg -S "*/$library" 2>/dev/null | head -n 1 | cut -d: -f1)"
    if [ -z "$provider" ]; then
        fail "no installed package has $library"
    else
        grep -qxF "$provider" <<<"$depends" ||
            fail "Depends lacks $provider, which has $library: $(field Depends)"
    fi
done
for needed in fonts-liberation qt6-translations-l10n; do
    grep -qxF "$needed" <<<"$depends" || fail "Depends lacks $needed: $(field Depends)"
done
same "Recommends" qt6-wayland "$(names Recommends)"

# A new version of the project needs its changelog entry, or apt and lintian see the package
# contradict its own history.
changelog="$tmp/root/usr/share/doc/velmora/changelog.gz"
if [ -e "$changelog" ]; then
    gzip -dc "$changelog" >"$tmp/changelog"
    same "latest changelog version" "$version" "$(dpkg-parsechangelog -l "$tmp/changelog" -S Version)"
fi

# Machine-readable copyright: the format's header, then each Files paragraph with its
# Copyright and License.
copyright="$tmp/root/usr/share/doc/velmora/copyright"
if [ -e "$copyright" ]; then
    same "copyright format" "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" \
        "$(head -n 1 "$copyright")"
    incomplete="$(awk -v RS= '/(^|\n)Files:/ && !(/\nCopyright:/ && /\nLicense:/) { print }' "$copyright")"
    same "copyright Files paragraphs without Copyright or License" "" "$incomplete"
fi

# lintian leaves its caches in TMPDIR; they go with this test's directory.
if ! report="$(TMPDIR="$tmp" lintian --fail-on none --display-info --pedantic "$deb" 2>&1)"; then
    fail "lintian failed:"$'\n'"$report"
fi
echo "$report"
same "lintian errors and warnings" "" "$(grep -E '^[EW]: ' <<<"$report")"

finish
