#!/usr/bin/env bash
# Makes the release packages into dist/, with a SHA256SUMS file:
#   velmora_<version>_amd64.deb          the Debian package (CPack, from the release build)
#   Velmora-<version>-setup-x64.exe      the Windows installer (NSIS, from the windows build)
#   Velmora-<version>-win64.zip          the DLL, README and licences, for copying by hand
# Builds only what the packages contain, in build trees of their own without tests or benchmarks:
# build/package (Linux) and build/package-windows (mingw-w64). Two runs from the same commit give
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

package_build=(-G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_BUILD_TESTS=OFF -DVELMORA_BUILD_BENCHMARKS=OFF)

# Linux: CPack installs what the package holds and packs it. It does not build: with
# CMAKE_SKIP_INSTALL_ALL_DEPENDENCY the install step leaves the build to the line before.
linux=build/package
cmake -S . -B "$linux" "${package_build[@]}" -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON > /dev/null
cmake --build "$linux" --target velmora_package_contents
(cd "$linux" && cpack -G DEB -B "$PWD/packages" > /dev/null)
cp "$linux/packages/velmora_${version}_amd64.deb" "$dist/"

# Windows: the DLL and its installer, made anew so that each run really packs.
windows=build/package-windows
cmake -S . -B "$windows" "${package_build[@]}" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake > /dev/null
rm -f "$windows/Velmora-${version}-setup-x64.exe"
cmake --build "$windows" --target velmora_installer
cp "$windows/Velmora-${version}-setup-x64.exe" "$dist/"

# The zip: fixed names, order, permissions and times.
zip_name="Velmora-${version}-win64"
staging=$windows/zip
rm -rf "$staging"
mkdir -p "$staging/$zip_name"
install -m 644 "$windows/Velmora.dll" "$staging/$zip_name/Velmora.dll"
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
