// The short form's tests for "the guard (and the clip) leave this band alone" against the filter's own
// guard and clip: every float around the guard's threshold and around the clip's bound, both signs.
#include "BandGuard.h"
#include "StateVariableFilter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>

namespace {

float fromBits(std::uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::uint32_t bitsOf(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// The band the scalar filter stores for a band update v: with no drive, no damping, a frequency
// coefficient of 1 and a zero state, one tick's update is its input, so the tick applies exactly its
// guard and clip to v.
float guardedByTheFilter(float v) {
    StateVariableFilter filter;
    filter.drive = 0.0f;
    filter.freqCoef = 1.0f;
    filter.damping = 0.0f;
    filter.tick(v);
    return filter.band;
}

float clippedOnly(float v) {
    return v > 1.0f ? 1.0f : (v < -1.0f ? -1.0f : v);
}

struct Sweep {
    std::uint64_t leftAlone = 0;       // lanesLeftAlone set
    std::uint64_t unguardedFinite = 0; // lanesUnguardedFinite set
    std::uint64_t values = 0;
};

// Classifies the magnitudes first, first + stride, ... up to last (and last itself), both signs, and
// checks each claim against the filter: left alone means the filter returns v; unguarded and finite
// means it returns v clipped. Stops at the first wrong claim.
Sweep sweep(std::uint32_t first, std::uint32_t last, std::uint32_t stride = 1) {
    Sweep counts;
    for (std::uint64_t bits = first;; bits += stride) {
        const float magnitude = fromBits(static_cast<std::uint32_t>(bits > last ? last : bits));
        const float values[4] = {magnitude, -magnitude, magnitude, -magnitude};
        const __m128 lanes = _mm_loadu_ps(values);
        alignas(16) std::int32_t alone[4];
        alignas(16) std::int32_t unguarded[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(alone), lanesLeftAlone(lanes));
        _mm_store_si128(reinterpret_cast<__m128i*>(unguarded), lanesUnguardedFinite(lanes));
        for (int lane = 0; lane < 2; ++lane) {
            const float v = values[lane];
            ++counts.values;
            if (alone[lane] == 0 && unguarded[lane] == 0) {
                continue; // no claim to check
            }
            const float filtered = guardedByTheFilter(v);
            if (alone[lane] != 0) {
                ++counts.leftAlone;
                if (bitsOf(filtered) != bitsOf(v)) {
                    ADD_FAILURE() << "left alone, but the filter makes " << v << " into " << filtered;
                    return counts;
                }
            }
            if (unguarded[lane] != 0) {
                ++counts.unguardedFinite;
                if (bitsOf(filtered) != bitsOf(clippedOnly(v))) {
                    ADD_FAILURE() << "unguarded, but the filter makes " << v << " into " << filtered;
                    return counts;
                }
            }
        }
        if (bits >= last) {
            return counts;
        }
    }
}

constexpr std::uint32_t binade(int exponent) {
    return static_cast<std::uint32_t>(127 + exponent) << 23;
}

} // namespace

TEST(DiffBandGuard, EveryFloatFromTwoToTheMinus40ToTwoToTheMinus30) {
    const Sweep counts = sweep(binade(-40), binade(-30));
    // Everything from 2^-34 up skips the guard and nothing below it does: the short form is used exactly
    // as far as the header says.
    const std::uint64_t fromThreshold = 2ull * (binade(-30) - kUnguardedLowestBits + 1);
    EXPECT_EQ(counts.leftAlone, fromThreshold);
    EXPECT_EQ(counts.unguardedFinite, fromThreshold);
    EXPECT_EQ(counts.values, 2ull * (binade(-30) - binade(-40) + 1));
}

TEST(DiffBandGuard, EveryFloatAroundTheClip) {
    // From 1/4 to 4: the clip's bound at 1, beyond which only the exact form or the clip fallback may go.
    const Sweep counts = sweep(binade(-2), binade(2));
    EXPECT_EQ(counts.leftAlone, 2ull * (kUnguardedHighestBits - binade(-2) + 1));
    EXPECT_EQ(counts.unguardedFinite, counts.values);
}

TEST(DiffBandGuard, LargeFloatsUpToTheLargestAreUnguardedButClipped) {
    const Sweep counts = sweep(binade(2), kLargestFiniteBits, 4099);
    EXPECT_EQ(counts.leftAlone, 0u);
    EXPECT_EQ(counts.unguardedFinite, counts.values);
}

TEST(DiffBandGuard, ZeroSubnormalsInfinitiesAndNaNsAlwaysTakeTheExactForm) {
    const float odd[] = {0.0f,
                         std::numeric_limits<float>::denorm_min(),
                         std::numeric_limits<float>::min(),
                         0x1p-35f,
                         std::numeric_limits<float>::infinity(),
                         std::numeric_limits<float>::quiet_NaN(),
                         fromBits(0x7F800001u),
                         fromBits(0x7FFFFFFFu)};
    for (float value : odd) {
        const __m128 lanes = _mm_setr_ps(value, -value, value, -value);
        EXPECT_EQ(_mm_movemask_epi8(lanesLeftAlone(lanes)), 0) << value;
        EXPECT_EQ(_mm_movemask_epi8(lanesUnguardedFinite(lanes)), 0) << value;
    }
}

TEST(DiffBandGuard, ExactGuardMatchesTheFilterLaneForLane) {
    // The exact form's vector guard and clip against the scalar filter, where they do act.
    const float values[] = {0.0f,
                            -0.0f,
                            1e-30f,
                            -1e-30f,
                            0x1p-35f,
                            -0x1p-35f,
                            4.5e-26f,
                            1e-10f,
                            2.0f,
                            -2.0f,
                            1e30f,
                            -1e30f,
                            std::numeric_limits<float>::infinity(),
                            -std::numeric_limits<float>::infinity(),
                            std::numeric_limits<float>::quiet_NaN(),
                            fromBits(0xFFC00000u),
                            fromBits(0x7FC12345u),
                            std::numeric_limits<float>::denorm_min(),
                            -std::numeric_limits<float>::denorm_min(),
                            1.0f};
    static_assert(sizeof values / sizeof values[0] % 4 == 0, "whole vectors");
    for (std::size_t i = 0; i < sizeof values / sizeof values[0]; i += 4) {
        alignas(16) float guarded[4];
        _mm_store_ps(guarded, guardAndClip(_mm_loadu_ps(values + i)));
        for (std::size_t lane = 0; lane < 4; ++lane) {
            EXPECT_EQ(bitsOf(guarded[lane]), bitsOf(guardedByTheFilter(values[i + lane])))
                << values[i + lane];
        }
    }
}
