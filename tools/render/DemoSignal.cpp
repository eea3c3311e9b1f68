#include "DemoSignal.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace render {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kBeatsPerMinute = 120.0;
constexpr double kStepSeconds = 60.0 / kBeatsPerMinute / 4.0; // sixteenth notes
constexpr int kStepsPerBar = 16;

// xorshift32: small, fast and the same everywhere.
class Noise {
  public:
    explicit Noise(uint32_t seed) : state_(seed) {}
    double next() { // -1 .. 1
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<double>(state_) / 2147483648.0 - 1.0;
    }

  private:
    uint32_t state_;
};

double midiToHz(int note) {
    return 440.0 * std::pow(2.0, (note - 69) / 12.0);
}

// Band-limited sawtooth (polyBLEP), so the harmonics stay clean lines in a spectrogram.
class Saw {
  public:
    double next(double frequency, double sampleRate) {
        const double increment = frequency / sampleRate;
        double value = 2.0 * phase_ - 1.0;
        if (phase_ < increment) {
            const double t = phase_ / increment;
            value -= t + t - t * t - 1.0;
        } else if (phase_ > 1.0 - increment) {
            const double t = (phase_ - 1.0) / increment;
            value -= t * t + t + t + 1.0;
        }
        phase_ += increment;
        if (phase_ >= 1.0)
            phase_ -= 1.0;
        return value;
    }
    void setPhase(double phase) { phase_ = phase; }

  private:
    double phase_ = 0.0;
};

class OnePole {
  public:
    double lowPass(double input, double cutoff, double sampleRate) {
        const double a = 1.0 - std::exp(-2.0 * kPi * cutoff / sampleRate);
        state_ += a * (input - state_);
        return state_;
    }
    double highPass(double input, double cutoff, double sampleRate) {
        return input - lowPass(input, cutoff, sampleRate);
    }

  private:
    double state_ = 0.0;
};

// Which of the 16 steps of a bar trigger each drum; a bar of the loop has 16 steps of 125 ms.
constexpr bool kKick[kStepsPerBar] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 0};
constexpr bool kSnare[kStepsPerBar] = {0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0};
constexpr double kHat[kStepsPerBar] = {0.4, 0.2, 1, 0.2, 0.4, 0.2, 1, 0.3,
                                       0.4, 0.2, 1, 0.2, 0.4, 0.3, 1, 0.5};
// Bass notes per step (MIDI numbers, 0 = rest), one bar, transposed with the chord root.
constexpr int kBass[kStepsPerBar] = {33, 0, 33, 45, 0, 33, 43, 0, 33, 0, 45, 33, 0, 40, 43, 45};
// Pad chords, one per bar: A minor, F major, C major, G major, A minor, E minor (MIDI notes).
constexpr int kChords[6][3] = {{57, 60, 64}, {53, 57, 60}, {55, 60, 64},
                               {55, 59, 62}, {57, 60, 64}, {52, 55, 59}};
constexpr int kBassRoot[6] = {0, -4, 3, -2, 0, -5};

} // namespace

