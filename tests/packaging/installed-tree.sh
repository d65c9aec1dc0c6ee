#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a desktop gets from it: every
# file in its place, icons of the sizes their folders claim, a desktop entry and AppStream
# metadata that validate and point at the installed program and icons.
# Usage: installed-tree.sh CMAKE BUILD_DIR SOURCE_DIR
set -uo pipefail
cmake="$1" build="$2" source="$3"
. "$(dirname "${BASH_SOURCE[0]}")/common.sh"
require desktop-file-validate appstreamcli file

id=example.velmora.Velmora
sizes=(32 48 64 128 256)
prefix="$tmp/prefix"
if ! "$cmake" --install "$build" --prefix "$prefix" >"$tmp/install.log" 2>&1; then
    cat "$tmp/install.log" >&2
    fail "cmake --install failed"
    finish
fi

# Exactly these files: a stray one (a renamed icon left behind, say) is as wrong as a
# missing one.
expected=(
    bin/velmora
    share/applications/$id.desktop
    share/doc/velmora/changelog.gz
    share/doc/velmora/copyright
    share/icons/hicolor/scalable/apps/$id.svg
    share/man/bg/man1/velmora.1.gz
    share/man/man1/velmora.1.gz
    share/metainfo/$id.metainfo.xml
)
for size in "${sizes[@]}"; do
    expected+=("share/icons/hicolor/${size}x$size/apps/$id.png")
done
same "installed files" \
    "$(printf '%s\n' "${expected[@]}" | LC_ALL=C sort)" \
    "$(cd "$prefix" && find . ! -type d | sed 's|^\./||' | LC_ALL=C sort)"

[ -x "$prefix/bin/velmora" ] || fail "bin/velmora is not executable"
case "$(file -b "$prefix/bin/velmora")" in
    ELF*executable*) ;;
    *) fail "bin/velmora is not an executable: $(file -b "$prefix/bin/velmora")" ;;
esac

# The theme picks an icon by its folder's size, so each PNG must be that size: the width and
# height its header holds, as two 32-bit numbers from the 16th byte on.
for size in "${sizes[@]}"; do
    png="$prefix/share/icons/hicolor/${size}x$size/apps/$id.png"
    [ -e "$png" ] || continue
    same "${size}x$size icon's type" image/png "$(file -b --mime-type "$png")"
    same "${size}x$size icon's size" "$size $size" \
        "$(od -An -tu1 -j16 -N8 "$png" | awk '{ print $1*2^24+$2*2^16+$3*2^8+$4, $5*2^24+$6*2^16+$7*2^8+$8 }')"
done
svg="$prefix/share/icons/hicolor/scalable/apps/$id.svg"
[ -e "$svg" ] && same "scalable icon's type" image/svg+xml "$(file -b --mime-type "$svg")"

# desktop-file-validate exits 0 after some errors and prints hints: any output fails.
desktop="$prefix/share/applications/$id.desktop"
if [ -e "$desktop" ]; then
    if ! output="$(desktop-file-validate "$desktop" 2>&1)" || [ -n "$output" ]; then
        fail "desktop-file-validate:"$'\n'"$output"
    fi
    # The entry must start the installed program and show the installed icons.
    program="$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")"
    [ -n "$program" ] && [ -x "$prefix/bin/$program" ] ||
        fail "Exec names '$program', which is not installed in bin/"
    icon="$(sed -n 's/^Icon=//p' "$desktop")"
    [ -e "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" ] ||
        fail "Icon names '$icon', which has no scalable icon"
    for size in "${sizes[@]}"; do
        [ -e "$prefix/share/icons/hicolor/${size}x$size/apps/$icon.png" ] ||
            fail "Icon names '$icon', which has no ${size}x$size icon"
    done
fi

# appstreamcli passes with warnings unless --strict, which also fails on infos: the
# validator reads "example" as an unknown top-level domain and says so as an info. So the
# errors and warnings are picked out of its report.
appstream() {
    local what="$1" output
    shift
    if ! output="$(appstreamcli "$@" 2>&1)" || grep -Eq '^ *[EW]: ' <<<"$output"; then
        fail "appstreamcli $1 on $what:"$'\n'"$output"
    fi
}
appstream "the source tree" validate --no-net "$source/resources/$id.metainfo.xml"
appstream "the installed tree" validate --no-net "$prefix/share/metainfo/$id.metainfo.xml"
# The tree as a whole: the metainfo's launchable must be an installed desktop entry.
appstream "the installed tree" validate-tree --no-net "$prefix"

finish
