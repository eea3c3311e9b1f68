// Two-pole state-variable filter (Chamberlin form) with cubic band drive, bounded damping, band clip
// and a subnormal guard. Knows nothing of hosts or windows. [audio thread] for every member but drive,
// which another thread may write whole between ticks.
#pragma once

struct StateVariableFilter {
    float low = 0.0f;
    float band = 0.0f;
    float high = 0.0f;
    float notch = 0.0f;
    float freqCoef = 4422.0f; // placeholder until the first setCoefficients
    float cutoffHz = 50.0f;
    float drive = 0.01f;
    float damping = 0.01f;
    float oversampling = 2.0f;

    // Leaves the state alone, so coefficients may change while the signal runs on.
    void setCoefficients(float cutoff, float resonance, float sampleRate);
    // One tick; the caller reads low or high afterwards.
    void tick(float input);
};
