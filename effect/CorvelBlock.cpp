// One block of the audio path, grouped into runs in which the zone and the coefficients stay the same.
// While the knob glides, runs end at every 25th sample, where the coefficients are refreshed, or where
// the knob changes zone; once one smoothing step leaves the knob exactly where it is, the rest of the
// block is one zone with at most one refresh that matters, since every later one would compute the same
// coefficients again.
#include "CoefficientRefresh.h"
#include "CorvelDsp.h"
#include "FilterRuns.h"
#include "KnobGlide.h"
#include "StereoCopy.h"

#include <algorithm>
#include <cstdint>

namespace {

// The counter counts up before each sample; the sample that takes it past kRefreshInterval - 1
// refreshes and restarts it at 0. Samples before the next refresh, given the counter now:
std::int64_t samplesBeforeRefresh(VstInt32 counter) {
    const std::int64_t last = kRefreshInterval - 1;
    return counter >= last ? 0 : last - counter;
}

// The counter after `count` (> 0) more samples.
VstInt32 counterAfter(VstInt32 counter, std::int64_t count) {
    const std::int64_t before = samplesBeforeRefresh(counter);
    if (count <= before) {
        return static_cast<VstInt32>(counter + count);
    }
    return static_cast<VstInt32>((count - before - 1) % kRefreshInterval);
}

class BlockWalker {
  public:
    BlockWalker(CorvelDsp& dsp, const CorvelControls& controls, const StereoIo& io, VstInt32 frames)
        : dsp(dsp), io(io), glide(controls.knobTarget), resonance(controls.resonance), frames(frames),
          floatMode(currentFloatMode()) {}

    void process() {
        VstInt32 i = 0;
        float s = dsp.knobSmoothed; // after the last sample run
        VstInt32 counter = dsp.refreshCounter;
        // While the knob glides: runs up to the next refresh, each stopping early where the knob leaves
        // its zone. A run that stops early has already stepped the knob for the sample it stopped at.
        bool stepped = false;
        float position = s;
        while (i < frames) {
            if (!stepped) {
                if (glide.holds(s)) {
                    break;
                }
                position = glide.step(s);
            }
            const std::int64_t before = samplesBeforeRefresh(counter);
            if (before == 0) {
                refresh(position);
            }
            const VstInt32 end = i + static_cast<VstInt32>(std::min<std::int64_t>(
                                         before == 0 ? kRefreshInterval : before, frames - i));
            const KnobZone zone = zoneOf(position);
            const GlideStop stop = zone == KnobZone::Dry
                                       ? copyGlidingDry(io, i, end, position, glide)
                                       : runGlidingZone(zone, filters(), io, i, end, position, glide);
            counter = counterAfter(counter, stop.stop - i);
            s = stop.last;
            stepped = stop.stop < end;
            position = stop.next;
            i = stop.stop;
        }
        dsp.knobSmoothed = s;
        dsp.refreshCounter = counter;
        if (i < frames) {
            settledRuns(i, s);
        }
        if (loaded) {
            quad.store(dsp.lowPassLeft, dsp.lowPassRight, dsp.highPassLeft, dsp.highPassRight);
        }
    }

  private:
    QuadFilter& filters() {
        if (!loaded) {
            // The guard may be skipped only under round-to-nearest.
            quad.load(dsp.lowPassLeft, dsp.lowPassRight, dsp.highPassLeft, dsp.highPassRight,
                      roundsToNearest(floatMode));
            loaded = true;
        }
        return quad;
    }

    void refresh(float s) {
        if (zoneOf(s) == KnobZone::Dry) {
            return;
        }
        applyRefresh(dsp, computeRefresh(dsp, s, resonance, floatMode));
        if (loaded) {
            quad.loadCoefficients(dsp.lowPassLeft, dsp.lowPassRight, dsp.highPassLeft, dsp.highPassRight);
        }
    }

    void settledRun(KnobZone zone, VstInt32 begin, VstInt32 end, float mix) {
        if (zone == KnobZone::Dry) {
            copyDry(io, begin, end);
        } else {
            runFilterZone(zone, filters(), io, begin, end, mix);
        }
    }

    // The rest of the block from `from` with the knob at rest at s; dsp.refreshCounter holds the counter
    // before `from`. Of the refreshes in it only the first can change anything: the others compute the
    // same coefficients from the same knob, resonance and rate.
    void settledRuns(VstInt32 from, float s) {
        const KnobZone zone = zoneOf(s);
        const std::int64_t remaining = frames - from;
        const std::int64_t before = samplesBeforeRefresh(dsp.refreshCounter);
        dsp.refreshCounter = counterAfter(dsp.refreshCounter, remaining);
        const float mix = zone == KnobZone::HighPassFade ? fadeMix(s) : 0.0f;
        if (zone != KnobZone::Dry && before < remaining) {
            const VstInt32 at = from + static_cast<VstInt32>(before);
            settledRun(zone, from, at, mix);
            refresh(s);
            settledRun(zone, at, frames, mix);
        } else {
            settledRun(zone, from, frames, mix);
        }
    }

    CorvelDsp& dsp;
    const StereoIo io;
    const KnobGlide glide;
    const float resonance;
    const VstInt32 frames;
    const unsigned floatMode;
    QuadFilter quad;
    bool loaded = false;
};

} // namespace

void processCorvelBlock(CorvelDsp& dsp, const CorvelControls& controls, float* const* inputs,
                        float* const* outputs, VstInt32 sampleFrames) {
    if (sampleFrames <= 0) {
        return;
    }
    const StereoIo io{inputs[0], inputs[1], outputs[0], outputs[1]};
    BlockWalker(dsp, controls, io, sampleFrames).process();
}
