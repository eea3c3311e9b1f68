// The audio path: knob glide, coefficient refresh every 25 samples, and the three knob zones, each
// filter run twice per sample (2x oversampling).
#include "Corvel.h"

#include <cmath>

namespace {

constexpr float kSmoothingStep = 0.0005f;
constexpr float kSmoothingKeep = 0.9995f;
constexpr VstInt32 kRefreshInterval = 25;
constexpr float kLowPassParkHz = 20000.0f;
constexpr float kHighPassParkHz = 20.0f;
constexpr float kResetHz = 5550.0f;
constexpr int kResetPasses = 32;
constexpr float kFallbackSampleRate = 44100.0f;

// Two ticks with the same input: the element runs at twice the sample rate.
struct TickPair {
    float first;
    float second;
};

inline TickPair tickLow(StateVariableFilter& filter, float input) {
    filter.tick(input);
    const float first = filter.low;
    filter.tick(input);
    return {first, filter.low};
}

inline TickPair tickHigh(StateVariableFilter& filter, float input) {
    filter.tick(input);
    const float first = filter.high;
    filter.tick(input);
    return {first, filter.high};
}

inline void tickTwice(StateVariableFilter& filter, float input) {
    filter.tick(input);
    filter.tick(input);
}

inline float mean(TickPair pair) {
    return 0.5f * pair.first + 0.5f * pair.second;
}

// One non-finite input would otherwise poison the state for good; start the filter afresh instead.
inline void recoverFromNonFinite(StateVariableFilter& filter) {
    if (!std::isfinite(filter.low) || !std::isfinite(filter.band)) {
        filter.low = 0.0f;
        filter.band = 0.0f;
        filter.high = 0.0f;
        filter.notch = 0.0f;
    }
}

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

void Corvel::refreshCoefficients(float s) {
    const float reso = resonance.load(std::memory_order_relaxed);
    if (s < kDeadZoneLow) {
        // Fade the resonance out over the last 0.05 before the dry centre, so the switch is not a ping.
        float r = reso;
        if (kDeadZoneLow - s < 0.05f) {
            r = (kDeadZoneLow - s) * 20.0f * reso + 0.01f;
        }
        const float f = map(*lowPassMapper, s / 0.45f);
        lowPassLeft.setCoefficients(f, r, dspSampleRate);
        lowPassRight.setCoefficients(f, r, dspSampleRate);
        highPassLeft.setCoefficients(kHighPassParkHz, reso, dspSampleRate);
        highPassRight.setCoefficients(kHighPassParkHz, reso, dspSampleRate);
    } else if (s > kDeadZoneHigh) {
        const float f = map(*highPassMapper, (s - 0.55f) / 0.45f);
        lowPassLeft.setCoefficients(kLowPassParkHz, reso, dspSampleRate);
        lowPassRight.setCoefficients(kLowPassParkHz, reso, dspSampleRate);
        highPassLeft.setCoefficients(f, reso, dspSampleRate);
        highPassRight.setCoefficients(f, reso, dspSampleRate);
    }
}

void Corvel::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
    if (sampleFrames <= 0) {
        return;
    }
    const float* inLeft = inputs[0];
    const float* inRight = inputs[1];
    float* outLeft = outputs[0];
    float* outRight = outputs[1];

    for (VstInt32 i = 0; i < sampleFrames; ++i) {
        const float target = knobTarget.load(std::memory_order_relaxed);
        if (!(knobSmoothed == target)) {
            knobSmoothed = target * kSmoothingStep + knobSmoothed * kSmoothingKeep;
            // A non-finite target must not leave the glide stuck on NaN or infinity for good.
            if (!std::isfinite(knobSmoothed)) {
                knobSmoothed = target;
            }
        }

        if (++refreshCounter > kRefreshInterval - 1) {
            refreshCounter = 0;
            refreshCoefficients(knobSmoothed);
        }

        const float inL = inLeft[i];
        const float inR = inRight[i];
        const float s = knobSmoothed;
        float outL = inL;
        float outR = inR;

        if (s < kDeadZoneLow) {
            const TickPair left = tickLow(lowPassLeft, inL);
            const TickPair right = tickLow(lowPassRight, inR);
            tickTwice(highPassLeft, inL);
            tickTwice(highPassRight, inR);
            outL = mean(left);
            outR = mean(right);
        } else if (s > kDeadZoneHigh) {
            tickTwice(lowPassLeft, inL);
            tickTwice(lowPassRight, inR);
            const float hL = mean(tickHigh(highPassLeft, inL));
            const float hR = mean(tickHigh(highPassRight, inR));
            const float d = s - 0.55f;
            if (d < 0.1f) {
                // Crossfade from dry over the first 0.1 of the high-pass side.
                const float m = 10.0f * d;
                outL = (1.0f - m) * inL + m * hL;
                outR = (1.0f - m) * inR + m * hR;
            } else {
                outL = hL;
                outR = hR;
            }
        }

        if (s < kDeadZoneLow || s > kDeadZoneHigh) {
            recoverFromNonFinite(lowPassLeft);
            recoverFromNonFinite(lowPassRight);
            recoverFromNonFinite(highPassLeft);
            recoverFromNonFinite(highPassRight);
        }

        outLeft[i] = outL;
        outRight[i] = outR;
    }
}
