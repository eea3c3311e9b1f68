#include "Renderer.h"

#include <algorithm>

namespace render {

int64_t renderAll(Plugin& plugin, const RenderJob& job, const FrameSource& source, const FrameSink& sink,
                  Progress& progress) {
    AEffect& effect = plugin.effect();
    const size_t block = static_cast<size_t>(job.blockSize);
    const int sourceChannels = job.sourceChannels;
    // At least two of each so that a plug-in with fewer inputs still finds stereo data where it looks.
    const size_t inputCount = static_cast<size_t>(std::max(effect.numInputs, 2));
    const size_t outputCount = static_cast<size_t>(effect.numOutputs);

    std::vector<std::vector<float>> inputs(inputCount, std::vector<float>(block));
    std::vector<std::vector<float>> outputs(outputCount, std::vector<float>(block));
    std::vector<float*> inputPointers;
    std::vector<float*> outputPointers;
    for (auto& channel : inputs)
        inputPointers.push_back(channel.data());
    for (auto& channel : outputs)
        outputPointers.push_back(channel.data());
    std::vector<float> interleavedIn(block * static_cast<size_t>(sourceChannels));
    std::vector<float> interleavedOut(block * 2);

    int64_t position = 0;
    while (true) {
        const int64_t got = source(interleavedIn.data(), static_cast<int64_t>(block));
        if (got <= 0)
            break;
        const size_t frames = static_cast<size_t>(got);

        for (size_t i = 0; i < frames; ++i) {
            const float left = interleavedIn[i * static_cast<size_t>(sourceChannels)];
            const float right = sourceChannels == 2 ? interleavedIn[i * 2 + 1] : left;
            if (effect.numInputs == 1) {
                inputs[0][i] = 0.5f * (left + right);
                inputs[1][i] = 0.0f;
            } else {
                inputs[0][i] = left;
                inputs[1][i] = right;
            }
        }
        for (size_t c = 2; c < inputCount; ++c)
            std::fill(inputs[c].begin(), inputs[c].begin() + static_cast<std::ptrdiff_t>(frames), 0.0f);
        // Replacing means the plug-in writes every sample; clearing keeps a faulty one deterministic.
        for (auto& channel : outputs)
            std::fill(channel.begin(), channel.begin() + static_cast<std::ptrdiff_t>(frames), 0.0f);

        const double blockStart = static_cast<double>(position) / job.sampleRate;
        for (const auto& lane : job.lanes)
            effect.setParameter(&effect, lane.index, lane.envelope.valueAt(blockStart));

        effect.processReplacing(&effect, inputPointers.data(), outputPointers.data(),
                                static_cast<VstInt32>(frames));

        for (size_t i = 0; i < frames; ++i) {
            interleavedOut[i * 2] = outputs[0][i];
            interleavedOut[i * 2 + 1] = outputs[1][i];
        }
        sink(interleavedOut.data(), got);
        position += got;
        progress.update(position);
    }
    progress.finish();
    return position;
}

} // namespace render
