#include "CExpMapper.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <type_traits>

static_assert(std::has_virtual_destructor_v<CExpMapper>, "mappers are deleted through base pointers");

TEST(CExpMapperConstruction, NonPositiveOrNanMinimumBecomesOne) {
    CExpMapper zero(0.0f, 10000.0f, 0.5f);
    EXPECT_NEAR(zero.getValue(), 100.0f, 1e-3f); // geometric mean of 1 and 10000
    EXPECT_EQ(map(zero, 0.0f), 1.0f);

    CExpMapper negative(-5.0f, 100.0f, 0.0f);
    EXPECT_EQ(negative.getValue(), 1.0f);
    EXPECT_NEAR(map(negative, 0.5f), 10.0f, 1e-4f);

    CExpMapper nan(std::numeric_limits<float>::quiet_NaN(), 100.0f, 0.0f);
    EXPECT_EQ(nan.getValue(), 1.0f);
    EXPECT_NEAR(map(nan, 1.0f), 100.0f, 1e-3f);
}

TEST(CExpMapperConstruction, InitialPositionSetsEffectDefaults) {
    EXPECT_NEAR(CExpMapper(80.0f, 10000.0f, 0.9166667f).getValue(), 6687.0f, 1.0f);
    EXPECT_NEAR(CExpMapper(80.0f, 5000.0f, 0.9166667f).getValue(), 3542.5f, 0.5f);
}

TEST(CExpMapperMapping, ReferenceTables) {
    struct Row {
        float position, lowPass, highPass;
    };
    CExpMapper lowPass(80.0f, 10000.0f, 0.0f);
    CExpMapper highPass(80.0f, 5000.0f, 0.0f);
    for (const Row row : {Row{0.0f, 80.0f, 80.0f}, Row{0.25f, 267.5f, 225.0f}, Row{0.5f, 894.4f, 632.5f},
                          Row{0.75f, 2991.0f, 1778.0f}, Row{1.0f, 10000.0f, 5000.0f}}) {
        // The published figures are rounded to four digits; the closed form is exact.
        const float low = map(lowPass, row.position);
        const float high = map(highPass, row.position);
        EXPECT_NEAR(low, row.lowPass, row.lowPass * 5e-4f) << row.position;
        EXPECT_NEAR(high, row.highPass, row.highPass * 5e-4f) << row.position;
        EXPECT_NEAR(low, 80.0 * std::pow(10000.0 / 80.0, row.position), low * 2e-6) << row.position;
        EXPECT_NEAR(high, 80.0 * std::pow(5000.0 / 80.0, row.position), high * 2e-6) << row.position;
    }
}

TEST(CExpMapperMapping, EqualStepsGiveEqualRatios) {
    CExpMapper m(80.0f, 10000.0f, 0.0f);
    const double ratio = std::pow(10000.0 / 80.0, 0.1);
    float previous = map(m, 0.0f);
    for (int i = 1; i <= 10; ++i) {
        const float current = map(m, i / 10.0f);
        EXPECT_NEAR(current / previous, ratio, 1e-4) << i;
        previous = current;
    }
}

TEST(CExpMapperMapping, OutOfRangePositionsClampToBounds) {
    CExpMapper m(80.0f, 5000.0f, 0.5f);
    EXPECT_EQ(map(m, 1.5f), 5000.0f);
    EXPECT_EQ(map(m, -0.2f), 80.0f);
    EXPECT_EQ(map(m, 1e9f), 5000.0f);
    EXPECT_EQ(map(m, -std::numeric_limits<float>::infinity()), 80.0f);
}

TEST(CExpMapperMapping, EndsClampOnlyWhatLeavesTheRange) {
    // At positions 0 and 1 the log/exp round trip lands a hair inside or outside the bound depending on
    // the range. Only a result outside is pulled back; one inside is kept as computed.
    int outside = 0, inside = 0;
    for (float bound = 100.0f; bound < 20000.0f; bound *= 1.013f) {
        CExpMapper top(20.0f, bound, 0.0f);
        const float overTop = std::exp(1.0f * (std::log(bound) - std::log(20.0f)) + std::log(20.0f));
        const float topValue = map(top, 1.0f);
        EXPECT_EQ(topValue, overTop > bound ? bound : overTop) << bound;
        EXPECT_NEAR(topValue, bound, bound * 1e-6f);

        CExpMapper bottom(bound, 40000.0f, 1.0f);
        const float underBottom = std::exp(0.0f * (std::log(40000.0f) - std::log(bound)) + std::log(bound));
        const float bottomValue = map(bottom, 0.0f);
        EXPECT_EQ(bottomValue, underBottom < bound ? bound : underBottom) << bound;
        EXPECT_NEAR(bottomValue, bound, bound * 1e-6f);

        (overTop > bound ? outside : inside)++;
        (underBottom < bound ? outside : inside)++;
    }
    // Both cases occur, so each branch above was exercised.
    EXPECT_GT(outside, 0);
    EXPECT_GT(inside, 0);
}

TEST(CExpMapperMapping, MapEqualsSetPositionThenGetValue) {
    CExpMapper viaMap(80.0f, 10000.0f, 0.9166667f);
    CExpMapper viaSet(80.0f, 10000.0f, 0.9166667f);
    for (const float position : {0.0f, 0.1234f, 0.5f, 0.777f, 1.0f, 1.2f, -0.1f}) {
        const float result = map(viaMap, position);
        viaSet.setPosition(position);
        EXPECT_EQ(result, viaSet.getValue()) << position;
        EXPECT_EQ(viaMap.getValue(), result) << position;
    }
}
