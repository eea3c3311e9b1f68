// Cost of the editor: a timer firing with nothing changed and with the main knob moved (repaint
// included), a full repaint, each at the display scales of today's screens (the argument is the scale in
// percent), creating and closing an instance whose editor is never opened (what a host scanning plug-ins
// pays), and the heap that instances without an open window hold. Figures to read:
// build/release/editor/benchmarks/velmora_editor_benchmarks.
#include "AEffGUIEditor.h"
#include "AllocationCounter.h"
#include "CFrame.h"
#include "CVSTGUITimer.h"
#include "OffscreenPlatform.h"
#include "PluginEntry.h"
#include "QuietHost.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <vector>

namespace {

CBaseObject* timerTarget(AEffect* effect) {
    return dynamic_cast<CBaseObject*>(static_cast<AudioEffect*>(effect->object)->getEditor());
}

struct OpenEditor {
    AEffect* effect = VSTPluginMain(quietHost);
    int parent = 0;
    OffscreenFrame* window = nullptr;

    explicit OpenEditor(const benchmark::State& state) {
        const float scale = static_cast<float>(state.range(0)) / 100.0f;
        effect->dispatcher(effect, effVendorSpecific, vstFourCC('P', 'r', 'e', 'S'),
                           vstFourCC('A', 'e', 'C', 's'), nullptr, scale);
        effect->dispatcher(effect, effEditOpen, 0, 0, &parent, 0.0f);
        window = OffscreenPlatform::instance().lastFrame();
        window->paint();
    }
    ~OpenEditor() { effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f); }
    void fireTimer() { timerTarget(effect)->notify(nullptr, CVSTGUITimer::kMsgTimer); }
};

void timerFiringNothingChanged(benchmark::State& state) {
    OpenEditor editor(state);
    const uint64_t before = allocationCount();
    for (auto _ : state) {
        editor.fireTimer();
        benchmark::DoNotOptimize(editor.window->paint().data().data());
    }
    reportAllocations(state, before);
}

void timerFiringMainKnobMoved(benchmark::State& state) {
    OpenEditor editor(state);
    float knob = 0.0f;
    const uint64_t before = allocationCount();
    for (auto _ : state) {
        knob = knob < 0.4f ? knob + 0.001f : 0.0f;
        editor.effect->setParameter(editor.effect, 0, knob);
        editor.fireTimer();
        benchmark::DoNotOptimize(editor.window->paint().data().data());
    }
    reportAllocations(state, before);
}

void fullRepaint(benchmark::State& state) {
    OpenEditor editor(state);
    CFrame* frame = static_cast<AEffGUIEditor*>(static_cast<AudioEffect*>(editor.effect->object)->getEditor())
                        ->getFrame();
    const uint64_t before = allocationCount();
    for (auto _ : state) {
        frame->invalid();
        benchmark::DoNotOptimize(editor.window->paint().data().data());
    }
    reportAllocations(state, before);
}

void createAndCloseWithoutOpening(benchmark::State& state) {
    for (auto _ : state) {
        AEffect* effect = VSTPluginMain(quietHost);
        effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    }
}

// Heap in use by `count` instances that never open their window, less that of one.
void heapOfInstancesWithoutWindows(benchmark::State& state) {
    const auto count = static_cast<std::size_t>(state.range(0));
    double extraBytes = 0;
    for (auto _ : state) {
        std::vector<AEffect*> instances{VSTPluginMain(quietHost)};
        instances.reserve(count);
        const auto one = static_cast<double>(mallinfo2().uordblks);
        while (instances.size() < count) {
            instances.push_back(VSTPluginMain(quietHost));
        }
        extraBytes = static_cast<double>(mallinfo2().uordblks) - one;
        for (AEffect* effect : instances) {
            effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
        }
    }
    state.counters["extra_bytes"] = extraBytes;
}

BENCHMARK(timerFiringNothingChanged)->Unit(benchmark::kNanosecond)->Arg(100)->Arg(200);
BENCHMARK(timerFiringMainKnobMoved)->Unit(benchmark::kMicrosecond)->Arg(100)->Arg(150)->Arg(200)->Arg(300);
BENCHMARK(fullRepaint)->Unit(benchmark::kMicrosecond)->Arg(100)->Arg(150)->Arg(200)->Arg(300);
BENCHMARK(createAndCloseWithoutOpening)->Unit(benchmark::kMicrosecond)->Iterations(10000);
BENCHMARK(heapOfInstancesWithoutWindows)->Arg(100)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
