#!/usr/bin/env bash
# Packs this build as a signed release with a certificate made here, from a copy of the
# packaging in a folder whose name has a blank, into a folder of its own; checks with
# osslsigncode the signatures on velmora.exe in the zip, on the installer and on the
# uninstaller it installs, and that a time stamp that cannot be had stops the signing.
# Usage: signed.sh BUILD_DIR SOURCE_DIR STRIP VERSION
set -uo pipefail
build="$1" source="$2" strip="$3" version="$4"
. "$(dirname "${BASH_SOURCE[0]}")/../packaging/common.sh"
require openssl osslsigncode wine wineserver
work="$tmp/signed release"
mkdir -p "$work"
cp -r "$source/packaging/windows" "$work/packaging"
openssl req -x509 -newkey rsa:2048 -nodes -subj "/CN=Velmora test" -days 1 \
    -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
export VELMORA_SIGN_CERT="$work/cert.pem" VELMORA_SIGN_KEY="$work/key.pem"
name="velmora-$version"
cmake -DBUILD="$build" -DSTAGE="$work/stage/$name-win64" -DSTRIP="$strip" \
    -DZIP="$work/$name-win64.zip" -DSETUP="$work/$name-setup.exe" -DVERSION="$version" \
    -DICON="$source/resources/velmora.ico" -DSOURCE="$source" \
    -P "$work/packaging/package.cmake" || { fail "the signed release was not made"; finish; }

# The installer, silently, in a Wine prefix and home of its own.
export HOME="$tmp" WINEPREFIX="$tmp/prefix" WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
wine "$work/$name-setup.exe" /S
wineserver -k
python3 -m zipfile -e "$work/$name-win64.zip" "$work"
for file in "$work/$name-win64/velmora.exe" "$work/$name-setup.exe" \
    "$tmp"/prefix/drive_c/users/*/AppData/Local/Programs/Velmora/uninstall.exe; do
    osslsigncode verify -CAfile "$work/cert.pem" -in "$file" >"$tmp/verify" 2>&1 ||
        { cat "$tmp/verify" >&2; fail "no signature of the certificate on ${file#"$tmp/"}"; }
done
# No time-stamping server answers there.
cp "$build/velmora.exe" "$tmp/unsigned.exe"
VELMORA_SIGN_TIMESTAMP_URL=http://127.0.0.1:9/ "$work/packaging/sign" "$tmp/unsigned.exe" \
    2>/dev/null && fail "signed without the time stamp asked for"
finish
