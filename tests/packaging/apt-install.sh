#!/usr/bin/env bash
# The package as a user of this machine's release meets it: made by cpack, installed by
# `apt install ./FILE` into a fresh root of the same release, which takes what it depends on
# from the archive this machine's apt uses, and started there.
# Usage: apt-install.sh CPACK BUILD_DIR SOURCE_DIR
set -uo pipefail
cpack="$1" build="$2" source="$3"
. "$(dirname "${BASH_SOURCE[0]}")/common.sh"
require mmdebstrap
. /etc/os-release

if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/out" >"$tmp/cpack.log" 2>&1; then
    cat "$tmp/cpack.log" >&2
    fail "cpack failed"
    finish
fi
deb="$(ls "$tmp"/out/*.deb)"

# The same release as this machine's, from the same archive (unstable, which has no number,
# is sid there).
release="$VERSION_CODENAME"
[ -n "${VERSION_ID:-}" ] || release=sid
mapfile -t sources < <("$source/scripts/debian-root" --sources "$release")
[ ${#sources[@]} -gt 0 ] || fail "apt's sources name no archive for $release"
options=()
[ "$release" != sid ] || options=(--aptopt='Acquire::Check-Valid-Until "false"')

# Still running after five seconds on the offscreen platform: it started.
if ! mmdebstrap --quiet --variant=apt --mode=root "${options[@]}" \
    --customize-hook="copy-in $deb /tmp" \
    --customize-hook="chroot \"\$1\" apt-get install -y -qq /tmp/$(basename "$deb") >/dev/null" \
    --customize-hook='chroot "$1" env QT_QPA_PLATFORM=offscreen timeout 5 velmora; [ $? = 124 ]' \
    "$release" "$tmp/root" "${sources[@]}" >"$tmp/mmdebstrap.log" 2>&1; then
    tail -n 20 "$tmp/mmdebstrap.log" >&2
    fail "$(basename "$deb") did not install or start in a fresh $release root"
fi
finish
