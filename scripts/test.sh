#!/usr/bin/env bash
# Builds everything and runs every test lane: the native suite, the sanitizer and fuzzing lanes, and the
# Windows DLL under Wine. Stops at the first failing lane.
set -euo pipefail
cd "$(dirname "$0")/.."

lane() {
    echo
    echo "=== $1"
    local start=$SECONDS
    shift
    "$@"
    echo "=== lane took $((SECONDS - start)) s"
}

native() {
    cmake --preset release
    cmake --build --preset release
    ctest --preset release
}

lane "native build and tests" native
lane "sanitizers and fuzzing" ./scripts/test-hardening.sh
lane "Windows DLL under Wine" ./scripts/test-windows.sh
