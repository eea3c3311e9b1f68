#!/bin/sh
# The Debian package, unpacked into a temporary root (dpkg-deb -x) as dpkg would install it: every file in
# its place, the licences in its copyright file, and the renderer finding the packaged plug-in by
# itself and running it.
# Usage: deb-test.sh PACKAGE SOURCE_DIR
set -eu
package=$1
source_dir=$2
fail() {
    echo "deb test: $*" >&2
    exit 1
}

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$package" "$root"

# Exactly these files, nothing else (a stray build or test file would show here).
expected='./usr/bin/velmora-render
./usr/lib/vst/Velmora.so
./usr/share/doc/velmora/changelog.gz
./usr/share/doc/velmora/copyright
./usr/share/man/man1/velmora-render.1.gz'
files=$(cd "$root" && find . -type f | sort)
[ "$files" = "$expected" ] || fail "unexpected files:
$files"

# The licence, then every notice, verbatim.
copyright="$root/usr/share/doc/velmora/copyright"
head -c "$(wc -c < "$source_dir/LICENSE")" "$copyright" | cmp -s - "$source_dir/LICENSE" ||
    fail "the copyright file does not start with LICENSE"
tail -c "$(wc -c < "$source_dir/THIRD-PARTY-NOTICES")" "$copyright" | cmp -s - "$source_dir/THIRD-PARTY-NOTICES" ||
    fail "the copyright file does not end with THIRD-PARTY-NOTICES"

dpkg-deb -f "$package" Depends | grep -q "libsndfile1" || fail "Depends does not name libsndfile1"

# No --plugin: the renderer in usr/bin finds usr/lib/vst/Velmora.so.
info=$("$root/usr/bin/velmora-render" --info) || fail "velmora-render --info failed"
printf '%s\n' "$info" | grep -qF "plug-in:         $root/usr/bin/../lib/vst/Velmora.so" ||
    fail "--info did not load the packaged plug-in: $info"
printf '%s\n' "$info" | grep -qF 'effect name:     "Velmora"' || fail "not Velmora: $info"
"$root/usr/bin/velmora-render" -q --set knob=0.2 --demo "$root/demo.flac" || fail "the demo render failed"
[ -s "$root/demo.flac" ] || fail "the demo render wrote nothing"

man -l "$root/usr/share/man/man1/velmora-render.1.gz" 2>/dev/null | grep -q -- "--tail" ||
    fail "the manual page does not read, or lacks --tail"
echo "deb test: the package installs, finds its plug-in and renders"
