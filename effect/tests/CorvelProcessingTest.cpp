// The audio path measured from outside: zones, glide, refresh cadence, tuning, sample rates, block
// independence and recovery from non-finite values.
#include "CorvelProbe.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>

namespace {

constexpr float kRate = 44100.0f;

std::vector<float> noise(std::size_t frames, std::uint32_t seed, float amplitude = 0.5f) {
    std::mt19937 generator(seed);
    std::uniform_real_distribution<float> distribution(-amplitude, amplitude);
    std::vector<float> samples(frames);
    for (float& s : samples) {
        s = distribution(generator);
    }
    return samples;
}

std::vector<float> sine(std::size_t frames, double hz, double rate, float amplitude) {
    std::vector<float> samples(frames);
    for (std::size_t i = 0; i < frames; ++i) {
        samples[i] =
            static_cast<float>(amplitude * std::sin(2.0 * M_PI * hz * static_cast<double>(i) / rate));
    }
    return samples;
}

bool sameBits(float a, float b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool sameFilter(const StateVariableFilter& a, const StateVariableFilter& b) {
    return sameBits(a.low, b.low) && sameBits(a.band, b.band) && sameBits(a.high, b.high) &&
           sameBits(a.notch, b.notch) && sameBits(a.freqCoef, b.freqCoef) &&
           sameBits(a.cutoffHz, b.cutoffHz) && sameBits(a.damping, b.damping);
}

bool allFinite(const std::vector<float>& samples) {
    for (float s : samples) {
        if (!std::isfinite(s)) {
            return false;
        }
    }
    return true;
}

// Puts the knob at its target at once and makes the next sample refresh the coefficients, so that a
// measurement sees a settled filter.
void settleKnob(CorvelProbe& effect, float knob) {
    effect.setParameter(kKnob, knob);
    effect.knobSmoothed = knob;
    effect.refreshCounter = 24;
}

// Steady-state gain in dB of the left channel for a sine at hz, with the host running at `rate`.
double gainDb(float knob, float reso, double hz, float amplitude = 0.1f, float rate = kRate) {
    CorvelProbe effect;
    effect.setSampleRate(rate);
    effect.suspend();
    effect.setParameter(kReso, reso);
    settleKnob(effect, knob);
    const std::size_t frames = static_cast<std::size_t>(rate);
    const std::vector<float> in = sine(frames, hz, rate, amplitude);
    std::vector<float> outLeft, outRight;
    effect.run(in, in, outLeft, outRight);
    double inPower = 0.0, outPower = 0.0;
    for (std::size_t i = frames / 2; i < frames; ++i) {
        inPower += static_cast<double>(in[i]) * in[i];
        outPower += static_cast<double>(outLeft[i]) * outLeft[i];
    }
    return 10.0 * std::log10(outPower / inPower);
}

} // namespace

TEST(CorvelZones, CentreIsDryAndFreezesTheFilters) {
    for (float knob : {0.5f, 0.45f, 0.55f}) {
        CorvelProbe effect;
        settleKnob(effect, knob);
        const StateVariableFilter before = effect.lowPassLeft;
        const StateVariableFilter beforeHigh = effect.highPassRight;
        const std::vector<float> left = noise(1000, 1), right = noise(1000, 2);
        std::vector<float> outLeft, outRight;
        effect.run(left, right, outLeft, outRight);
        for (std::size_t i = 0; i < left.size(); ++i) {
            ASSERT_TRUE(sameBits(outLeft[i], left[i])) << "knob " << knob << " sample " << i;
            ASSERT_TRUE(sameBits(outRight[i], right[i])) << "knob " << knob << " sample " << i;
        }
        EXPECT_TRUE(sameFilter(effect.lowPassLeft, before)) << knob;
        EXPECT_TRUE(sameFilter(effect.highPassRight, beforeHigh)) << knob;
    }
}

TEST(CorvelZones, JumpToZeroLeavesExactly210SamplesDry) {
    CorvelProbe effect;
    effect.setParameter(kKnob, 0.0f);
    const std::vector<float> left = noise(400, 3), right = noise(400, 4);
    std::vector<float> outLeft, outRight;
    effect.run(left, right, outLeft, outRight);
    for (std::size_t i = 0; i < 210; ++i) {
        ASSERT_TRUE(sameBits(outLeft[i], left[i])) << i;
    }
    EXPECT_FALSE(sameBits(outLeft[210], left[210]));
    EXPECT_LT(effect.knobSmoothed, 0.45f);
}

TEST(CorvelZones, SilenceStaysSilentInEveryZone) {
    for (float knob : {0.0f, 0.3f, 0.44f, 0.6f, 1.0f}) {
        CorvelProbe effect;
        settleKnob(effect, knob);
        const std::vector<float> zeros(2000, 0.0f);
        std::vector<float> outLeft, outRight;
        effect.run(zeros, zeros, outLeft, outRight);
        for (float s : outLeft) {
            ASSERT_LT(std::fabs(s), 1e-20f) << knob;
        }
    }
}

TEST(CorvelRefresh, FirstRefreshFallsOnTheFifthSampleOfTheThirdBlockOfTen) {
    CorvelProbe effect;
    effect.setParameter(kKnob, 0.0f);
    effect.knobSmoothed = 0.0f;
    const std::vector<float> block(10, 0.0f);
    std::vector<float> outLeft, outRight;
    effect.run(block, block, outLeft, outRight);
    effect.run(block, block, outLeft, outRight);
    EXPECT_EQ(effect.lowPassLeft.cutoffHz, 17154.0f);
    const std::vector<float> four(4, 0.0f), one(1, 0.0f);
    effect.run(four, four, outLeft, outRight);
    EXPECT_EQ(effect.lowPassLeft.cutoffHz, 17154.0f) << "refreshed before the 25th sample";
    effect.run(one, one, outLeft, outRight);
    EXPECT_EQ(effect.lowPassLeft.cutoffHz, 80.0f) << "no refresh on the 25th sample";
    EXPECT_EQ(effect.refreshCounter, 0);
}

TEST(CorvelRefresh, LowPassSideParksTheHighPassPairAndFadesResonance) {
    CorvelProbe effect;
    settleKnob(effect, 0.44f);
    const std::vector<float> one(1, 0.0f);
    std::vector<float> outLeft, outRight;
    effect.run(one, one, outLeft, outRight);

    StateVariableFilter faded;
    faded.setCoefficients(effect.lowPassLeft.cutoffHz, 0.2f * 0.505f + 0.01f, kRate);
    EXPECT_NEAR(effect.lowPassLeft.damping, faded.damping, 1e-4f);
    EXPECT_NEAR(effect.lowPassLeft.cutoffHz, 9000.0f, 500.0f);
    EXPECT_EQ(effect.highPassLeft.cutoffHz, 20.0f);
    StateVariableFilter parked;
    parked.setCoefficients(20.0f, 0.505f, kRate);
    EXPECT_EQ(effect.highPassRight.damping, parked.damping); // the parked pair keeps full resonance
}

TEST(CorvelRefresh, ResonanceChangedWhileDryWaitsForTheKnob) {
    CorvelProbe effect;
    const StateVariableFilter before = effect.lowPassLeft;
    effect.setParameter(kReso, 1.0f);
    const std::vector<float> signal = noise(300, 5);
    std::vector<float> outLeft, outRight;
    effect.run(signal, signal, outLeft, outRight);
    EXPECT_TRUE(sameFilter(effect.lowPassLeft, before));
    settleKnob(effect, 0.2f);
    effect.run(signal, signal, outLeft, outRight);
    EXPECT_EQ(effect.lowPassLeft.damping, 0.0f);
}

TEST(CorvelTuning, LowPassResponseOfATwoPoleFilter) {
    // Knob 0.225 puts the cut-off at about 894 Hz; reso 0 gives a damping near 1.37.
    const double pass = gainDb(0.225f, 0.0f, 100.0);
    const double atCutoff = gainDb(0.225f, 0.0f, 894.0);
    const double twoOctaves = gainDb(0.225f, 0.0f, 3576.0);
    const double threeOctaves = gainDb(0.225f, 0.0f, 7152.0);
    EXPECT_NEAR(pass, 0.0, 0.5);
    EXPECT_NEAR(atCutoff, 20.0 * std::log10(1.0 / 1.3675), 1.5);
    EXPECT_NEAR(twoOctaves, -24.0, 3.0);
    EXPECT_NEAR(threeOctaves - twoOctaves, -12.0, 2.0); // 12 dB per octave
}

TEST(CorvelTuning, HighPassResponseAndCrossfade) {
    // Knob 0.775: cut-off about 632 Hz. Knob 1: 5000 Hz.
    EXPECT_NEAR(gainDb(0.775f, 0.0f, 5000.0), 0.0, 0.5);
    EXPECT_NEAR(gainDb(0.775f, 0.0f, 632.0), 20.0 * std::log10(1.0 / 1.3675), 1.5);
    EXPECT_NEAR(gainDb(0.775f, 0.0f, 158.0), -24.0, 3.0);
    EXPECT_NEAR(gainDb(1.0f, 0.0f, 1250.0), -24.0, 3.0);
    // Knob 0.6: half dry, half a high-pass near 126 Hz, so a 20 Hz tone comes out at about half.
    EXPECT_NEAR(gainDb(0.6f, 0.0f, 20.0), 20.0 * std::log10(0.5), 1.0);
    // Knob 0.65 and up: pure high-pass, the same tone almost gone.
    EXPECT_LT(gainDb(0.66f, 0.0f, 20.0), -20.0);
}

TEST(CorvelTuning, KnobEndsSitAtTheRangeEnds) {
    // Knob 0: low-pass at 80 Hz. Knob 1: high-pass at 5000 Hz.
    EXPECT_NEAR(gainDb(0.0f, 0.0f, 80.0), 20.0 * std::log10(1.0 / 1.3675), 1.5);
    EXPECT_NEAR(gainDb(0.0f, 0.0f, 640.0), -36.0, 3.5);
    EXPECT_NEAR(gainDb(1.0f, 0.0f, 5000.0), 20.0 * std::log10(1.0 / 1.3675), 1.5);
}

TEST(CorvelTuning, ResonancePeaksAtTheCutoff) {
    const double flat = gainDb(0.225f, 0.0f, 894.0, 0.02f);
    const double medium = gainDb(0.225f, 0.5f, 894.0, 0.02f);
    const double strong = gainDb(0.225f, 0.8f, 894.0, 0.02f);
    EXPECT_GT(medium, flat + 6.0);
    EXPECT_GT(strong, medium + 6.0);
    EXPECT_GT(strong, 12.0);
}

TEST(CorvelTuning, FullResonanceAndHugeInputStayBounded) {
    for (float knob : {0.05f, 0.41f, 0.6f, 0.9f}) {
        for (float drive : {0.0f, 1.0f}) {
            CorvelProbe effect;
            effect.setParameter(kReso, 1.0f);
            effect.setParameter(kDrive, drive);
            settleKnob(effect, knob);
            const std::vector<float> loud = noise(20000, 6, 1e4f);
            std::vector<float> outLeft, outRight;
            effect.run(loud, loud, outLeft, outRight);
            ASSERT_TRUE(allFinite(outLeft)) << knob << ' ' << drive;
            for (float s : outLeft) {
                ASSERT_LT(std::fabs(s), 1e7f) << knob << ' ' << drive;
            }
            EXPECT_LE(std::fabs(effect.lowPassLeft.band), 1.0f);
            EXPECT_LE(std::fabs(effect.highPassLeft.band), 1.0f);
        }
    }
}

TEST(CorvelSampleRate, HostRateReachesTheFiltersOnSwitching) {
    CorvelProbe effect;
    effect.setSampleRate(48000.0f);
    EXPECT_EQ(effect.dspSampleRate, 44100.0f) << "setting the rate alone must not retune";
    effect.resume();
    EXPECT_EQ(effect.dspSampleRate, 48000.0f);
    effect.setSampleRate(96000.0f);
    effect.suspend();
    EXPECT_EQ(effect.dspSampleRate, 96000.0f);
    for (float rate : {22050.0f, 32000.0f, 8000.0f}) {
        effect.setSampleRate(rate);
        effect.suspend();
        EXPECT_EQ(effect.dspSampleRate, rate);
    }
    for (float bad :
         {0.0f, -44100.0f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
        effect.setSampleRate(bad);
        effect.resume();
        EXPECT_EQ(effect.dspSampleRate, 44100.0f) << bad;
    }
}

TEST(CorvelSampleRate, SwitchingKeepsFilterStateAndCounter) {
    CorvelProbe effect;
    settleKnob(effect, 0.3f);
    const std::vector<float> signal = noise(37, 7);
    std::vector<float> outLeft, outRight;
    effect.run(signal, signal, outLeft, outRight);
    const StateVariableFilter before = effect.lowPassLeft;
    const VstInt32 counter = effect.refreshCounter;
    effect.setSampleRate(48000.0f);
    effect.suspend();
    effect.resume();
    EXPECT_TRUE(sameFilter(effect.lowPassLeft, before));
    EXPECT_EQ(effect.refreshCounter, counter);
}

TEST(CorvelSampleRate, CutoffIsRightAtTheHostRate) {
    // At 22050 Hz a 894 Hz cut-off must still sit at 894 Hz, not an octave lower.
    for (float rate : {22050.0f, 48000.0f}) {
        EXPECT_NEAR(gainDb(0.225f, 0.0f, 894.0, 0.1f, rate), 20.0 * std::log10(1.0 / 1.3675), 1.5) << rate;
    }
}

namespace {

// Runs a fixed automation over a signal, cut into the given block sizes, in place or not. The knob
// moves at the start of each of two halves, which every blocking starts a block on.
std::vector<float> renderInBlocks(const std::vector<std::size_t>& blocks, bool inPlace) {
    CorvelProbe effect;
    effect.setParameter(kReso, 0.8f);
    effect.setParameter(kDrive, 0.3f);
    const std::size_t half = 15000;
    std::vector<float> left = noise(2 * half, 8), right = noise(2 * half, 9);
    std::vector<float> out;
    std::size_t block = 0;
    for (float knob : {0.1f, 0.9f}) {
        effect.setParameter(kKnob, knob);
        const std::size_t end = knob < 0.5f ? half : 2 * half;
        for (std::size_t position = end - half; position < end;) {
            const std::size_t n = std::min(blocks[block++ % blocks.size()], end - position);
            float* in[2] = {left.data() + position, right.data() + position};
            std::vector<float> separateLeft(n), separateRight(n);
            float* outputs[2] = {inPlace ? in[0] : separateLeft.data(),
                                 inPlace ? in[1] : separateRight.data()};
            effect.processReplacing(in, outputs, static_cast<VstInt32>(n));
            for (std::size_t i = 0; i < n; ++i) {
                out.push_back(outputs[0][i]);
                out.push_back(outputs[1][i]);
            }
            position += n;
        }
    }
    return out;
}

} // namespace

TEST(CorvelBlocks, OutputDoesNotDependOnBlockingOrBufferSharing) {
    const std::vector<float> whole = renderInBlocks({15000}, false);
    const std::vector<float> bySample = renderInBlocks({1}, false);
    const std::vector<float> odd = renderInBlocks({7, 13, 1000, 333, 1, 4096}, false);
    const std::vector<float> inPlace = renderInBlocks({7, 13, 1000, 333, 1, 4096}, true);
    ASSERT_EQ(whole.size(), bySample.size());
    for (std::size_t i = 0; i < whole.size(); ++i) {
        ASSERT_TRUE(sameBits(whole[i], bySample[i])) << i;
        ASSERT_TRUE(sameBits(whole[i], odd[i])) << i;
        ASSERT_TRUE(sameBits(whole[i], inPlace[i])) << i;
    }
}

TEST(CorvelBlocks, EmptyAndNegativeBlocksChangeNothing) {
    CorvelProbe effect;
    settleKnob(effect, 0.2f);
    float sample = 0.25f, out = 7.0f;
    float* in[2] = {&sample, &sample};
    float* outs[2] = {&out, &out};
    const StateVariableFilter before = effect.lowPassLeft;
    effect.processReplacing(in, outs, 0);
    effect.processReplacing(in, outs, -5);
    effect.processReplacing(nullptr, nullptr, std::numeric_limits<VstInt32>::min());
    EXPECT_EQ(out, 7.0f);
    EXPECT_EQ(effect.refreshCounter, 24);
    EXPECT_TRUE(sameFilter(effect.lowPassLeft, before));
}

TEST(CorvelRecovery, NonFiniteKnobDoesNotBreakTheInstance) {
    for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                      -std::numeric_limits<float>::infinity()}) {
        CorvelProbe effect;
        const std::vector<float> signal = noise(512, 10);
        std::vector<float> outLeft, outRight;
        effect.setParameter(kKnob, bad);
        effect.run(signal, signal, outLeft, outRight);
        EXPECT_TRUE(allFinite(outLeft)) << bad;
        effect.setParameter(kKnob, 0.2f);
        effect.run(signal, signal, outLeft, outRight);
        EXPECT_EQ(effect.knobSmoothed, 0.2f) << bad;
        EXPECT_TRUE(allFinite(outLeft)) << bad;
        // Filtering again: the low-pass output differs from the input.
        EXPECT_FALSE(sameBits(outLeft[300], signal[300])) << bad;
    }
}

TEST(CorvelRecovery, NonFiniteInputSampleDoesNotSilenceTheEffect) {
    for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
        for (float knob : {0.2f, 0.8f}) {
            CorvelProbe effect;
            settleKnob(effect, knob);
            std::vector<float> signal = noise(2000, 11);
            signal[100] = bad;
            std::vector<float> outLeft, outRight;
            effect.run(signal, signal, outLeft, outRight);
            for (std::size_t i = 101; i < signal.size(); ++i) {
                ASSERT_TRUE(std::isfinite(outLeft[i])) << i;
            }
            EXPECT_GT(std::fabs(outLeft[1999]), 0.0f);
        }
    }
}
