#!/bin/sh
# The zip for copying by hand: one folder holding exactly the DLL, the README and both licence files,
# the licences identical to the repository's.
# Usage: zip-test.sh ZIP SOURCE_DIR
set -eu
zip=$1
source_dir=$2
fail() {
    echo "zip test: $*" >&2
    exit 1
}
folder=$(basename "$zip" .zip)
expected="$folder/LICENSE.txt
$folder/README.txt
$folder/THIRD-PARTY-NOTICES.txt
$folder/Velmora.dll"
listing=$(cmake -E tar tf "$zip" | sort)
[ "$listing" = "$expected" ] || fail "unexpected contents:
$listing"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
(cd "$root" && cmake -E tar xf "$zip")
cmp "$root/$folder/LICENSE.txt" "$source_dir/LICENSE" || fail "LICENSE.txt differs from LICENSE"
cmp "$root/$folder/THIRD-PARTY-NOTICES.txt" "$source_dir/THIRD-PARTY-NOTICES" ||
    fail "THIRD-PARTY-NOTICES.txt differs"
head -c 2 "$root/$folder/Velmora.dll" | grep -q MZ || fail "Velmora.dll is not a Windows executable"
echo "zip test: the zip holds the DLL, the README and the licences"
