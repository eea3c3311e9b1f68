#include "Lv2Effect.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <limits>

namespace {

std::uint32_t bitsOf(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// The effect counts frames in a signed 32-bit integer; longer runs go to it in parts.
constexpr std::uint32_t kLongestCall = std::numeric_limits<VstInt32>::max();

} // namespace

Lv2Effect::Lv2Effect(double sampleRate) : effect(nullptr) {
    effect.setSampleRate(static_cast<float>(sampleRate));
    for (VstInt32 index = 0; index < kNumParams; ++index) {
        defaults[index] = effect.getParameter(index);
        applied[index] = bitsOf(defaults[index]);
        controls[index] = &defaults[index];
    }
}

void Lv2Effect::connect(std::uint32_t port, void* data) {
    if (port < kFirstControl) {
        audio[port] = static_cast<float*>(data);
    } else if (port < kPortCount) {
        const std::uint32_t index = port - kFirstControl;
        controls[index] = data != nullptr ? static_cast<const float*>(data) : &defaults[index];
    }
}

void Lv2Effect::activate() {
    effect.resume();
}

void Lv2Effect::deactivate() {
    effect.suspend();
}

void Lv2Effect::applyControls() {
    for (VstInt32 index = 0; index < kNumParams; ++index) {
        const float value = *controls[index];
        if (bitsOf(value) != applied[index]) {
            applied[index] = bitsOf(value);
            effect.setParameter(index, value);
        }
    }
}

void Lv2Effect::silenceOutputs(std::uint32_t frames) {
    for (float* output : {audio[kOutputLeft], audio[kOutputRight]}) {
        if (output != nullptr) {
            std::fill(output, output + frames, 0.0f);
        }
    }
}

void Lv2Effect::run(std::uint32_t frames) {
    applyControls();
    if (std::find(std::begin(audio), std::end(audio), nullptr) != std::end(audio)) {
        silenceOutputs(frames);
        return;
    }
    for (std::uint32_t done = 0; done < frames;) {
        const std::uint32_t count = std::min(frames - done, kLongestCall);
        float* inputs[2] = {audio[kInputLeft] + done, audio[kInputRight] + done};
        float* outputs[2] = {audio[kOutputLeft] + done, audio[kOutputRight] + done};
        effect.processReplacing(inputs, outputs, static_cast<VstInt32>(count));
        done += count;
    }
}
