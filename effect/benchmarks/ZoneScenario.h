// The measured situations, shared by the benchmark and the instruction counter: one instance per zone,
// drive 0.5, resonance 0.5, 44.1 kHz, blocks of 512 noise samples, run by the shipped processing or by
// the straightforward form on a copy of the same state.
#pragma once

#include "Corvel.h"
#include "CorvelReference.h"

#include <cstdint>
#include <cstring>
#include <vector>

constexpr int kBlock = 512;

enum class Form { Shipped, Reference };

struct ZoneSpec {
    const char* name;
    float knob;
    // Moves the knob back and forth across the low-pass side every block, so that it never settles.
    bool glide;
    // Silence instead of noise: the band state decays into the guard's range, so every sample takes
    // the exact form.
    bool silent;
};

const ZoneSpec kZones[] = {
    {"Dry", 0.5f, false, false},          {"LowPassSteady", 0.2f, false, false},
    {"HighPassPure", 0.8f, false, false}, {"HighPassCrossfade", 0.6f, false, false},
    {"GlidingKnob", 0.2f, true, false},   {"LowPassSilence", 0.2f, false, true},
};

inline const ZoneSpec* findZone(const char* name) {
    for (const ZoneSpec& zone : kZones) {
        if (std::strcmp(zone.name, name) == 0) {
            return &zone;
        }
    }
    return nullptr;
}

class ZoneRun {
  public:
    ZoneRun(const ZoneSpec& zone, Form form)
        : zone(zone), form(form), inLeft(zone.silent ? std::vector<float>(kBlock) : noiseBlock(1)),
          inRight(zone.silent ? std::vector<float>(kBlock) : noiseBlock(2)), outLeft(kBlock),
          outRight(kBlock) {
        effect.setParameter(kDrive, 0.5f);
        effect.setParameter(kReso, 0.5f);
        effect.settle(zone.knob);
        reference = effect.state();
    }

    void block() {
        if (zone.glide) {
            effect.setParameter(kKnob, up ? 0.4f : 0.0f);
            up = !up;
        }
        float* inputs[2] = {inLeft.data(), inRight.data()};
        float* outputs[2] = {outLeft.data(), outRight.data()};
        if (form == Form::Shipped) {
            effect.processReplacing(inputs, outputs, kBlock);
        } else {
            processCorvelReference(reference, effect.controls(), inputs, outputs, kBlock);
        }
    }

    const float* output() const { return outLeft.data(); }

  private:
    class Instance : public Corvel {
      public:
        Instance() : Corvel(nullptr) {}
        // Starts the knob at its target, as if it had been there for a while.
        void settle(float knob) {
            setParameter(kKnob, knob);
            knobSmoothed = knob;
        }
        CorvelDsp& state() { return *this; }
        CorvelControls controls() const { return {knobTarget.load(), resonance.load()}; }
    };

    static std::vector<float> noiseBlock(std::uint32_t seed) {
        std::vector<float> samples(kBlock);
        for (float& s : samples) {
            seed = seed * 1664525u + 1013904223u;
            s = static_cast<float>(static_cast<std::int32_t>(seed >> 8) - (1 << 23)) / 16777216.0f;
        }
        return samples;
    }

    const ZoneSpec& zone;
    const Form form;
    Instance effect;
    CorvelDsp reference;
    std::vector<float> inLeft;
    std::vector<float> inRight;
    std::vector<float> outLeft;
    std::vector<float> outRight;
    bool up = false;
};
