#include "StateVariableFilter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace {

constexpr float kRate = 44100.0f;
constexpr double kPiDouble = 3.14159265358979323846;

// Damping that a given resonance should produce, evaluated independently in double.
double dampingFor(double resonance) {
    return 2.0 * (1.0 - std::pow(resonance, 0.25));
}

// A filter with no drive, so the band path is linear unless the state is near the clip.
StateVariableFilter linearFilter(float cutoff, float resonance) {
    StateVariableFilter f;
    f.drive = 0.0f;
    f.setCoefficients(cutoff, resonance, kRate);
    return f;
}

// Isolates the guard and the clip: with no frequency coefficient and no drive, the band update is the
// old band value itself.
float guardedBand(float value) {
    StateVariableFilter f;
    f.freqCoef = 0.0f;
    f.drive = 0.0f;
    f.damping = 0.0f;
    f.band = value;
    f.tick(0.0f);
    return f.band;
}

} // namespace

TEST(SvfCoefficients, PiConstantIsOneUlpBelowNearestFloatPi) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &StateVariableFilter::kPi, sizeof bits);
    EXPECT_EQ(bits, 0x40490FDAu);
    EXPECT_EQ(std::nextafter(StateVariableFilter::kPi, 4.0f), static_cast<float>(kPiDouble));
}

TEST(SvfCoefficients, CutoffIsClampedTo20Through17154) {
    struct Case {
        float in, stored;
    };
    for (const Case c : {Case{20000.0f, 17154.0f}, Case{17154.0f, 17154.0f}, Case{17153.0f, 17153.0f},
                         Case{21.0f, 21.0f}, Case{20.0f, 20.0f}, Case{10.0f, 20.0f}, Case{-300.0f, 20.0f}}) {
        StateVariableFilter f;
        f.setCoefficients(c.in, 0.5f, kRate);
        EXPECT_EQ(f.cutoffHz, c.stored) << "cutoff " << c.in;
    }
}

TEST(SvfCoefficients, ReferenceExamples) {
    StateVariableFilter f;
    f.setCoefficients(1000.0f, 0.505f, kRate);
    EXPECT_NEAR(f.freqCoef, 0.071223f, 2e-6f);
    EXPECT_NEAR(f.damping, 0.31402f, 2e-5f);
    // 2 sin(pi fc / (2 fs)) is what the series approximates.
    EXPECT_NEAR(f.freqCoef, 2.0 * std::sin(kPiDouble * 1000.0 / 88200.0), 1e-5);
    EXPECT_NEAR(f.damping, dampingFor(0.505), 1e-5);

    // At the top of the range the stability limit wins over the resonance.
    f.setCoefficients(17154.0f, 0.01f, kRate);
    EXPECT_NEAR(f.freqCoef, 1.14756f, 2e-5f);
    EXPECT_NEAR(dampingFor(0.01), 1.36754, 1e-5);
    const double limit = 2.0 / f.freqCoef - f.freqCoef * 0.5;
    EXPECT_NEAR(limit, 1.16905, 2e-5);
    EXPECT_NEAR(f.damping, limit, 1e-6);
}

TEST(SvfCoefficients, DampingFollowsResonanceWithinStabilityLimit) {
    StateVariableFilter f;
    f.setCoefficients(1000.0f, 1.0f, kRate);
    EXPECT_EQ(f.damping, 0.0f);

    // Above 1 the damping goes slightly negative: no lower bound is applied.
    f.setCoefficients(1000.0f, 1.01f, kRate);
    EXPECT_NEAR(f.damping, -0.00498f, 1e-5f);

    // Resonance 0 asks for 2; at low cut-offs the limit is capped at 2, at high ones it is lower.
    f.setCoefficients(1000.0f, 0.0f, kRate);
    EXPECT_EQ(f.damping, 2.0f);
    f.setCoefficients(17154.0f, 0.0f, kRate);
    EXPECT_NEAR(f.damping, 1.16905f, 2e-5f);

    // A negative resonance has no real fourth root; the NaN loses the comparison and the capped
    // limit is used, so the filter stays stable.
    f.setCoefficients(1000.0f, -0.5f, kRate);
    EXPECT_EQ(f.damping, 2.0f);

    // An infinite or NaN resonance must not leave an infinite damping behind: the limit is used.
    f.setCoefficients(1000.0f, std::numeric_limits<float>::infinity(), kRate);
    EXPECT_EQ(f.damping, 2.0f);
    f.setCoefficients(17154.0f, std::numeric_limits<float>::infinity(), kRate);
    EXPECT_NEAR(f.damping, 1.16905f, 2e-5f);
    f.setCoefficients(1000.0f, std::numeric_limits<float>::quiet_NaN(), kRate);
    EXPECT_EQ(f.damping, 2.0f);
}

