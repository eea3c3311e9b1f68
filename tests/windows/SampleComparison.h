// Sample-by-sample comparison of two renderings of one scenario.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Number of representable floats between a and b: 0 for equal values (+0 and -0 included), 1 for
// neighbours, counted straight through zero. Infinite when either is NaN.
std::uint64_t ulpDistance(float a, float b);

struct SampleComparison {
    std::size_t samples = 0;        // compared, the shorter of the two
    std::size_t lengthMismatch = 0; // samples present in only one of them
    std::size_t differing = 0;      // not bit-identical
    std::size_t nonFinite = 0;      // NaN or infinity on either side
    std::uint64_t maxUlp = 0;
    std::size_t maxUlpIndex = 0;
    double maxAbsDifference = 0.0;
    std::size_t maxAbsIndex = 0;
    std::size_t firstDifference = 0; // meaningful when differing > 0
};

SampleComparison compareSamples(const std::vector<float>& reference, const std::vector<float>& candidate);

// Indices of the samples further than maxAbsDifference from the reference, and of NaN or infinite ones;
// at most `limit` of them.
std::vector<std::size_t> samplesOutside(const std::vector<float>& reference,
                                        const std::vector<float>& candidate, double maxAbsDifference,
                                        std::size_t limit);
