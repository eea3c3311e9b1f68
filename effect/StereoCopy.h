// The dead zone's output: the input, bit for bit.
#pragma once

#include "VstAbi.h"

// One block's channel buffers, indexed by sample.
struct StereoIo {
    const float* inLeft;
    const float* inRight;
    float* outLeft;
    float* outRight;
};

// Copies samples [begin, end) from input to output. Each sample's two inputs are read before its two
// outputs are written, as processing one sample at a time does, however the buffers overlap.
void copyDry(const StereoIo& io, VstInt32 begin, VstInt32 end);
