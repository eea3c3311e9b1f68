// The filter zones over a run of samples: each sample ticks all four filters twice and turns the heard
// lanes into the output. Coefficients stay as they are for the whole run.
#pragma once

#include "KnobGlide.h"
#include "QuadFilter.h"
#include "StereoCopy.h"

// Runs samples [begin, end) in a filter zone with the knob at rest; the crossfade zone mixes with `mix`.
void runFilterZone(KnobZone zone, QuadFilter& filters, const StereoIo& io, VstInt32 begin, VstInt32 end,
                   float mix);

// Where a run with a gliding knob stopped: at `stop`, either `end` or the first sample whose position
// left the run's zone. `last` is the position of the last sample run; `next` that of sample `stop`,
// already stepped, when the run stopped early.
struct GlideStop {
    VstInt32 stop;
    float last;
    float next;
};

// Runs samples from `begin` (whose position `first` is already stepped and in `zone`) up to `end` while
// the knob glides: one smoothing step per sample, the crossfade mix following it. Stepping inside the
// sample loop keeps the glide's own chain of dependent steps in step with the filters'.
GlideStop runGlidingZone(KnobZone zone, QuadFilter& filters, const StereoIo& io, VstInt32 begin, VstInt32 end,
                         float first, const KnobGlide& glide);

// The same for the dead zone: the input is copied sample by sample.
GlideStop copyGlidingDry(const StereoIo& io, VstInt32 begin, VstInt32 end, float first,
                         const KnobGlide& glide);
