#!/usr/bin/env bash
# Builds everything and runs every test lane: the native suite, the sanitizer and fuzzing lanes, the
# Windows DLL under Wine, and the release packages. Stops at the first failing lane.
set -euo pipefail
cd "$(dirname "$0")/.."
# No test may open a window on the caller's desktop: tests of real windows use a private Xvfb.
unset DISPLAY WAYLAND_DISPLAY

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
lane "packages" ./scripts/test-packages.sh
