#!/usr/bin/env bash
# Makes the release packages into dist/, with a SHA256SUMS file:
#   velmora_<version>_amd64.deb          the Debian package (CPack, from the release build)
#   Velmora-<version>-setup-x64.exe      the Windows installer (NSIS, from the windows build)
#   Velmora-<version>-win64.zip          the DLL, README and licences, for copying by hand
# Builds what is missing with the release and windows presets. Two runs from the same commit give
# byte-identical files: every time stamp is the commit's (SOURCE_DATE_EPOCH), every file list fixed.
# Needs, beyond the build's packages: dpkg-dev (dpkg-shlibdeps), nsis and zip (scripts/install-deps.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS

SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 946684800)}
export SOURCE_DATE_EPOCH
version=$(sed -n 's/^project(Velmora VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
dist=dist
rm -rf "$dist"
mkdir -p "$dist"

# Linux: CPack installs the release build's install rules (building what is out of date) and packs them.
cmake --preset release > /dev/null
cmake --build --preset release
(cd build/release && cpack -G DEB -B "$PWD/packages" > /dev/null)
cp "build/release/packages/velmora_${version}_amd64.deb" "$dist/"

# Windows: the installer is part of the windows build; made anew so that each run really packs.
cmake --preset windows > /dev/null
rm -f "build/windows/Velmora-${version}-setup-x64.exe"
cmake --build --preset windows --target velmora_installer
cp "build/windows/Velmora-${version}-setup-x64.exe" "$dist/"

# The zip: fixed names, order, permissions and times.
zip_name="Velmora-${version}-win64"
staging=build/windows/zip
rm -rf "$staging"
mkdir -p "$staging/$zip_name"
install -m 644 build/windows/Velmora.dll "$staging/$zip_name/Velmora.dll"
install -m 644 packaging/windows/README.txt "$staging/$zip_name/README.txt"
install -m 644 LICENSE "$staging/$zip_name/LICENSE.txt"
install -m 644 THIRD-PARTY-NOTICES "$staging/$zip_name/THIRD-PARTY-NOTICES.txt"
touch -d "@$SOURCE_DATE_EPOCH" "$staging/$zip_name"/*
# Info-ZIP without its extra fields (-X), which would carry the staged files' access and change times;
# the entries' own times are local, hence UTC.
rm -f "$dist/$zip_name.zip"
(cd "$staging" && TZ=UTC zip -X -9 -q "../../../$dist/$zip_name.zip" "$zip_name/Velmora.dll" \
    "$zip_name/README.txt" "$zip_name/LICENSE.txt" "$zip_name/THIRD-PARTY-NOTICES.txt")

(cd "$dist" && sha256sum -- *.deb *.exe *.zip > SHA256SUMS)
echo "package: made in $((SECONDS - started)) s:"
(cd "$dist" && ls -l --time-style=+ -- *.deb *.exe *.zip | awk '{ printf "  %-36s %9d bytes\n", $NF, $5 }')
