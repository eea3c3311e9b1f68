#include "Rack.h"

#include <algorithm>

namespace render {

Rack::Rack(std::unique_ptr<Plugin> first) {
    const bool mono = isMonoEffect(first->effect());
    const std::string path = first->path();
    HostContext& host = first->host();
    instances_.push_back(std::move(first));
    if (mono) {
        instances_.push_back(Plugin::load(path, host));
    }
}

void Rack::setParameter(VstInt32 index, float value) {
    for (auto& instance : instances_) {
        AEffect& effect = instance->effect();
        effect.setParameter(&effect, index, value);
    }
}

void Rack::start(double sampleRate, VstInt32 blockSize) {
    const size_t block = static_cast<size_t>(blockSize);
    const AEffect& effect = lead().effect();
    // At least two inputs, so that a plug-in with fewer still finds stereo data where it looks.
    inputs_.assign(static_cast<size_t>(std::max(effect.numInputs, 2)), std::vector<float>(block));
    outputs_.assign(static_cast<size_t>(effect.numOutputs), std::vector<float>(block));
    inputPointers_.clear();
    outputPointers_.clear();
    for (auto& channel : inputs_) {
        inputPointers_.push_back(channel.data());
    }
    for (auto& channel : outputs_) {
        outputPointers_.push_back(channel.data());
    }
    for (auto& instance : instances_) {
        instance->start(sampleRate, blockSize);
    }
}

void Rack::stop() {
    for (auto& instance : instances_) {
        instance->stop();
    }
}

void Rack::process(float* const in[2], float* const out[2], VstInt32 frames) {
    const auto count = static_cast<std::ptrdiff_t>(frames);
    if (instances_.size() == 2) {
        for (size_t channel = 0; channel < 2; ++channel) {
            AEffect& effect = instances_[channel]->effect();
            float* input[1] = {in[channel]};
            float* output[1] = {out[channel]};
            // Replacing means the plug-in writes every sample; clearing keeps a faulty one deterministic.
            std::fill(out[channel], out[channel] + count, 0.0f);
            effect.processReplacing(&effect, input, output, frames);
        }
        return;
    }
    AEffect& effect = lead().effect();
    if (effect.numInputs == 1) {
        for (std::ptrdiff_t i = 0; i < count; ++i) {
            inputs_[0][static_cast<size_t>(i)] = 0.5f * (in[0][i] + in[1][i]);
        }
        std::fill(inputs_[1].begin(), inputs_[1].begin() + count, 0.0f);
    } else {
        std::copy(in[0], in[0] + count, inputs_[0].begin());
        std::copy(in[1], in[1] + count, inputs_[1].begin());
    }
    for (size_t c = 2; c < inputs_.size(); ++c) {
        std::fill(inputs_[c].begin(), inputs_[c].begin() + count, 0.0f);
    }
    for (auto& channel : outputs_) {
        std::fill(channel.begin(), channel.begin() + count, 0.0f);
    }
    effect.processReplacing(&effect, inputPointers_.data(), outputPointers_.data(), frames);
    std::copy(outputs_[0].begin(), outputs_[0].begin() + count, out[0]);
    std::copy(outputs_[1].begin(), outputs_[1].begin() + count, out[1]);
}

const char* describeLayout(const AEffect& effect) {
    if (isMonoEffect(effect)) {
        return "two instances, one per channel (a mono plug-in)";
    }
    if (effect.numInputs == 1) {
        return "one instance; its input gets the mix of both channels";
    }
    return "one instance for both channels";
}

} // namespace render
