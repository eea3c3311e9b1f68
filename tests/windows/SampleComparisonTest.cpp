// The arithmetic behind the Linux/Windows output comparison: a wrong distance would pass broken output
// or fail good output.
#include "SampleComparison.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(UlpDistance, CountsRepresentableStepsThroughZero) {
    EXPECT_EQ(ulpDistance(1.0f, 1.0f), 0u);
    EXPECT_EQ(ulpDistance(0.0f, -0.0f), 0u);
    EXPECT_EQ(ulpDistance(1.0f, std::nextafter(1.0f, 2.0f)), 1u);
    EXPECT_EQ(ulpDistance(std::nextafter(1.0f, 2.0f), 1.0f), 1u);
    EXPECT_EQ(ulpDistance(-1.0f, std::nextafter(-1.0f, -2.0f)), 1u);
    const float tiny = std::numeric_limits<float>::denorm_min();
    EXPECT_EQ(ulpDistance(tiny, -tiny), 2u);
    EXPECT_EQ(ulpDistance(-0.0f, tiny), 1u);
    // Across an exponent boundary the step size halves: still one step each.
    EXPECT_EQ(ulpDistance(std::nextafter(1.0f, 0.0f), std::nextafter(1.0f, 2.0f)), 2u);
    EXPECT_EQ(ulpDistance(-std::numeric_limits<float>::max(), std::numeric_limits<float>::max()),
              0xFEFFFFFEu);
}

TEST(UlpDistance, NaNIsInfinitelyFar) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(ulpDistance(nan, nan), std::numeric_limits<std::uint64_t>::max());
    EXPECT_EQ(ulpDistance(1.0f, nan), std::numeric_limits<std::uint64_t>::max());
}

TEST(CompareSamples, ReportsCountWorstSampleAndFirstDifference) {
    const std::vector<float> reference = {0.5f, -0.25f, 0.0f, 0.75f, 0.1f};
    std::vector<float> candidate = reference;
    candidate[1] = std::nextafter(-0.25f, 0.0f);
    candidate[3] = std::nextafter(std::nextafter(std::nextafter(0.75f, 1.0f), 1.0f), 1.0f);
    candidate[2] = -0.0f; // a different bit pattern, zero ulps apart
    const SampleComparison result = compareSamples(reference, candidate);
    EXPECT_EQ(result.samples, 5u);
    EXPECT_EQ(result.lengthMismatch, 0u);
    EXPECT_EQ(result.differing, 3u);
    EXPECT_EQ(result.firstDifference, 1u);
    EXPECT_EQ(result.maxUlp, 3u);
    EXPECT_EQ(result.maxUlpIndex, 3u);
    EXPECT_EQ(result.maxAbsIndex, 3u);
    EXPECT_DOUBLE_EQ(result.maxAbsDifference, static_cast<double>(candidate[3]) - 0.75);
    EXPECT_EQ(result.nonFinite, 0u);
}

TEST(CompareSamples, FlagsLengthMismatchAndNonFiniteSamples) {
    const float inf = std::numeric_limits<float>::infinity();
    const SampleComparison result = compareSamples({1.0f, inf, 2.0f}, {1.0f, inf});
    EXPECT_EQ(result.samples, 2u);
    EXPECT_EQ(result.lengthMismatch, 1u);
    EXPECT_EQ(result.nonFinite, 1u); // bit-identical, and still wrong
    EXPECT_EQ(result.differing, 0u);
}

TEST(SamplesOutside, FindsSamplesBeyondTheBoundAndEveryNonFiniteOne) {
    const float inf = std::numeric_limits<float>::infinity();
    const std::vector<float> reference = {0.5f, 0.5f, 1e-9f, 0.5f, inf, -0.25f};
    const std::vector<float> candidate = {
        0.5f + 0.9e-6f,                          // inside
        0.5f + 1.2e-6f,                          // outside
        -1e-9f,                                  // far in ulps, close in value: inside
        std::numeric_limits<float>::quiet_NaN(), // never inside
        inf,                                     // agrees, still outside
        -0.25f - 1.1e-6f,                        // outside, on the negative side
    };
    EXPECT_EQ(samplesOutside(reference, candidate, 1e-6, 10), (std::vector<std::size_t>{1, 3, 4, 5}));
    EXPECT_EQ(samplesOutside(reference, candidate, 1e-6, 2), (std::vector<std::size_t>{1, 3}));
    EXPECT_TRUE(samplesOutside(reference, reference, 0.0, 10).size() == 1u); // only the infinity
}
