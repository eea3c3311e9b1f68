// The processor's floating-point mode, which results may depend on: rounding mode, flush-to-zero and
// denormals-are-zero (SSE control register).
#pragma once

#include <xmmintrin.h>

inline unsigned currentFloatMode() {
    // Rounding control (bits 13-14), flush-to-zero (15), denormals-are-zero (6).
    return _mm_getcsr() & 0xE040u;
}

// Round to nearest, the mode under which the band guard leaves values above 2^-35 alone (BandGuard.h).
// Flush-to-zero and denormals-are-zero do not matter there: no value in that range is subnormal.
inline bool roundsToNearest(unsigned floatMode) {
    return (floatMode & 0x6000u) == 0u;
}
