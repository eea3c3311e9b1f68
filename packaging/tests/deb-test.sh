#!/bin/sh
# The Debian package, unpacked into a temporary root (dpkg-deb -x) as dpkg would install it: every file in
# its place, the licences in its machine-readable copyright file, the renderer finding the packaged
# plug-in by itself and running it, telling the package's version, and its manual page dated. Then
# installed and removed by dpkg in a scratch root: without maintainer scripts nothing is left behind,
# not even the "rc" state a postrm would leave.
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
./usr/lib/lv2/Velmora.lv2/manifest.ttl
./usr/lib/lv2/Velmora.lv2/velmora.ttl
./usr/lib/lv2/Velmora.lv2/velmora_dsp.so
./usr/lib/lv2/Velmora.lv2/velmora_ui.so
./usr/lib/lv2/Velmora.lv2/velmora_ui.ttl
./usr/lib/vst/Velmora.so
./usr/share/doc/velmora/README
./usr/share/doc/velmora/changelog.gz
./usr/share/doc/velmora/copyright
./usr/share/man/man1/velmora-render.1.gz'
files=$(cd "$root" && find . -type f | sort)
[ "$files" = "$expected" ] || fail "unexpected files:
$files"

# Machine-readable (DEP-5, parsed strictly): LICENSE for our files, and a paragraph for each work of
# THIRD-PARTY-NOTICES in Velmora.so whose licence text is the one there.
/usr/bin/python3 - "$root/usr/share/doc/velmora/copyright" "$source_dir" <<'PYTHON' || fail "bad copyright file"
import sys
from debian.copyright import Copyright
with open(sys.argv[1]) as f:
    copyright = Copyright(f, strict=True)
license = open(sys.argv[2] + "/LICENSE").read().strip()
notices = open(sys.argv[2] + "/THIRD-PARTY-NOTICES").read()
ours = copyright.find_files_paragraph("host/PluginEntry.cpp")
assert ours.license.synopsis == "Expat" and ours.license.text.strip() == license, "LICENSE"
for work in ("stb_image.h", "stb_truetype.h", "LiberationSans-Regular.ttf"):
    paragraph = copyright.find_files_paragraph(work)
    assert paragraph is not ours and paragraph.copyright, work
    text = paragraph.license.text.strip()
    assert len(text) > 500 and text in notices, work + ": not the licence in THIRD-PARTY-NOTICES"
PYTHON

depends=$(dpkg-deb -f "$package" Depends)
for library in libc6 libsndfile1 libsoxr0; do
    printf '%s' "$depends" | grep -q "$library" || fail "Depends does not name $library: $depends"
done
# Only the control file and the checksums: no maintainer scripts.
control=$(dpkg-deb --ctrl-tarfile "$package" | tar -t | sort | tr '\n' ' ')
[ "$control" = "./control ./md5sums " ] || fail "control files beyond control and md5sums: $control"

# No --plugin: the renderer in usr/bin finds usr/lib/vst/Velmora.so.
info=$("$root/usr/bin/velmora-render" --info) || fail "velmora-render --info failed"
printf '%s\n' "$info" | grep -qF "plug-in:         $root/usr/bin/../lib/vst/Velmora.so" ||
    fail "--info did not load the packaged plug-in: $info"
printf '%s\n' "$info" | grep -qF 'effect name:     "Velmora"' || fail "not Velmora: $info"
"$root/usr/bin/velmora-render" -q --set knob=0.2 --demo "$root/demo.flac" || fail "the demo render failed"
[ -s "$root/demo.flac" ] || fail "the demo render wrote nothing"

# The LV2 bundle as an LV2 host finds it: the plug-in, with no required feature, and its UI library.
lv2=$(LV2_PATH="$root/usr/lib/lv2" lv2info https://www.trevanor.com/plugins/velmora) ||
    fail "lv2info does not find the packaged LV2 plug-in"
printf '%s\n' "$lv2" | grep -q "Required Features:" && fail "the LV2 plug-in requires features: $lv2"
printf '%s\n' "$lv2" | grep -qF "Binary: file://$root/usr/lib/lv2/Velmora.lv2/velmora_ui.so" ||
    fail "lv2info lists no packaged UI: $lv2"

version=$("$root/usr/bin/velmora-render" --version)
[ "$version" = "velmora-render $(dpkg-deb -f "$package" Version)" ] || fail "--version says '$version'"

man -l "$root/usr/share/man/man1/velmora-render.1.gz" 2>/dev/null | grep -q -- "--rate" ||
    fail "the manual page does not read, or lacks --rate"
zcat "$root/usr/share/man/man1/velmora-render.1.gz" | head -1 |
    grep -qE '^\.TH VELMORA-RENDER 1 "[0-9]{4}-[0-9]{2}-[0-9]{2}" ' || fail "the manual page has no date"

# dpkg in a scratch root: installed, then removed without a trace.
scratch="$root/scratch"
mkdir -p "$scratch/var/lib/dpkg/info" "$scratch/var/lib/dpkg/updates"
touch "$scratch/var/lib/dpkg/status"
dpkg --root="$scratch" --force-depends --force-not-root -i "$package" >/dev/null || fail "dpkg -i failed"
[ -x "$scratch/usr/bin/velmora-render" ] || fail "dpkg -i installed no velmora-render"
dpkg --root="$scratch" --force-not-root -r velmora >/dev/null || fail "dpkg -r failed"
state=$(dpkg-query --admindir="$scratch/var/lib/dpkg" -W -f='${db:Status-Abbrev}' velmora 2>/dev/null || true)
[ -z "$state" ] || [ "$state" = "un " ] || fail "after removal the package is still known to dpkg as '$state'"
left=$(cd "$scratch" && find usr -type f 2>/dev/null || true)
[ -z "$left" ] || fail "removal left files: $left"
echo "deb test: the package installs, finds its plug-in, renders and removes cleanly"
