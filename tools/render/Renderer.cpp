#include "Renderer.h"

#include <algorithm>

namespace render {

int64_t renderAll(Rack& rack, const RenderJob& job, const FrameSource& source, const FrameSink& sink,
                  Progress& progress) {
    const size_t block = static_cast<size_t>(job.blockSize);
    const size_t sourceChannels = static_cast<size_t>(job.sourceChannels);
    std::vector<float> left(block);
    std::vector<float> right(block);
    std::vector<float> outLeft(block);
    std::vector<float> outRight(block);
    float* const in[2] = {left.data(), right.data()};
    float* const out[2] = {outLeft.data(), outRight.data()};
    std::vector<float> interleavedIn(block * sourceChannels);
    std::vector<float> interleavedOut(block * 2);

    int64_t position = 0;
    int64_t tailLeft = job.tailFrames;
    bool sourceEnded = false;
    while (true) {
        int64_t got = 0;
        if (!sourceEnded) {
            got = source(interleavedIn.data(), static_cast<int64_t>(block));
            sourceEnded = got <= 0;
        }
        if (sourceEnded) {
            got = std::min(tailLeft, static_cast<int64_t>(block));
            if (got <= 0) {
                break;
            }
            tailLeft -= got;
            std::fill(interleavedIn.begin(), interleavedIn.begin() + got * job.sourceChannels, 0.0f);
        }
        const size_t frames = static_cast<size_t>(got);
        for (size_t i = 0; i < frames; ++i) {
            left[i] = interleavedIn[i * sourceChannels];
            right[i] = interleavedIn[i * sourceChannels + sourceChannels - 1]; // mono feeds both
        }

        const double blockStart = static_cast<double>(position) / job.sampleRate;
        for (const auto& lane : job.lanes) {
            rack.setParameter(lane.index, lane.envelope.valueAt(blockStart));
        }
        rack.process(in, out, static_cast<VstInt32>(frames));

        for (size_t i = 0; i < frames; ++i) {
            interleavedOut[i * 2] = outLeft[i];
            interleavedOut[i * 2 + 1] = outRight[i];
        }
        sink(interleavedOut.data(), got);
        position += got;
        progress.update(position);
    }
    progress.finish();
    return position;
}

} // namespace render
