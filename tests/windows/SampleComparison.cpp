#include "SampleComparison.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace {

// Maps float bit patterns onto a line of integers in the order of the values, -0 and +0 together.
std::int64_t orderedBits(float value) {
    std::int32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const std::int64_t magnitude = bits & 0x7FFFFFFF;
    return bits < 0 ? -magnitude : magnitude;
}

} // namespace

std::uint64_t ulpDistance(float a, float b) {
    if (std::isnan(a) || std::isnan(b)) {
        return std::numeric_limits<std::uint64_t>::max();
    }
    const std::int64_t difference = orderedBits(a) - orderedBits(b);
    return static_cast<std::uint64_t>(difference < 0 ? -difference : difference);
}

SampleComparison compareSamples(const std::vector<float>& reference, const std::vector<float>& candidate) {
    SampleComparison result;
    result.samples = reference.size() < candidate.size() ? reference.size() : candidate.size();
    result.lengthMismatch = reference.size() > candidate.size() ? reference.size() - candidate.size()
                                                                : candidate.size() - reference.size();
    for (std::size_t i = 0; i < result.samples; ++i) {
        const float a = reference[i];
        const float b = candidate[i];
        if (!std::isfinite(a) || !std::isfinite(b)) {
            ++result.nonFinite;
        }
        if (std::memcmp(&a, &b, sizeof a) == 0) {
            continue;
        }
        if (result.differing++ == 0) {
            result.firstDifference = i;
        }
        const std::uint64_t ulps = ulpDistance(a, b);
        if (ulps > result.maxUlp) {
            result.maxUlp = ulps;
            result.maxUlpIndex = i;
        }
        const double difference = std::fabs(static_cast<double>(a) - static_cast<double>(b));
        if (difference > result.maxAbsDifference) {
            result.maxAbsDifference = difference;
            result.maxAbsIndex = i;
        }
    }
    return result;
}

std::vector<std::size_t> samplesOutside(const std::vector<float>& reference,
                                        const std::vector<float>& candidate, double maxAbsDifference,
                                        std::size_t limit) {
    std::vector<std::size_t> outside;
    const std::size_t count = reference.size() < candidate.size() ? reference.size() : candidate.size();
    for (std::size_t i = 0; i < count && outside.size() < limit; ++i) {
        const float a = reference[i];
        const float b = candidate[i];
        // Non-finite samples are a broken rendering even when both sides agree on them.
        if (!std::isfinite(a) || !std::isfinite(b) ||
            std::fabs(static_cast<double>(a) - static_cast<double>(b)) > maxAbsDifference) {
            outside.push_back(i);
        }
    }
    return outside;
}
