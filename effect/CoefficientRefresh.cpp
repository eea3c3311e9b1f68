#include "CoefficientRefresh.h"

#include "CorvelParameters.h"

#include <cstring>

namespace {

std::uint32_t bitsOf(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

FilterCoefficients coefficientsFor(float oversampling, float cutoff, float resonance, float sampleRate) {
    StateVariableFilter filter;
    filter.oversampling = oversampling;
    filter.setCoefficients(cutoff, resonance, sampleRate);
    return {filter.cutoffHz, filter.freqCoef, filter.damping};
}

// Both filters of a pair get the same arguments; they differ only if their oversampling does.
void pairCoefficients(PairMemo& memo, unsigned floatMode, const StateVariableFilter& left,
                      const StateVariableFilter& right, float cutoff, float resonance, float sampleRate,
                      FilterCoefficients& leftResult, FilterCoefficients& rightResult) {
    const std::uint32_t overLeft = bitsOf(left.oversampling);
    const std::uint32_t overRight = bitsOf(right.oversampling);
    const bool remembered = memo.valid && memo.floatMode == floatMode && memo.cutoff == bitsOf(cutoff) &&
                            memo.resonance == bitsOf(resonance) && memo.sampleRate == bitsOf(sampleRate) &&
                            memo.oversamplingLeft == overLeft && memo.oversamplingRight == overRight;
    if (!remembered) {
        memo.left = coefficientsFor(left.oversampling, cutoff, resonance, sampleRate);
        memo.right = overLeft == overRight
                         ? memo.left
                         : coefficientsFor(right.oversampling, cutoff, resonance, sampleRate);
        memo.valid = true;
        memo.floatMode = floatMode;
        memo.cutoff = bitsOf(cutoff);
        memo.resonance = bitsOf(resonance);
        memo.sampleRate = bitsOf(sampleRate);
        memo.oversamplingLeft = overLeft;
        memo.oversamplingRight = overRight;
    }
    leftResult = memo.left;
    rightResult = memo.right;
}

// map(), skipped when the mapper still holds the value for this very position.
float mapped(CExpMapper& mapper, MapperMemo& memo, unsigned floatMode, float position) {
    if (memo.valid && memo.floatMode == floatMode && memo.position == bitsOf(position) &&
        memo.value == bitsOf(mapper.getValue())) {
        return mapper.getValue();
    }
    const float value = map(mapper, position);
    memo.valid = true;
    memo.floatMode = floatMode;
    memo.position = bitsOf(position);
    memo.value = bitsOf(value);
    return value;
}

void apply(StateVariableFilter& filter, const FilterCoefficients& coefficients) {
    filter.cutoffHz = coefficients.cutoffHz;
    filter.freqCoef = coefficients.freqCoef;
    filter.damping = coefficients.damping;
}

} // namespace

RefreshResult computeRefresh(CorvelDsp& dsp, float s, float resonance, unsigned floatMode) {
    RefreshResult result;
    CoefficientMemo& memo = dsp.memo;
    const float rate = dsp.dspSampleRate;
    if (s < kDeadZoneLow) {
        // Fade the resonance out over the last 0.05 before the dry centre, so the switch is not a ping.
        float faded = resonance;
        if (kDeadZoneLow - s < 0.05f) {
            faded = (kDeadZoneLow - s) * 20.0f * resonance + 0.01f;
        }
        const float cutoff = mapped(dsp.lowPassMapper, memo.lowPassMapper, floatMode, s / 0.45f);
        pairCoefficients(memo.lowPass, floatMode, dsp.lowPassLeft, dsp.lowPassRight, cutoff, faded, rate,
                         result.lowPassLeft, result.lowPassRight);
        pairCoefficients(memo.highPass, floatMode, dsp.highPassLeft, dsp.highPassRight, kHighPassParkHz,
                         resonance, rate, result.highPassLeft, result.highPassRight);
    } else {
        const float cutoff = mapped(dsp.highPassMapper, memo.highPassMapper, floatMode, (s - 0.55f) / 0.45f);
        pairCoefficients(memo.lowPass, floatMode, dsp.lowPassLeft, dsp.lowPassRight, kLowPassParkHz,
                         resonance, rate, result.lowPassLeft, result.lowPassRight);
        pairCoefficients(memo.highPass, floatMode, dsp.highPassLeft, dsp.highPassRight, cutoff, resonance,
                         rate, result.highPassLeft, result.highPassRight);
    }
    return result;
}

void applyRefresh(CorvelDsp& dsp, const RefreshResult& result) {
    apply(dsp.lowPassLeft, result.lowPassLeft);
    apply(dsp.lowPassRight, result.lowPassRight);
    apply(dsp.highPassLeft, result.highPassLeft);
    apply(dsp.highPassRight, result.highPassRight);
}
