#include "CorvelReference.h"

#include "CorvelParameters.h"

#include <cmath>

namespace {

// Two ticks with the same input: the element runs at twice the sample rate.
struct TickPair {
    float first;
    float second;
};

TickPair tickLow(StateVariableFilter& filter, float input) {
    filter.tick(input);
    const float first = filter.low;
    filter.tick(input);
    return {first, filter.low};
}

TickPair tickHigh(StateVariableFilter& filter, float input) {
    filter.tick(input);
    const float first = filter.high;
    filter.tick(input);
    return {first, filter.high};
}

void tickTwice(StateVariableFilter& filter, float input) {
    filter.tick(input);
    filter.tick(input);
}

float mean(TickPair pair) {
    return 0.5f * pair.first + 0.5f * pair.second;
}

void recoverFromNonFinite(StateVariableFilter& filter) {
    if (!std::isfinite(filter.low) || !std::isfinite(filter.band)) {
        filter.low = 0.0f;
        filter.band = 0.0f;
        filter.high = 0.0f;
        filter.notch = 0.0f;
    }
}

void refreshCoefficients(CorvelDsp& dsp, float s, float reso) {
    if (s < kDeadZoneLow) {
        float r = reso;
        if (kDeadZoneLow - s < 0.05f) {
            r = (kDeadZoneLow - s) * 20.0f * reso + 0.01f;
        }
        const float f = map(dsp.lowPassMapper, s / 0.45f);
        dsp.lowPassLeft.setCoefficients(f, r, dsp.dspSampleRate);
        dsp.lowPassRight.setCoefficients(f, r, dsp.dspSampleRate);
        dsp.highPassLeft.setCoefficients(kHighPassParkHz, reso, dsp.dspSampleRate);
        dsp.highPassRight.setCoefficients(kHighPassParkHz, reso, dsp.dspSampleRate);
    } else if (s > kDeadZoneHigh) {
        const float f = map(dsp.highPassMapper, (s - 0.55f) / 0.45f);
        dsp.lowPassLeft.setCoefficients(kLowPassParkHz, reso, dsp.dspSampleRate);
        dsp.lowPassRight.setCoefficients(kLowPassParkHz, reso, dsp.dspSampleRate);
        dsp.highPassLeft.setCoefficients(f, reso, dsp.dspSampleRate);
        dsp.highPassRight.setCoefficients(f, reso, dsp.dspSampleRate);
    }
}

} // namespace

void processCorvelReference(CorvelDsp& dsp, const CorvelControls& controls, float* const* inputs,
                            float* const* outputs, VstInt32 sampleFrames) {
    if (sampleFrames <= 0) {
        return;
    }
    const float* inLeft = inputs[0];
    const float* inRight = inputs[1];
    float* outLeft = outputs[0];
    float* outRight = outputs[1];

    for (VstInt32 i = 0; i < sampleFrames; ++i) {
        const float target = controls.knobTarget;
        if (!(dsp.knobSmoothed == target)) {
            dsp.knobSmoothed = target * kSmoothingStep + dsp.knobSmoothed * kSmoothingKeep;
            if (!std::isfinite(dsp.knobSmoothed)) {
                dsp.knobSmoothed = target;
            }
        }

        if (++dsp.refreshCounter > kRefreshInterval - 1) {
            dsp.refreshCounter = 0;
            refreshCoefficients(dsp, dsp.knobSmoothed, controls.resonance);
        }

        const float inL = inLeft[i];
        const float inR = inRight[i];
        const float s = dsp.knobSmoothed;
        float outL = inL;
        float outR = inR;

        if (s < kDeadZoneLow) {
            const TickPair left = tickLow(dsp.lowPassLeft, inL);
            const TickPair right = tickLow(dsp.lowPassRight, inR);
            tickTwice(dsp.highPassLeft, inL);
            tickTwice(dsp.highPassRight, inR);
            outL = mean(left);
            outR = mean(right);
        } else if (s > kDeadZoneHigh) {
            tickTwice(dsp.lowPassLeft, inL);
            tickTwice(dsp.lowPassRight, inR);
            const float hL = mean(tickHigh(dsp.highPassLeft, inL));
            const float hR = mean(tickHigh(dsp.highPassRight, inR));
            const float d = s - 0.55f;
            if (d < 0.1f) {
                const float m = 10.0f * d;
                outL = (1.0f - m) * inL + m * hL;
                outR = (1.0f - m) * inR + m * hR;
            } else {
                outL = hL;
                outR = hR;
            }
        }

        if (s < kDeadZoneLow || s > kDeadZoneHigh) {
            recoverFromNonFinite(dsp.lowPassLeft);
            recoverFromNonFinite(dsp.lowPassRight);
            recoverFromNonFinite(dsp.highPassLeft);
            recoverFromNonFinite(dsp.highPassRight);
        }

        outLeft[i] = outL;
        outRight[i] = outR;
    }
}
