// The effect's side of the audio path: sample rate, the settling passes at construction, and the block
// call with the parameter values it runs with (see CorvelBlock.cpp).
#include "Corvel.h"

#include <cmath>

namespace {

constexpr float kResetHz = 5550.0f;
constexpr int kResetPasses = 32;
constexpr float kFallbackSampleRate = 44100.0f;

} // namespace

float Corvel::usableSampleRate() {
    const float rate = getSampleRate();
    return (std::isfinite(rate) && rate > 0.0f) ? rate : kFallbackSampleRate;
}

void Corvel::suspend() {
    dspSampleRate = usableSampleRate();
}

void Corvel::resume() {
    dspSampleRate = usableSampleRate();
}

void Corvel::resetFilters() {
    const float r = resonance.load(std::memory_order_relaxed);
    lowPassLeft.setCoefficients(kResetHz, r, dspSampleRate);
    lowPassRight.setCoefficients(kResetHz, r, dspSampleRate);
    highPassLeft.setCoefficients(kResetHz, r, dspSampleRate);
    highPassRight.setCoefficients(kResetHz, r, dspSampleRate);
    for (int pass = 0; pass < kResetPasses; ++pass) {
        lowPassLeft.tick(0.0f);
        lowPassRight.tick(0.0f);
        highPassLeft.tick(0.0f);
        highPassRight.tick(0.0f);
    }
}

void Corvel::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
    if (sampleFrames <= 0) {
        return;
    }
    // Read once per block: a knob or resonance set from another thread during a block counts from the
    // next block, as with a host that automates between blocks.
    const CorvelControls controls{knobTarget.load(std::memory_order_relaxed),
                                  resonance.load(std::memory_order_relaxed)};
    processCorvelBlock(*this, controls, inputs, outputs, sampleFrames);
}
