#!/usr/bin/env bash
# Takes the README's screenshot of the real editor window: Velmora.so's editor opened by
# velmora-window-host in a window of its own on a private Xvfb, knob at 0.2, read back from the X server.
# Usage: scripts/screenshot-xvfb.sh [OUT.png]   (default: docs/editor-xvfb.png)
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-docs/editor-xvfb.png}

cmake --preset release > /dev/null
cmake --build --preset release --target Velmora velmora-window-host
xvfb_dir=$(mktemp -d)
trap 'cmake/xvfb.sh stop "$xvfb_dir"; rm -rf "$xvfb_dir"' EXIT
cmake/xvfb.sh start "$xvfb_dir"
DISPLAY=":$(cat "$xvfb_dir/display")" build/release/velmora-window-host --screenshot "$out" \
    build/release/Velmora.so 0.2 0 0.5
echo "screenshot: $out"
