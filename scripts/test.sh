#!/usr/bin/env bash
# Builds everything and runs every test lane. Exits non-zero on the first failing lane.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset release
cmake --build --preset release
ctest --preset release
