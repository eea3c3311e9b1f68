// The knob's glide towards its target, and the zone that a smoothed position selects.
#pragma once

#include "BranchHints.h"
#include "CorvelDsp.h"
#include "CorvelParameters.h"

#include <cmath>
#include <cstring>

enum class KnobZone { LowPass, Dry, HighPassFade, HighPass };

inline KnobZone zoneOf(float s) {
    if (s < kDeadZoneLow) {
        return KnobZone::LowPass;
    }
    if (s > kDeadZoneHigh) {
        // Crossfade from dry over the first 0.1 of the high-pass side.
        return s - 0.55f < 0.1f ? KnobZone::HighPassFade : KnobZone::HighPass;
    }
    return KnobZone::Dry;
}

// Weight of the high-pass signal in the crossfade zone; the dry signal gets 1 minus it.
inline float fadeMix(float s) {
    return 10.0f * (s - 0.55f);
}

class KnobGlide {
  public:
    explicit KnobGlide(float target) : target(target), targetShare(target * kSmoothingStep) {}

    // One sample's smoothing step.
    float step(float s) const {
        if (!(s == target)) {
            s = targetShare + s * kSmoothingKeep;
            // A non-finite target must not leave the glide stuck on NaN or infinity for good. A branch
            // rather than a select: it is hardly ever taken, and a select would lengthen the chain from
            // one step to the next.
            if (VELMORA_UNLIKELY(!std::isfinite(s))) {
                s = target;
            }
        }
        return s;
    }

    // True when a step leaves s exactly as it is, so that every later step does too. The glide stalls
    // some hundreds of units in the last place short of its target, so equality with the target alone
    // would hardly ever say so.
    bool holds(float s) const {
        const float next = step(s);
        return std::memcmp(&next, &s, sizeof s) == 0;
    }

  private:
    float target;
    float targetShare;
};
