#!/usr/bin/env bash
# Builds the Windows program, its zip and its installer a second time from a copy of the tree
# in another folder, as someone rebuilding this commit would, and checks that all three are
# the same byte for byte as this build's.
# Usage: reproducible.sh BUILD_DIR SOURCE_DIR WINDOWS_QT
set -uo pipefail
build="$1" source="$2" qt="$3"
. "$(dirname "${BASH_SOURCE[0]}")/../packaging/common.sh"
require tar sha256sum

# The time this build's zip and installer were made with, which the packaging wrote down.
SOURCE_DATE_EPOCH="$(cat "$build/packaging/windows/stage/source-date-epoch")" ||
    { fail "this build has made no zip"; finish; }
export SOURCE_DATE_EPOCH

copy="$tmp/elsewhere/velmora"
copy_tree "$source" "$copy"
# At the lowest priority, beside the tests that run at the same time.
if ! (cd "$copy" && export VELMORA_WINDOWS_QT="$qt" &&
      nice -n 19 cmake --preset windows &&
      nice -n 19 cmake --build --preset windows --target windows_packages) >"$tmp/build.log" 2>&1; then
    cat "$tmp/build.log" >&2
    fail "the copy in $copy does not build"
    finish
fi
for name in velmora.exe $(cd "$build" && ls velmora-*-win64.zip velmora-*-setup.exe); do
    here="$(sha256sum <"$build/$name")"
    elsewhere="$(sha256sum <"$copy/build/windows/$name")"
    echo "${here%% *}  ${elsewhere%% *}  $name"
    [ "$here" = "$elsewhere" ] || fail "$name built in $copy differs from this build's"
done
finish
