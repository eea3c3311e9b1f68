// Cost of drawing a 171 x 149 window of pictures, knobs, a lamp and a read-out: a full repaint, and an
// idle with nothing dirty, with the heap allocations each makes (there should be none once the window
// has drawn once). Figures to read: build/release/toolkit/benchmarks/velmora_toolkit_benchmarks.
#include "AllocationCounter.h"
#include "CAnimKnob.h"
#include "CBitmap.h"
#include "CFrame.h"
#include "CKickButton.h"
#include "COnOffButton.h"
#include "CTextLabel.h"
#include "OffscreenPlatform.h"

#include <benchmark/benchmark.h>

namespace {

// The editor's arrangement of controls, built from the toolkit alone.
struct Window {
    CBitmap background{CResourceDescription(128)};
    CBitmap lamp{CResourceDescription(129)};
    CBitmap face{CResourceDescription(130)};
    CBitmap strip{CResourceDescription(131)};
    CFrame* frame = new CFrame(CRect(0, 0, 171, 149), nullptr, nullptr);
    CKnob* knob = nullptr;
    OffscreenFrame* window = static_cast<OffscreenFrame*>(frame->getPlatformFrame());

    Window() {
        frame->setBackground(&background);
        auto* label = new CTextLabel(CRect(70, 6, 104, 18), "1234");
        label->setFont(kNormalFontSmaller);
        frame->addView(label);
        frame->addView(new CKickButton(CRect(120, 0, 171, 33), nullptr, 6, 32, nullptr));
        auto* onOff = new COnOffButton(CRect(57, 81, 112, 138), nullptr, 4, &lamp);
        onOff->setValue(1);
        frame->addView(onOff);
        knob = new CKnob(CRect(40, 18, 130, 108), nullptr, 0, &face, nullptr);
        knob->setValue(0.3f);
        frame->addView(knob);
        frame->addView(new CAnimKnob(CRect(126, 108, 158, 140), nullptr, 2, 120, 32, &strip));
        frame->addView(new CAnimKnob(CRect(13, 108, 45, 140), nullptr, 1, 120, 32, &strip));
        frame->renderAll();
    }
    ~Window() { frame->forget(); }
};

// What opening a window costs in allocations, which also shows the counter counts.
void openWindow(benchmark::State& state) {
    const uint64_t before = allocationCount();
    for (auto _ : state) {
        Window w;
        benchmark::DoNotOptimize(w.frame);
    }
    reportAllocations(state, before);
}

void fullRepaint(benchmark::State& state) {
    Window w;
    const uint64_t before = allocationCount();
    for (auto _ : state) {
        w.frame->invalidRect(CRect(0, 0, 171, 149));
        benchmark::DoNotOptimize(w.window->paint().data().data());
    }
    reportAllocations(state, before);
}

void idleNothingDirty(benchmark::State& state) {
    Window w;
    const uint64_t before = allocationCount();
    for (auto _ : state) {
        w.frame->idle();
        benchmark::DoNotOptimize(w.window->getInvalidCount());
    }
    reportAllocations(state, before);
}

void knobMovedIdleAndRepaint(benchmark::State& state) {
    Window w;
    float value = 0;
    const uint64_t before = allocationCount();
    for (auto _ : state) {
        value = value < 1.0f ? value + 0.01f : 0.0f;
        w.knob->setValue(value);
        w.frame->idle();
        benchmark::DoNotOptimize(w.window->paint().data().data());
    }
    reportAllocations(state, before);
}

BENCHMARK(openWindow)->Unit(benchmark::kMicrosecond);
BENCHMARK(fullRepaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(idleNothingDirty)->Unit(benchmark::kNanosecond);
BENCHMARK(knobMovedIdleAndRepaint)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
