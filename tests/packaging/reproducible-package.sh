#!/usr/bin/env bash
# Builds the package a second time from a copy of the tree in another folder, as someone
# rebuilding this commit would, and checks that both packages are the same byte for byte.
# The copy's files are as new as a fresh checkout's: a build must not depend on when its
# files were written either.
# Usage: reproducible-package.sh CMAKE CPACK BUILD_DIR SOURCE_DIR CXX_COMPILER CXX_FLAGS
set -uo pipefail
cmake="$1" cpack="$2" build="$3" source="$4" compiler="$5" flags="$6"
. "$(dirname "${BASH_SOURCE[0]}")/common.sh"
require tar sha256sum dpkg-parsechangelog

# The same time for both packages, chosen as scripts/package chooses it.
SOURCE_DATE_EPOCH="$("$source/scripts/source-date-epoch")"
export SOURCE_DATE_EPOCH

copy="$tmp/elsewhere/velmora"
copy_tree "$source" "$copy"
# Only what the package holds: the program, and the documents it depends on. The compilers
# run at the lowest priority: the tests that run beside this one watch the clock, and a
# build that took the processors from them would make them fail.
if ! (cd "$copy" &&
      nice -n 19 "$cmake" --preset default -DCMAKE_CXX_COMPILER="$compiler" -DCMAKE_CXX_FLAGS="$flags" &&
      nice -n 19 "$cmake" --build --preset default --target velmora) >"$tmp/build.log" 2>&1; then
    cat "$tmp/build.log" >&2
    fail "the copy in $copy does not build"
    finish
fi

package() {
    local tree="$1" out="$tmp/packages/$2"
    if ! "$cpack" -G DEB --config "$tree/CPackConfig.cmake" -B "$out" >"$tmp/cpack.log" 2>&1; then
        cat "$tmp/cpack.log" >&2
        fail "cpack failed on $tree"
        finish
    fi
}
package "$build" here
package "$copy/build/default" elsewhere
here="$(sha256sum "$tmp"/packages/here/*.deb)"
elsewhere="$(sha256sum "$tmp"/packages/elsewhere/*.deb)"
echo "SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH"
echo "$here"
echo "$elsewhere"
if [ "${here%% *}" != "${elsewhere%% *}" ]; then
    fail "the package built in $copy differs from the one built in $source"
    # diffoscope names what differs; it is a diagnosis, not a requirement of the test.
    if command -v diffoscope >/dev/null; then
        diffoscope --text - "$tmp"/packages/here/*.deb "$tmp"/packages/elsewhere/*.deb 2>&1 |
            head -n 80 >&2
    fi
fi

finish
