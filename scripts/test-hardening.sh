#!/usr/bin/env bash
# The hardening lanes, one after the other, stopping at the first failure:
#   asan  - the whole test suite built with AddressSanitizer (leaks included) and UndefinedBehaviorSanitizer;
#   tsan  - the tests labelled "concurrency" built with ThreadSanitizer;
#   fuzz  - the host-actions fuzzer (clang, libFuzzer) for a bounded time from the committed seed corpus.
# Usage: scripts/test-hardening.sh [asan] [tsan] [fuzz]   (no argument: all three)
# Needs, beyond scripts/install-deps.sh: clang and libclang-rt-14-dev (libFuzzer, FuzzedDataProvider.h and
# clang's sanitizer runtimes), llvm (llvm-symbolizer, for readable fuzzer stacks). GCC's sanitizer
# runtimes (libasan8, libubsan1, libtsan2) come with build-essential.
set -euo pipefail
cd "$(dirname "$0")/.."

# Every report is fatal and comes with a stack; no suppressions.
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:print_stacktrace=1:detect_stack_use_after_return=1:strict_string_checks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="print_suppressions=0"
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1"

lanes=("$@")
if [ ${#lanes[@]} -eq 0 ]; then
    lanes=(asan tsan fuzz)
fi

timings=()
run_lane() {
    local name=$1
    local start=$SECONDS
    echo "=== hardening lane ${name}"
    "lane_${name}"
    timings+=("${name}: $((SECONDS - start)) s")
    echo "=== hardening lane ${name} passed in $((SECONDS - start)) s"
}

lane_asan() {
    cmake --preset asan
    cmake --build --preset asan
    ctest --preset asan
}

lane_tsan() {
    cmake --preset tsan
    # Only the concurrency tests run in this lane, so only they are built: the in-process ones, the
    # editor's windows with their own threads (which load the plug-in), LV2 instances on two threads,
    # and the LV2 UI, which must start none.
    cmake --build --preset tsan --target concurrency_tests x11_window_tests x11_host_idle_tests x11_editor_tests Velmora \
        lv2_concurrency_tests velmora_lv2_dsp lv2_ui_tests velmora_lv2_ui
    # ThreadSanitizer's memory layout clashes with the widest address randomisation of recent kernels.
    if command -v setarch > /dev/null; then
        setarch "$(uname -m)" -R ctest --preset tsan
    else
        ctest --preset tsan
    fi
}

lane_fuzz() {
    cmake --preset fuzz
    cmake --build --preset fuzz --target velmora_fuzz_host_actions
    local log=build/fuzz/fuzz-lane.log
    if ! ctest --test-dir build/fuzz -L fuzz --no-tests=error --output-on-failure -V > "$log" 2>&1; then
        cat "$log"
        echo "fuzz lane failed; the input is in build/fuzz/tests/fuzz/fuzz-work/artifacts" >&2
        return 1
    fi
    grep -E "stat::|fuzz_host_actions:|tests passed" "$log" | sed 's/^[0-9]*: //'
    local executions
    executions=$(sed -n 's/.*stat::number_of_executed_units: *\([0-9]*\).*/\1/p' "$log" | tail -n 1)
    echo "fuzzer executions: ${executions}"
}

for lane in "${lanes[@]}"; do
    case "$lane" in
    asan | tsan | fuzz) run_lane "$lane" ;;
    *)
        echo "unknown lane '$lane' (asan, tsan, fuzz)" >&2
        exit 2
        ;;
    esac
done
echo "hardening lanes passed:"
printf '  %s\n' "${timings[@]}"
