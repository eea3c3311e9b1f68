#include "CorvelDisplay.h"

#include "CExpMapper.h"
#include "CorvelDsp.h"
#include "CorvelParameters.h"
#include "VstAbi.h"

#include <cstdio>

namespace {

// Truncates towards zero like a C cast, but keeps NaN and out-of-range values (which a cast would
// leave undefined) to numbers whose text still fits the host's 8-byte buffer.
int truncateForDisplay(float x) {
    if (!(x == x)) {
        return 0;
    }
    if (x > 9999999.0f) {
        return 9999999;
    }
    if (x < -999999.0f) {
        return -999999;
    }
    return static_cast<int>(x);
}

void formatInteger(int n, char* text) {
    std::snprintf(text, kVstMaxParamStrLen, "%2i", n);
}

} // namespace

float knobCutoffHz(float knob) {
    if (knob < kDeadZoneLow) {
        CExpMapper mapper(kLowPassMinHz, kLowPassMaxHz, kMapperInitialPosition);
        return map(mapper, knob / 0.45f);
    }
    if (knob > kDeadZoneHigh) {
        CExpMapper mapper(kHighPassMinHz, kHighPassMaxHz, kMapperInitialPosition);
        return map(mapper, (knob - 0.55f) / 0.45f);
    }
    return 0.0f;
}

namespace {

void formatCutoff(float knob, float rounding, char* text) {
    if (knob < kDeadZoneLow || knob > kDeadZoneHigh) {
        formatInteger(truncateForDisplay(knobCutoffHz(knob) + rounding), text);
    } else {
        std::snprintf(text, kVstMaxParamStrLen, "---");
    }
}

} // namespace

void formatKnobDisplay(float knob, char* text) {
    formatCutoff(knob, 0.0f, text);
}

void formatKnobReadout(float knob, char* text) {
    formatCutoff(knob, 0.5f, text);
}

void formatPercentDisplay(float value, char* text) {
    formatInteger(truncateForDisplay(value * 100.0f + 0.5f), text);
}
