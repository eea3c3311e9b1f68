// Cost per stereo sample of the LV2 plug-in beside the VST build, in each knob zone of the effect's own
// benchmark, in one run: the bundle's library through lilv with no features, Velmora.so as
// velmora-render drives it; 44.1 kHz, blocks of 512, drive and resonance 0.5. A figure to read, not a
// pass/fail test: build/release/lv2/benchmarks/velmora_lv2_benchmarks (--benchmark_repetitions=5 for
// medians); "per_stereo_sample" of the rows NAME/vst and NAME/lv2 compare.
#include "Lv2TestHost.h"
#include "TestSupport.h"
#include "ZoneScenario.h"

#include <benchmark/benchmark.h>

#include <string>

using namespace lv2test;

namespace {

constexpr double kRate = 44100.0;
// Long enough for the knob to settle from the centre in every zone.
constexpr int kSettlingBlocks = 200;

template <typename Instance> void runZone(benchmark::State& state, Instance& instance, const ZoneSpec& zone) {
    const std::vector<float> noise = render_test::testSignal(2, kBlock, static_cast<int>(kRate));
    std::vector<float> inLeft(kBlock), inRight(kBlock), outLeft(kBlock), outRight(kBlock);
    for (int i = 0; i < kBlock && !zone.silent; ++i) {
        inLeft[static_cast<std::size_t>(i)] = noise[static_cast<std::size_t>(i) * 2];
        inRight[static_cast<std::size_t>(i)] = noise[static_cast<std::size_t>(i) * 2 + 1];
    }
    float* const in[2] = {inLeft.data(), inRight.data()};
    float* const out[2] = {outLeft.data(), outRight.data()};
    Controls controls{zone.knob, 0.5f, 0.5f};
    for (int i = 0; i < kSettlingBlocks; ++i) {
        instance.block(controls, in, out, kBlock);
    }
    bool up = false;
    for (auto _ : state) {
        if (zone.glide) {
            // Back and forth across the low-pass side every block, so that the knob never settles.
            controls.knob = up ? 0.4f : 0.0f;
            up = !up;
        }
        instance.block(controls, in, out, kBlock);
        benchmark::DoNotOptimize(outLeft.data());
        benchmark::ClobberMemory();
    }
    // Shown as seconds per stereo sample with an SI prefix, e.g. "10.2ns".
    state.counters["per_stereo_sample"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kBlock,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

} // namespace

int main(int argc, char** argv) {
    const Bundle bundle;
    for (const ZoneSpec& zone : kZones) {
        benchmark::RegisterBenchmark((std::string(zone.name) + "/vst").c_str(),
                                     [&zone](benchmark::State& state) {
                                         VstInstance vst(kRate, kBlock);
                                         runZone(state, vst, zone);
                                     });
        benchmark::RegisterBenchmark((std::string(zone.name) + "/lv2").c_str(),
                                     [&zone, &bundle](benchmark::State& state) {
                                         Lv2Instance lv2(bundle, kRate);
                                         lv2.connectControls();
                                         lv2.activate();
                                         runZone(state, lv2, zone);
                                     });
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