TEST(SvfCoefficients, NormalisedFrequencyIsCappedAtAQuarter) {
    // 17154 / (2 * 20000) would be 0.43; capped at 0.25, i.e. w = pi / 4.
    StateVariableFilter f;
    f.setCoefficients(17154.0f, 0.5f, 20000.0f);
    const double w = kPiDouble / 4.0;
    EXPECT_NEAR(f.freqCoef, 2.0 * w * (1.0 - 0.16605 * w * w + 0.00761 * w * w * w * w), 1e-5);
}

TEST(SvfCoefficients, UseTheOversamplingField) {
    StateVariableFilter single;
    single.oversampling = 1.0f;
    single.setCoefficients(3000.0f, 0.3f, 44100.0f);
    StateVariableFilter doubled;
    doubled.setCoefficients(3000.0f, 0.3f, 22050.0f);
    EXPECT_EQ(single.freqCoef, doubled.freqCoef);
    EXPECT_EQ(single.damping, doubled.damping);
}

TEST(SvfCoefficients, LeaveStateAndDriveAlone) {
    StateVariableFilter f;
    f.low = 0.25f;
    f.band = -0.5f;
    f.high = 3.0f;
    f.notch = -7.0f;
    f.drive = 0.75f;
    f.setCoefficients(500.0f, 0.9f, 48000.0f);
    f.setCoefficients(20000.0f, 0.0f, 96000.0f);
    EXPECT_EQ(f.low, 0.25f);
    EXPECT_EQ(f.band, -0.5f);
    EXPECT_EQ(f.high, 3.0f);
    EXPECT_EQ(f.notch, -7.0f);
    EXPECT_EQ(f.drive, 0.75f);
    EXPECT_EQ(f.oversampling, 2.0f);
}

TEST(SvfTick, EquationsUseOldBandAndNewLow) {
    // Values chosen so every intermediate is exact in binary.
    StateVariableFilter f;
    f.low = 0.25f;
    f.band = 0.5f;
    f.damping = 0.5f;
    f.freqCoef = 0.5f;
    f.drive = 0.0f;
    f.tick(1.0f);
    EXPECT_EQ(f.notch, 0.75f); // 1 - 0.5 * 0.5
    EXPECT_EQ(f.low, 0.5f);    // 0.25 + 0.5 * 0.5
    EXPECT_EQ(f.high, 0.25f);  // 0.75 - 0.5
    EXPECT_EQ(f.band, 0.625f); // 0.25 * 0.5 + 0.5
}

TEST(SvfTick, DriveSubtractsCubeOfOldBand) {
    StateVariableFilter f;
    f.low = 0.25f;
    f.band = 0.5f;
    f.damping = 0.5f;
    f.freqCoef = 0.5f;
    f.drive = 1.0f;
    f.tick(1.0f);
    EXPECT_EQ(f.band, 0.625f - 0.125f);

    EXPECT_EQ(guardedBand(0.5f), 0.5f); // same band with no drive, for contrast
    StateVariableFilter g;
    g.freqCoef = 0.0f;
    g.drive = 0.5f;
    g.band = -0.5f;
    g.tick(0.0f);
    EXPECT_EQ(g.band, -0.5f + 0.0625f);
}

TEST(SvfTick, GuardIsIdentityAboveTinyValues) {
    for (double mag = 1e-10; mag <= 1.0; mag *= 1.37) {
        for (const float v : {static_cast<float>(mag), -static_cast<float>(mag)}) {
            EXPECT_EQ(guardedBand(v), v) << v;
        }
    }
}

