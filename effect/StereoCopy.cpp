#include "StereoCopy.h"

#include <emmintrin.h>

#include <cstdint>

namespace {

// Buffers that are the same or do not overlap over the run can be copied a few samples at a time:
// the reads of a group then still come before any write that could reach them.
bool sameOrApart(const float* a, const float* b, VstInt32 count) {
    const std::uintptr_t first = reinterpret_cast<std::uintptr_t>(a);
    const std::uintptr_t second = reinterpret_cast<std::uintptr_t>(b);
    const std::uintptr_t bytes = static_cast<std::uintptr_t>(count) * sizeof(float);
    return first == second || first + bytes <= second || second + bytes <= first;
}

bool groupable(const StereoIo& io, VstInt32 count) {
    const float* const buffers[4] = {io.inLeft, io.inRight, io.outLeft, io.outRight};
    for (int a = 0; a < 4; ++a) {
        for (int b = a + 1; b < 4; ++b) {
            if (!sameOrApart(buffers[a], buffers[b], count)) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

void copyDry(const StereoIo& io, VstInt32 begin, VstInt32 end) {
    if (end <= begin || (io.outLeft == io.inLeft && io.outRight == io.inRight)) {
        return;
    }
    // Local copies of the pointers: the stores cannot change them, so they are not read again.
    const float* const inLeft = io.inLeft;
    const float* const inRight = io.inRight;
    float* const outLeft = io.outLeft;
    float* const outRight = io.outRight;
    VstInt32 i = begin;
    if (groupable(io, end)) {
        for (; i + 4 <= end; i += 4) {
            const __m128 left = _mm_loadu_ps(inLeft + i);
            const __m128 right = _mm_loadu_ps(inRight + i);
            _mm_storeu_ps(outLeft + i, left);
            _mm_storeu_ps(outRight + i, right);
        }
    }
    for (; i < end; ++i) {
        const float left = inLeft[i];
        const float right = inRight[i];
        outLeft[i] = left;
        outRight[i] = right;
    }
}
