// Cost of processing per stereo sample in each knob zone, shipped processing against the
// straightforward form in the same run. A figure to read, not a pass/fail test: run
// build/release/effect/benchmarks/velmora_benchmarks (--benchmark_repetitions=5 for medians). After the
// usual table it prints the two forms side by side (CPU time per stereo sample) with the speed-up.
#include "ZoneScenario.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

namespace {

void runZone(benchmark::State& state, const ZoneSpec& zone, Form form) {
    ZoneRun run(zone, form);
    for (auto _ : state) {
        run.block();
        benchmark::DoNotOptimize(run.output());
        benchmark::ClobberMemory();
    }
    // Shown as seconds per stereo sample with an SI prefix, e.g. "32.7ns".
    state.counters["per_stereo_sample"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kBlock,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The console table, then the two forms of each zone side by side.
class SideBySideReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            // With --benchmark_repetitions the median stands for the repetitions.
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.error_occurred || (run.run_type == Run::RT_Aggregate && !median)) {
                continue;
            }
            const double nanoseconds =
                median ? run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e9 /
                             kBlock
                       : run.cpu_accumulated_time * 1e9 / (static_cast<double>(run.iterations) * kBlock);
            const std::string name = run.run_name.function_name;
            const std::size_t slash = name.find('/');
            if (slash != std::string::npos) {
                perSample[name.substr(0, slash)][name.substr(slash + 1)] = nanoseconds;
            }
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\nCPU time per stereo sample\n%-18s %12s %12s %9s\n", "zone", "reference", "shipped",
                    "speed-up");
        for (const ZoneSpec& zone : kZones) {
            const auto found = perSample.find(zone.name);
            if (found == perSample.end() || found->second.count("reference") == 0 ||
                found->second.count("shipped") == 0) {
                continue;
            }
            const double reference = found->second.at("reference");
            const double shipped = found->second.at("shipped");
            std::printf("%-18s %9.3f ns %9.3f ns %8.1fx\n", zone.name, reference, shipped,
                        reference / shipped);
        }
    }

  private:
    std::map<std::string, std::map<std::string, double>> perSample;
};

} // namespace

int main(int argc, char** argv) {
    for (const ZoneSpec& zone : kZones) {
        for (Form form : {Form::Reference, Form::Shipped}) {
            const std::string name =
                std::string(zone.name) + (form == Form::Shipped ? "/shipped" : "/reference");
            benchmark::RegisterBenchmark(
                name.c_str(), [&zone, form](benchmark::State& state) { runZone(state, zone, form); });
        }
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    SideBySideReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