TEST(SvfTick, GuardKeepsTinyBandNormalAndNonZero) {
    // Values close to zero collapse onto the float rounding error of 1e-18.
    for (const float v : {0.0f, -0.0f, 1e-40f, -1e-40f, 1e-30f, 3e-26f, std::numeric_limits<float>::min()}) {
        const float b = guardedBand(v);
        EXPECT_NEAR(b, 4.58e-26f, 0.01e-26f) << v;
    }
    // Whatever the tiny value or its sign, the result is never zero and never subnormal.
    for (double mag = 1e-45; mag < 1e-10; mag *= 1.7) {
        for (const float v : {static_cast<float>(mag), -static_cast<float>(mag)}) {
            const float b = guardedBand(v);
            EXPECT_EQ(std::fpclassify(b), FP_NORMAL) << v;
        }
    }
    // A silent tick on a fresh record lands on the same value.
    StateVariableFilter f = linearFilter(1000.0f, 0.5f);
    f.tick(0.0f);
    EXPECT_EQ(f.band, guardedBand(0.0f));
    EXPECT_EQ(f.low, 0.0f);
}

TEST(SvfTick, BandIsClippedBothWays) {
    EXPECT_EQ(guardedBand(1.5f), 1.0f);
    EXPECT_EQ(guardedBand(-1.5f), -1.0f);
    EXPECT_EQ(guardedBand(1.0f), 1.0f);
    EXPECT_EQ(guardedBand(-0.999f), -0.999f);
}

TEST(SvfStability, UndampedFilterRingsWithoutDecay) {
    // Resonance 1 gives damping 0: a step of 0.5 starts a sustained oscillation of about +-0.5.
    StateVariableFilter f = linearFilter(1000.0f, 1.0f);
    ASSERT_EQ(f.damping, 0.0f);
    const int period = 2 * 44; // ticks per cycle at 1000 Hz and 88200 ticks per second
    auto swing = [&f, period](float& lo, float& hi) {
        lo = 1.0f;
        hi = -1.0f;
        for (int i = 0; i < 4 * period; ++i) {
            f.tick(0.5f);
            lo = std::min(lo, f.band);
            hi = std::max(hi, f.band);
        }
    };
    float firstLo, firstHi, lastLo, lastHi;
    swing(firstLo, firstHi);
    for (int i = 0; i < 200000; ++i) {
        f.tick(0.5f);
    }
    swing(lastLo, lastHi);
    EXPECT_NEAR(firstHi, 0.5f, 0.02f);
    EXPECT_NEAR(firstLo, -0.5f, 0.02f);
    EXPECT_NEAR(lastHi, firstHi, 0.005f);
    EXPECT_NEAR(lastLo, firstLo, 0.005f);
}

TEST(SvfStability, NegativeDampingGrowsUntilClipped) {
    StateVariableFilter f = linearFilter(1000.0f, 1.01f);
    ASSERT_LT(f.damping, 0.0f);
    f.tick(0.01f);
    float early = 0.0f, late = 0.0f;
    for (int i = 0; i < 200000; ++i) {
        f.tick(0.0f);
        ASSERT_LE(std::fabs(f.band), 1.0f);
        float& peak = i < 1000 ? early : late;
        peak = std::max(peak, std::fabs(f.band));
    }
    EXPECT_LT(early, 0.1f);
    EXPECT_EQ(late, 1.0f); // grew all the way into the clip
    EXPECT_TRUE(std::isfinite(f.low));
    EXPECT_TRUE(std::isfinite(f.high));
}

TEST(SvfStability, HugeInputsKeepBandInRange) {
    for (const float resonance : {0.5f, 1.0f, 1.01f}) {
        for (const float level : {100.0f, 1e30f}) {
            StateVariableFilter f = linearFilter(5000.0f, resonance);
            f.drive = 1.0f;
            float largest = 0.0f;
            for (int i = 0; i < 20000; ++i) {
                f.tick((i / 300) % 2 ? level : -level);
                ASSERT_LE(std::fabs(f.band), 1.0f) << resonance << " " << level << " tick " << i;
                largest = std::max({largest, std::fabs(f.low), std::fabs(f.high), std::fabs(f.notch)});
            }
            EXPECT_GT(largest, 0.5f * level) << "low/high/notch are not bounded";
        }
    }
}

