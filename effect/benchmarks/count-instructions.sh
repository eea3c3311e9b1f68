#!/usr/bin/env bash
# Instructions per stereo sample in each zone, shipped processing against the straightforward form,
# counted by callgrind over the driver's measured blocks only (construction and warm-up excluded).
#
#   effect/benchmarks/count-instructions.sh [BUILD_DIR] [BLOCKS]
#
# BUILD_DIR defaults to build/release (configure with -DCMAKE_BUILD_TYPE=RelWithDebInfo); BLOCKS to 200.
set -euo pipefail
cd "$(dirname "$0")/../.."

build=${1:-build/release}
blocks=${2:-200}
driver=$build/effect/benchmarks/velmora_instruction_driver
block=512

if [ ! -x "$driver" ]; then
    echo "count-instructions: $driver not found; build the benchmarks first" >&2
    exit 1
fi
command -v valgrind >/dev/null || { echo "count-instructions: valgrind is not installed" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

count() { # zone form -> instructions per stereo sample
    local out=$work/$1-$2.out
    valgrind --tool=callgrind --callgrind-out-file="$out" --toggle-collect=velmora_measured_blocks \
        "$driver" "$1" "$2" "$blocks" >/dev/null 2>"$work/log" || { cat "$work/log" >&2; exit 1; }
    local total
    total=$(sed -n 's/^totals: *\([0-9]*\).*/\1/p' "$out")
    awk -v total="$total" -v samples=$((blocks * block)) 'BEGIN { printf "%.2f", total / samples }'
}

printf '%-18s %22s %22s\n' zone 'reference (instr/smp)' 'shipped (instr/smp)'
for zone in Dry LowPassSteady HighPassPure HighPassCrossfade GlidingKnob LowPassSilence; do
    printf '%-18s %22s %22s\n' "$zone" "$(count "$zone" reference)" "$(count "$zone" shipped)"
done
echo "($blocks blocks of $block stereo samples per run, drive 0.5, resonance 0.5)"