std::vector<float> synthesiseDemo(int sampleRate) {
    const double rate = sampleRate;
    const size_t frames = static_cast<size_t>(std::llround(kDemoSeconds * rate));
    std::vector<double> left(frames, 0.0);
    std::vector<double> right(frames, 0.0);
    const size_t stepFrames = static_cast<size_t>(std::llround(kStepSeconds * rate));
    const size_t totalSteps = (frames + stepFrames - 1) / stepFrames;
    Noise noise(0x5EED1234u);

    for (size_t step = 0; step < totalSteps; ++step) {
        const size_t start = step * stepFrames;
        const int inBar = static_cast<int>(step % kStepsPerBar);
        const int bar = static_cast<int>((step / kStepsPerBar) % 6);

        if (kKick[inBar]) { // falling sine with a click
            double phase = 0.0;
            for (size_t i = 0; i < static_cast<size_t>(0.45 * rate) && start + i < frames; ++i) {
                const double t = i / rate;
                phase += 2.0 * kPi * (45.0 + 110.0 * std::exp(-t * 30.0)) / rate;
                const double value = 0.9 * std::sin(phase) * std::exp(-t * 7.0) + 0.3 * std::exp(-t * 400.0);
                left[start + i] += value;
                right[start + i] += value;
            }
        }
        if (kSnare[inBar]) { // band of noise over a short tone
            OnePole low, high;
            for (size_t i = 0; i < static_cast<size_t>(0.3 * rate) && start + i < frames; ++i) {
                const double t = i / rate;
                const double band = high.highPass(low.lowPass(noise.next(), 6000.0, rate), 900.0, rate);
                const double value = 0.9 * band * std::exp(-t * 16.0) +
                                     0.35 * std::sin(2.0 * kPi * 185.0 * t) * std::exp(-t * 28.0);
                left[start + i] += value * 0.9;
                right[start + i] += value;
            }
        }
        { // hats: short bursts of high-passed noise, slightly right of centre
            OnePole high;
            const double level = 0.22 * kHat[inBar];
            const double decay = kHat[inBar] >= 1.0 ? 22.0 : 60.0;
            for (size_t i = 0; i < static_cast<size_t>(0.15 * rate) && start + i < frames; ++i) {
                const double t = i / rate;
                const double value = level * high.highPass(noise.next(), 7000.0, rate) * std::exp(-t * decay);
                left[start + i] += value * 0.75;
                right[start + i] += value;
            }
        }
        if (kBass[inBar] != 0) { // filtered saw with a plucked envelope
            Saw saw;
            OnePole tone;
            const double frequency = midiToHz(kBass[inBar] + kBassRoot[bar]);
            for (size_t i = 0; i < static_cast<size_t>(0.95 * stepFrames) && start + i < frames; ++i) {
                const double t = i / rate;
                const double cutoff = 250.0 + 1800.0 * std::exp(-t * 18.0);
                const double value = 0.45 * tone.lowPass(saw.next(frequency, rate), cutoff, rate) *
                                     std::min(1.0, t * 400.0) * std::exp(-t * 4.0);
                left[start + i] += value;
                right[start + i] += value;
            }
        }
    }

    // Pad: three detuned saw pairs per chord, one chord per bar, with soft attack and release.
    const size_t barFrames = stepFrames * kStepsPerBar;
    for (size_t barStart = 0, bar = 0; barStart < frames; barStart += barFrames, ++bar) {
        for (int voice = 0; voice < 3; ++voice) {
            const double frequency = midiToHz(kChords[bar % 6][voice]);
            Saw sawLeft, sawRight;
            sawRight.setPhase(0.37 * (voice + 1));
            OnePole toneLeft, toneRight;
            for (size_t i = 0; i < barFrames && barStart + i < frames; ++i) {
                const double t = i / rate;
                const double envelope =
                    std::min(1.0, t / 0.25) * std::min(1.0, (barFrames - i) / (0.3 * rate));
                const double l = toneLeft.lowPass(sawLeft.next(frequency * 0.9965, rate), 5000.0, rate);
                const double r = toneRight.lowPass(sawRight.next(frequency * 1.0035, rate), 5000.0, rate);
                left[barStart + i] += 0.07 * envelope * l;
                right[barStart + i] += 0.07 * envelope * r;
            }
        }
    }

    // Headroom for a resonant, driven filter: peaks at half of full scale.
    double peak = 1e-9;
    for (size_t i = 0; i < frames; ++i)
        peak = std::max({peak, std::fabs(left[i]), std::fabs(right[i])});
    const double gain = 0.5 / peak;
    std::vector<float> interleaved(frames * 2);
    for (size_t i = 0; i < frames; ++i) {
        interleaved[i * 2] = static_cast<float>(left[i] * gain);
        interleaved[i * 2 + 1] = static_cast<float>(right[i] * gain);
    }
    return interleaved;
}

std::vector<ParameterAutomation> demoAutomation() {
    return {
        {"knob",
         Envelope({{0.0, 0.5}, {1.5, 0.5}, {4.5, 0.0}, {5.5, 0.0}, {9.0, 1.0}, {10.0, 1.0}, {11.5, 0.5}})},
        {"drive", Envelope({{0.0, 0.0}, {2.5, 0.0}, {5.0, 0.6}, {7.0, 0.6}, {8.5, 0.15}, {12.0, 0.0}})},
        {"reso", Envelope({{0.0, 0.5}, {2.0, 0.5}, {4.5, 0.9}, {6.5, 0.4}, {9.0, 0.85}, {11.0, 0.5}})},
    };
}

} // namespace render
