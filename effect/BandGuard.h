// The band state's subnormal guard and clip, four lanes at a time, and the tests that tell when they
// leave a value alone.
//
// The guard (add 1e-18 in double, round to float, subtract it again, round again) returns every |v|
// above 2^-35 unchanged under round-to-nearest, infinities and quiet NaNs too; at and below 2^-35 it
// changes many values, irregularly. The clip returns every |v| <= 1 unchanged. So for 2^-34 <= |v| <= 1
// both can be skipped. DiffBandGuardTest checks every float around the threshold.
#pragma once

#include <emmintrin.h>

#include <cstdint>

// Bit patterns of the magnitudes that bound the values both leave alone: 2^-34 and 1.
constexpr std::uint32_t kUnguardedLowestBits = 0x2E800000u;
constexpr std::uint32_t kUnguardedHighestBits = 0x3F800000u;
constexpr std::uint32_t kLargestFiniteBits = 0x7F7FFFFFu;

namespace band_guard_detail {

constexpr std::int32_t asSigned(std::uint32_t bits) {
    return bits < 0x80000000u ? static_cast<std::int32_t>(bits)
                              : static_cast<std::int32_t>(static_cast<std::int64_t>(bits) - 0x100000000LL);
}

// All ones in each lane whose magnitude's bit pattern lies in [lowest, highest] (so NaN lies above any
// finite bound). The magnitude is moved so that the range starts at INT32_MIN: one signed compare then
// rejects both what lies below it (now positive) and what lies above it.
template <std::uint32_t kLowest, std::uint32_t kHighest> inline __m128i magnitudeWithin(__m128 v) {
    const __m128i magnitude = _mm_and_si128(_mm_castps_si128(v), _mm_set1_epi32(0x7FFFFFFF));
    const __m128i moved = _mm_add_epi32(magnitude, _mm_set1_epi32(asSigned(0x80000000u - kLowest)));
    return _mm_cmpgt_epi32(_mm_set1_epi32(asSigned(0x80000000u + (kHighest - kLowest) + 1u)), moved);
}

} // namespace band_guard_detail

// All ones in each lane that both the guard and the clip leave alone: 2^-34 <= |v| <= 1.
inline __m128i lanesLeftAlone(__m128 v) {
    return band_guard_detail::magnitudeWithin<kUnguardedLowestBits, kUnguardedHighestBits>(v);
}

// All ones in each lane that the guard leaves alone and that is finite: 2^-34 <= |v| <= FLT_MAX. The
// clip may still change it.
inline __m128i lanesUnguardedFinite(__m128 v) {
    return band_guard_detail::magnitudeWithin<kUnguardedLowestBits, kLargestFiniteBits>(v);
}

inline bool allLeftAlone(__m128 first, __m128 second) {
    return _mm_movemask_epi8(_mm_and_si128(lanesLeftAlone(first), lanesLeftAlone(second))) == 0xFFFF;
}

inline bool allUnguardedFinite(__m128 v) {
    return _mm_movemask_epi8(lanesUnguardedFinite(v)) == 0xFFFF;
}

// The clip as the scalar filter does it: `if (band > 1) band = 1; if (band < -1) band = -1;`. Min and
// max return their second operand when either is NaN, so the bound goes first and a NaN band stays NaN.
inline __m128 clip(__m128 v) {
    return _mm_max_ps(_mm_set1_ps(-1.0f), _mm_min_ps(_mm_set1_ps(1.0f), v));
}

// The guard and the clip exactly as the scalar filter does them, per lane.
inline __m128 guardAndClip(__m128 v) {
    const __m128d tiny = _mm_set1_pd(1e-18);
    const __m128d lowPair = _mm_add_pd(_mm_cvtps_pd(v), tiny);
    const __m128d highPair = _mm_add_pd(_mm_cvtps_pd(_mm_movehl_ps(v, v)), tiny);
    const __m128d lowBack = _mm_sub_pd(_mm_cvtps_pd(_mm_cvtpd_ps(lowPair)), tiny);
    const __m128d highBack = _mm_sub_pd(_mm_cvtps_pd(_mm_cvtpd_ps(highPair)), tiny);
    return clip(_mm_movelh_ps(_mm_cvtpd_ps(lowBack), _mm_cvtpd_ps(highBack)));
}
