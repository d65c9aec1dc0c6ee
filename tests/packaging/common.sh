# Sourced by the packaging tests: a temporary directory removed on exit, a failure that says
# why, and the install manifest of the build tree put back as it was.
#
# Both `cmake --install` and cpack write install_manifest.txt into the build tree; a test
# must leave that tree as it found it, so the file is saved first and restored (or removed)
# when the test ends, whatever its outcome.

tmp="$(mktemp -d)"
manifest="$build/install_manifest.txt"
if [ -e "$manifest" ]; then
    cp -p "$manifest" "$tmp/install_manifest.saved"
fi
cleanup() {
    if [ -e "$tmp/install_manifest.saved" ]; then
        cp -p "$tmp/install_manifest.saved" "$manifest"
    else
        rm -f "$manifest"
    fi
    rm -rf "$tmp"
}
trap cleanup EXIT

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# A missing tool fails rather than skips: `scripts/install-dependencies test` installs every one.
require() {
    local tool
    for tool in "$@"; do
        if ! command -v "$tool" >/dev/null; then
            echo "FAIL: $tool is missing (scripts/install-dependencies test installs it)" >&2
            exit 1
        fi
    done
}

# Compares two texts exactly, showing the difference when they differ.
same() {
    local what="$1" expected="$2" actual="$3"
    if [ "$expected" != "$actual" ]; then
        fail "$what differs (- expected, + actual):"
        diff -u <(printf '%s\n' "$expected") <(printf '%s\n' "$actual") | tail -n +3 >&2
    fi
}

# Copies the source tree SOURCE into DESTINATION as a fresh checkout in another folder
# would have it: without builds or history, every file as new as the copy.
copy_tree() {
    local source="$1" destination="$2"
    mkdir -p "$destination"
    tar -C "$source" --exclude=./build --exclude=./.git --exclude=./.cache -cf - . |
        tar -C "$destination" --touch -xf -
}

finish() {
    if [ "$failures" -ne 0 ]; then
        echo "$failures check(s) failed" >&2
        exit 1
    fi
    echo "all checks passed"
}
