#!/usr/bin/env bash
# The Windows lane: cross-builds Velmora.dll and its tests with mingw-w64 and runs them under Wine
# (headless, in a private prefix inside build/windows). The Linux/Windows output comparison needs the
# native release build too, which is built first.
set -euo pipefail
cd "$(dirname "$0")/.."

missing=()
for tool in x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-windres x86_64-w64-mingw32-objdump; do
    command -v "$tool" >/dev/null 2>&1 || missing+=("$tool")
done
if [ ! -x /usr/lib/wine/wine64 ] && ! command -v wine64 >/dev/null 2>&1; then
    missing+=(wine64)
fi
if [ ! -x /usr/lib/wine/wineserver64 ] && ! command -v wineserver >/dev/null 2>&1; then
    missing+=(wineserver)
fi
if [ ${#missing[@]} -ne 0 ]; then
    echo "test-windows: missing ${missing[*]}" >&2
    echo "test-windows: on Debian 12: apt-get install g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64" \
        "(scripts/install-deps.sh)" >&2
    exit 1
fi

cmake --preset release
cmake --build --preset release

cmake --preset windows
cmake --build --preset windows
ctest --preset windows
