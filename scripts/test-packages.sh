#!/usr/bin/env bash
# The packages lane: makes dist/ twice with scripts/package.sh, requires the same bytes both times, and
# runs the package checks (packaging/tests) on it: the Debian package unpacked and run, lintian, the
# zip's contents, the checksums. The Windows installer's own test runs in the Windows lane.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/package.sh
first=$(cat dist/SHA256SUMS)
./scripts/package.sh > /dev/null
if [ "$(cat dist/SHA256SUMS)" != "$first" ]; then
    echo "test-packages: a second run made different packages:" >&2
    diff <(echo "$first") dist/SHA256SUMS >&2 || true
    exit 1
fi
echo "test-packages: a second run made byte-identical packages"

version=$(sed -n 's/^project(Velmora VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
cmake -S packaging/tests -B build/package-tests -DDIST="$PWD/dist" -DVERSION="$version" > /dev/null
ctest --test-dir build/package-tests --output-on-failure --no-tests=error
