// Two-pole state-variable filter (Chamberlin form) with cubic band drive, bounded damping, band clip
// and a subnormal guard. Knows nothing of hosts or windows. [audio thread] for every member but drive,
// which another thread may write whole between ticks.
#pragma once

#include "RelaxedFloat.h"

struct StateVariableFilter {
    // One unit in the last place below the float nearest to pi (bits 0x40490FDA). Changing it changes
    // every coefficient and with it the reference output, so it stays as it is.
    static constexpr float kPi = 3.1415925f;

    float low = 0.0f;
    float band = 0.0f;
    float high = 0.0f;
    float notch = 0.0f;
    float freqCoef = 4422.0f; // placeholder until the first setCoefficients
    float cutoffHz = 50.0f;
    RelaxedFloat drive = 0.01f; // written by the parameter thread, read once per tick
    float damping = 0.01f;
    float oversampling = 2.0f;

    // Leaves the state alone, so coefficients may change while the signal runs on.
    void setCoefficients(float cutoff, float resonance, float sampleRate);
    // One tick; the caller reads low or high afterwards.
    void tick(float input);
};

// Defined here so the owner's per-sample loop can inline it. The operation order is fixed: the output
// must stay identical bit for bit across builds.
inline void StateVariableFilter::tick(float input) {
    notch = input - damping * band;
    low = low + freqCoef * band;
    high = notch - low;
    const float v = high * freqCoef + band - band * drive.load() * band * band;
    // Adding and removing 1e-18 in double flushes anything tiny to a fixed normal value (the float
    // rounding error of 1e-18), so the band state never decays into subnormals; larger values pass
    // through exactly.
    band =
        static_cast<float>(static_cast<double>(static_cast<float>(static_cast<double>(v) + 1e-18)) - 1e-18);
    if (band > 1.0f) {
        band = 1.0f;
    }
    if (band < -1.0f) {
        band = -1.0f;
    }
}
