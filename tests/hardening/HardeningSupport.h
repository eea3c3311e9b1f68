// Shared pieces of the hardening tests: a host's view of an instance (record, dispatcher, exactly
// sized stereo buffers) and the measurements that tell whether an instance still filters.
#pragma once

#include "PluginEntry.h"
#include "VstStructures.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace hardening {

inline VstIntPtr dispatch(AEffect* effect, VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                          void* ptr = nullptr, float opt = 0.0f) {
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

// Answers the version request and nothing else, like the simplest real host.
inline VstIntPtr VSTCALLBACK plainHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? kVstVersion : 0;
}

// Two channels of exactly `frames` samples each, so that the address sanitizer sees any access past
// the block the host handed over.
struct StereoBuffer {
    explicit StereoBuffer(int frames)
        : left(static_cast<std::size_t>(frames)), right(static_cast<std::size_t>(frames)) {}

    float** channels() {
        pointers[0] = left.data();
        pointers[1] = right.data();
        return pointers;
    }
    int frames() const { return static_cast<int>(left.size()); }

    std::vector<float> left;
    std::vector<float> right;
    float* pointers[2] = {nullptr, nullptr};
};

// A deterministic programme: a 110 Hz and a 6 kHz sine (different in each channel) plus a little
// noise, always within [-1, 1]. `frame` is the position of the first sample in the whole signal.
inline void fillSignal(StereoBuffer& buffer, std::int64_t frame, double sampleRate = 44100.0) {
    constexpr double kTwoPi = 6.283185307179586;
    std::uint32_t noise = static_cast<std::uint32_t>(frame) * 2654435761u + 12345u;
    for (int i = 0; i < buffer.frames(); ++i) {
        const double t = static_cast<double>(frame + i) / sampleRate;
        noise = noise * 1664525u + 1013904223u;
        const double grain = (static_cast<double>(noise >> 9) / 8388608.0 - 0.5) * 0.05;
        buffer.left[static_cast<std::size_t>(i)] = static_cast<float>(
            0.45 * std::sin(kTwoPi * 110.0 * t) + 0.4 * std::sin(kTwoPi * 6000.0 * t) + grain);
        buffer.right[static_cast<std::size_t>(i)] = static_cast<float>(
            0.4 * std::sin(kTwoPi * 150.0 * t) + 0.45 * std::sin(kTwoPi * 5000.0 * t) - grain);
    }
}

inline void fillTone(StereoBuffer& buffer, std::int64_t frame, double hz, double sampleRate = 44100.0) {
    constexpr double kTwoPi = 6.283185307179586;
    for (int i = 0; i < buffer.frames(); ++i) {
        const float sample =
            static_cast<float>(0.5 * std::sin(kTwoPi * hz * static_cast<double>(frame + i) / sampleRate));
        buffer.left[static_cast<std::size_t>(i)] = sample;
        buffer.right[static_cast<std::size_t>(i)] = sample;
    }
}

inline bool allFinite(const StereoBuffer& buffer) {
    for (int i = 0; i < buffer.frames(); ++i) {
        if (!std::isfinite(buffer.left[static_cast<std::size_t>(i)]) ||
            !std::isfinite(buffer.right[static_cast<std::size_t>(i)])) {
            return false;
        }
    }
    return true;
}

// Output of one instance, both channels one after the other, compared bit for bit.
using Recording = std::vector<std::uint32_t>;

inline void appendBits(Recording& recording, const StereoBuffer& output) {
    for (const std::vector<float>* channel : {&output.left, &output.right}) {
        for (float sample : *channel) {
            std::uint32_t bits;
            std::memcpy(&bits, &sample, sizeof bits);
            recording.push_back(bits);
        }
    }
}

// One step of a scripted run: parameter moves, then one block of the programme.
struct Step {
    int frames;
    float knob;  // NAN: leave alone
    float drive; // NAN: leave alone
    float reso;  // NAN: leave alone
};

// A run through every knob zone with drive and resonance moves, long enough for the glide to settle in
// each zone. Block sizes vary so that refreshes fall at different places in a block.
inline std::vector<Step> zoneTour() {
    const float keep = NAN;
    return {
        {512, 0.0f, keep, keep},  {1000, keep, keep, keep}, {4096, keep, 0.4f, keep},
        {4096, keep, keep, 0.9f}, {333, 0.44f, keep, keep}, {4096, keep, keep, keep},
        {4096, 0.5f, keep, keep}, {4096, keep, keep, keep}, {64, 0.6f, keep, keep},
        {4096, keep, keep, keep}, {4096, 1.0f, 1.0f, 1.0f}, {4096, keep, keep, keep},
        {777, 0.8f, 0.0f, 0.2f},  {4096, keep, keep, keep}, {1, 0.3f, keep, keep},
        {4095, keep, keep, keep},
    };
}

// Plays the steps on the instance and returns its output. Parameters go through the record.
inline Recording play(AEffect* effect, const std::vector<Step>& steps, std::int64_t& frame) {
    Recording recording;
    for (const Step& step : steps) {
        const float values[3] = {step.knob, step.drive, step.reso};
        for (VstInt32 index = 0; index < 3; ++index) {
            if (!std::isnan(values[index])) {
                effect->setParameter(effect, index, values[index]);
            }
        }
        StereoBuffer input(step.frames);
        StereoBuffer output(step.frames);
        fillSignal(input, frame);
        effect->processReplacing(effect, input.channels(), output.channels(), step.frames);
        appendBits(recording, output);
        frame += step.frames;
    }
    return recording;
}

inline Recording play(AEffect* effect, const std::vector<Step>& steps) {
    std::int64_t frame = 0;
    return play(effect, steps, frame);
}

// Gain of the instance for a sine of `hz` after letting the knob glide to `knob` and the filter settle:
// RMS out over RMS in across the last 4096 of 20480 frames, at the host's 44100 Hz.
inline double toneGain(AEffect* effect, float knob, double hz) {
    effect->setParameter(effect, 0, knob);
    constexpr int kBlock = 512;
    constexpr int kBlocks = 40;
    StereoBuffer input(kBlock);
    StereoBuffer output(kBlock);
    double in = 0.0;
    double out = 0.0;
    for (int block = 0; block < kBlocks; ++block) {
        fillTone(input, static_cast<std::int64_t>(block) * kBlock, hz);
        effect->processReplacing(effect, input.channels(), output.channels(), kBlock);
        if (block >= kBlocks - 8) {
            for (int i = 0; i < kBlock; ++i) {
                in += static_cast<double>(input.left[static_cast<std::size_t>(i)]) *
                      input.left[static_cast<std::size_t>(i)];
                out += static_cast<double>(output.left[static_cast<std::size_t>(i)]) *
                       output.left[static_cast<std::size_t>(i)];
            }
        }
    }
    return std::sqrt(out / in);
}

// The instance filters as it should: the knob at 0 (80 Hz low-pass) keeps 60 Hz and removes 5 kHz,
// the knob at 1 (5 kHz high-pass) does the opposite with 200 Hz.
struct FilterCheck {
    double lowPassKeeps;
    double lowPassRemoves;
    double highPassRemoves;
    bool filters() const { return lowPassKeeps > 0.5 && lowPassRemoves < 0.05 && highPassRemoves < 0.05; }
};

inline FilterCheck checkFilters(AEffect* effect) {
    FilterCheck check{};
    check.lowPassKeeps = toneGain(effect, 0.0f, 60.0);
    check.lowPassRemoves = toneGain(effect, 0.0f, 5000.0);
    check.highPassRemoves = toneGain(effect, 1.0f, 200.0);
    return check;
}

} // namespace hardening
