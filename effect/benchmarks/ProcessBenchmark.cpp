// Cost of processReplacing per stereo sample in each knob zone, at 44.1 kHz in blocks of 512.
// A figure to read, not a pass/fail test: run build/release/effect/benchmarks/velmora_benchmarks.
#include "Corvel.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {

constexpr int kBlock = 512;

class BenchCorvel : public Corvel {
  public:
    BenchCorvel() : Corvel(nullptr) {}
    // Starts the knob at its target, as if it had been there for a while.
    void settle(float knob) {
        setParameter(kKnob, knob);
        knobSmoothed = knob;
    }
};

std::vector<float> noiseBlock(std::uint32_t seed) {
    std::vector<float> samples(kBlock);
    for (float& s : samples) {
        seed = seed * 1664525u + 1013904223u;
        s = static_cast<float>(static_cast<std::int32_t>(seed >> 8) - (1 << 23)) / 16777216.0f;
    }
    return samples;
}

// Runs blocks of noise through one instance; `glide` moves the knob back and forth across the low-pass
// side every block so that it never settles.
void runZone(benchmark::State& state, float knob, bool glide) {
    BenchCorvel effect;
    effect.setParameter(kDrive, 0.5f);
    effect.setParameter(kReso, 0.5f);
    effect.settle(knob);
    std::vector<float> inLeft = noiseBlock(1), inRight = noiseBlock(2);
    std::vector<float> outLeft(kBlock), outRight(kBlock);
    float* inputs[2] = {inLeft.data(), inRight.data()};
    float* outputs[2] = {outLeft.data(), outRight.data()};
    bool up = false;
    for (auto _ : state) {
        if (glide) {
            effect.setParameter(kKnob, up ? 0.4f : 0.0f);
            up = !up;
        }
        effect.processReplacing(inputs, outputs, kBlock);
        benchmark::DoNotOptimize(outLeft.data());
        benchmark::DoNotOptimize(outRight.data());
        benchmark::ClobberMemory();
    }
    // Shown as seconds per stereo sample with an SI prefix, e.g. "32.7ns".
    state.counters["per_stereo_sample"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kBlock,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void Dry(benchmark::State& state) {
    runZone(state, 0.5f, false);
}
void LowPassSteady(benchmark::State& state) {
    runZone(state, 0.2f, false);
}
void HighPassPure(benchmark::State& state) {
    runZone(state, 0.8f, false);
}
void HighPassCrossfade(benchmark::State& state) {
    runZone(state, 0.6f, false);
}
void GlidingKnob(benchmark::State& state) {
    runZone(state, 0.2f, true);
}

} // namespace

BENCHMARK(Dry);
BENCHMARK(LowPassSteady);
BENCHMARK(HighPassPure);
BENCHMARK(HighPassCrossfade);
BENCHMARK(GlidingKnob);

BENCHMARK_MAIN();
