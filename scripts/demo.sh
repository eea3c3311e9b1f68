#!/usr/bin/env bash
# Builds the plug-in and its offline host, renders the demo loop through the plug-in while the knob
# sweeps low-pass, dry and high-pass, and draws the result's spectrogram: out/demo.wav, out/demo.png;
# and a picture of the editor window: out/editor.png.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset release
cmake --build --preset release --target Velmora velmora-render velmora-snapshot
mkdir -p out
build/release/velmora-render --info
build/release/velmora-render --demo out/demo.wav
sox -V1 out/demo.wav -n spectrogram -x 1200 -y 513 -t "Velmora demo: knob sweep" -o out/demo.png
build/release/velmora-snapshot --set knob=0.2 --set drive=0.3 --set reso=0.7 out/editor.png
echo "plug-in:     $(pwd)/build/release/Velmora.so"
echo "demo audio:  $(pwd)/out/demo.wav"
echo "spectrogram: $(pwd)/out/demo.png"
echo "editor:      $(pwd)/out/editor.png"
