#include "DemoSignal.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

using namespace render;

TEST(RenderDemo, SignalIsTwelveSecondsDeterministicAndAliveThroughout) {
    const std::vector<float> signal = synthesiseDemo(kDemoSampleRate);
    ASSERT_EQ(signal.size(), static_cast<size_t>(12 * kDemoSampleRate * 2));
    EXPECT_TRUE(signal == synthesiseDemo(kDemoSampleRate));

    float peak = 0.0f;
    for (float sample : signal) {
        ASSERT_TRUE(std::isfinite(sample));
        peak = std::max(peak, std::fabs(sample));
    }
    EXPECT_FLOAT_EQ(peak, 0.5f) << "normalised with headroom for resonance";
    // Every half second holds sound on both channels, and the channels differ (a stereo image).
    const size_t half = kDemoSampleRate / 2;
    for (size_t start = 0; start + half <= signal.size() / 2; start += half) {
        double left = 0.0, right = 0.0, difference = 0.0;
        for (size_t i = start; i < start + half; ++i) {
            left += signal[i * 2] * signal[i * 2];
            right += signal[i * 2 + 1] * signal[i * 2 + 1];
            difference += std::fabs(signal[i * 2] - signal[i * 2 + 1]);
        }
        EXPECT_GT(std::sqrt(left / half), 0.02) << "at " << start;
        EXPECT_GT(std::sqrt(right / half), 0.02) << "at " << start;
        EXPECT_GT(difference, 0.0) << "at " << start;
    }
}

TEST(RenderDemo, KnobSweepsCentreLowHighCentre) {
    const auto lanes = demoAutomation();
    ASSERT_EQ(lanes.size(), 3u);
    EXPECT_EQ(lanes[0].name, "knob");
    EXPECT_EQ(lanes[1].name, "drive");
    EXPECT_EQ(lanes[2].name, "reso");
    const Envelope& knob = lanes[0].envelope;
    EXPECT_FLOAT_EQ(knob.valueAt(0.0), 0.5f);
    EXPECT_FLOAT_EQ(knob.valueAt(kDemoSeconds), 0.5f);
    double firstLow = -1.0, firstHigh = -1.0;
    for (double t = 0.0; t <= kDemoSeconds; t += 0.01) {
        if (firstLow < 0.0 && knob.valueAt(t) == 0.0f)
            firstLow = t;
        if (firstHigh < 0.0 && knob.valueAt(t) == 1.0f)
            firstHigh = t;
        for (const auto& lane : lanes)
            ASSERT_TRUE(lane.envelope.valueAt(t) >= 0.0f && lane.envelope.valueAt(t) <= 1.0f);
    }
    ASSERT_GE(firstLow, 0.0);
    EXPECT_GT(firstHigh, firstLow) << "low-pass first, then high-pass";
}
