#include "StateVariableFilter.h"

#include <cmath>
#include <math.h>

void StateVariableFilter::setCoefficients(float cutoff, float resonance, float sampleRate) {
    cutoffHz = cutoff > 17154.0f ? 17154.0f : cutoff;
    if (cutoffHz <= 20.0f) {
        cutoffHz = 20.0f;
    }

    float x = cutoffHz / (sampleRate * oversampling);
    if (x > 0.25f) {
        x = 0.25f;
    }
    const float w = x * kPi;

    // Truncated sine series instead of a sinf call: 2 sin(w) is close enough below w = pi/4.
    const float q = w * w;
    float t = q * 0.00761f - 0.16605f;
    t = t * q + 1.0f;
    freqCoef = t * w * 2.0f;

    // Above this damping the Chamberlin loop goes unstable at high cut-offs.
    float limit = 2.0f / freqCoef - freqCoef * 0.5f;
    if (limit > 2.0f) {
        limit = 2.0f;
    }
    const float dampingFromResonance = 2.0f * (1.0f - powf(resonance, 0.25f));
    damping = limit > dampingFromResonance ? dampingFromResonance : limit;
    // An infinite resonance from a host would store an infinite damping that outlives the value until
    // the next refresh, turning every tick into NaN; fall back to the stable bound instead.
    if (!std::isfinite(damping)) {
        damping = limit;
    }
}
