// The processing loop: audio in, through the plug-in block by block, stereo audio out.
#pragma once

#include "Automation.h"
#include "Progress.h"
#include "Rack.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace render {

struct AutomationLane {
    VstInt32 index;
    Envelope envelope;
};

// Fills up to `frames` interleaved frames of `channels` (1 or 2) channels; returns how many, 0 at the end.
using FrameSource = std::function<int64_t(float* interleaved, int64_t frames)>;
// Takes `frames` interleaved stereo frames.
using FrameSink = std::function<void(const float* interleaved, int64_t frames)>;

struct RenderJob {
    int sourceChannels = 2;
    double sampleRate = 44100.0;
    VstInt32 blockSize = 512;
    int64_t tailFrames = 0; // silence processed after the source ends, so that the plug-in rings out
    std::vector<AutomationLane> lanes;
};

// Runs a started rack over the whole source, then over the tail. Before every block each lane's value
// at the block's start time goes to every instance. Returns the number of frames rendered.
int64_t renderAll(Rack& rack, const RenderJob& job, const FrameSource& source, const FrameSink& sink,
                  Progress& progress);

} // namespace render
