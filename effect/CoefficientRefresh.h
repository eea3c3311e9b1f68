// The coefficient refresh of every 25th sample in a filter zone, in two steps: computing the four
// filters' coefficients for a knob position, and putting them in place. A gliding knob's next refresh
// can so be computed while the filters still run on the current one.
#pragma once

#include "CorvelDsp.h"
#include "FloatMode.h"

struct RefreshResult {
    FilterCoefficients lowPassLeft;
    FilterCoefficients lowPassRight;
    FilterCoefficients highPassLeft;
    FilterCoefficients highPassRight;
};

// Coefficients for knob position s on either filter side (s < 0.45 or s > 0.55). Moves that side's
// mapper as the refresh does. `floatMode` is the processor's rounding and flush mode, which the
// remembered results must have been computed under.
RefreshResult computeRefresh(CorvelDsp& dsp, float s, float resonance, unsigned floatMode);

void applyRefresh(CorvelDsp& dsp, const RefreshResult& result);