namespace {

enum class Output { Low, High };

// Runs the filter the way the effect does: coefficients for twice the rate, two ticks per input
// sample, output the mean of the two ticks. Returns the gain in dB at one sine frequency.
double measuredGainDb(float cutoff, float resonance, int frequencyHz, Output output) {
    StateVariableFilter f = linearFilter(cutoff, resonance);
    const int rate = static_cast<int>(kRate);
    const int settle = rate, window = rate; // a whole number of cycles at integer frequencies
    const double amplitude = 0.01;          // keeps resonant band states far from the clip
    double sinSum = 0.0, cosSum = 0.0;
    for (int n = 0; n < settle + window; ++n) {
        const double phase =
            2.0 * kPiDouble * static_cast<double>((static_cast<long>(n) * frequencyHz) % rate) / rate;
        const float in = static_cast<float>(amplitude * std::sin(phase));
        f.tick(in);
        const float first = output == Output::Low ? f.low : f.high;
        f.tick(in);
        const float second = output == Output::Low ? f.low : f.high;
        const float out = 0.5f * first + 0.5f * second;
        if (n >= settle) {
            sinSum += out * std::sin(phase);
            cosSum += out * std::cos(phase);
        }
    }
    const double measured = 2.0 / window * std::hypot(sinSum, cosSum);
    return 20.0 * std::log10(measured / amplitude);
}

// Ideal analogue two-pole low-pass or high-pass with the given damping (1/Q).
double prototypeGainDb(double cutoff, double damping, double frequency, Output output) {
    const double u = frequency / cutoff;
    const double denominator = std::hypot(1.0 - u * u, damping * u);
    return 20.0 * std::log10((output == Output::Low ? 1.0 : u * u) / denominator);
}

// Resonance that yields Butterworth damping sqrt(2).
const double kButterworthResonance = std::pow(1.0 - std::sqrt(2.0) / 2.0, 4.0);

} // namespace

TEST(SvfResponse, ButterworthSettingMatchesTwoPolePrototype) {
    const float r = static_cast<float>(kButterworthResonance);
    ASSERT_NEAR(linearFilter(1000.0f, r).damping, std::sqrt(2.0f), 1e-4f);
    for (const int cutoff : {200, 1000, 5000}) {
        for (const Output output : {Output::Low, Output::High}) {
            const char* name = output == Output::Low ? "low" : "high";
            // The discrete loop drifts from the analogue shape as the cut-off nears a tenth of the tick
            // rate (its damping term acts one tick late), so 5 kHz gets a wider margin.
            const double tolerance = cutoff <= 1000 ? 0.5 : 1.6;
            EXPECT_NEAR(measuredGainDb(cutoff, r, cutoff, output), -3.01, tolerance / 3.0)
                << name << " at " << cutoff;
            for (const int frequency : {cutoff / 4, cutoff / 2, cutoff * 2}) {
                const double expected = prototypeGainDb(cutoff, std::sqrt(2.0), frequency, output);
                EXPECT_NEAR(measuredGainDb(cutoff, r, frequency, output), expected, tolerance)
                    << name << " cutoff " << cutoff << " at " << frequency;
            }
        }
    }
}

TEST(SvfResponse, PassbandIsFlat) {
    const float r = static_cast<float>(kButterworthResonance);
    EXPECT_NEAR(measuredGainDb(5000.0f, r, 50, Output::Low), 0.0, 0.05);
    EXPECT_NEAR(measuredGainDb(1000.0f, r, 100, Output::Low), 0.0, 0.05);
    EXPECT_NEAR(measuredGainDb(200.0f, r, 4000, Output::High), 0.0, 0.2);
    EXPECT_NEAR(measuredGainDb(1000.0f, r, 8000, Output::High), 0.0, 0.5);
}

TEST(SvfResponse, StopbandFallsTwelveDbPerOctave) {
    const float r = static_cast<float>(kButterworthResonance);
    const double lowSlope =
        measuredGainDb(200.0f, r, 1600, Output::Low) - measuredGainDb(200.0f, r, 3200, Output::Low);
    EXPECT_NEAR(lowSlope, 12.0, 0.5);
    const double highSlope =
        measuredGainDb(5000.0f, r, 600, Output::High) - measuredGainDb(5000.0f, r, 300, Output::High);
    EXPECT_NEAR(highSlope, 12.0, 0.5);
}

TEST(SvfResponse, ResonancePeakRisesWithResonance) {
    double peak[2];
    int i = 0;
    for (const double resonance : {0.3, 0.9}) {
        const double expected = prototypeGainDb(1000.0, dampingFor(resonance), 1000.0, Output::Low);
        peak[i] = measuredGainDb(1000.0f, static_cast<float>(resonance), 1000, Output::Low);
        EXPECT_NEAR(peak[i], expected, 1.0) << "resonance " << resonance;
        ++i;
    }
    EXPECT_GT(peak[1] - peak[0], 15.0);
}
