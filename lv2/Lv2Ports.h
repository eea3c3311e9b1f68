// The plug-in's ports in index order, as velmora.ttl lists them: audio in, audio out, then one control
// input per effect parameter, in parameter order.
#pragma once

#include "CorvelParameters.h"

#include <cstdint>

enum Lv2Port : std::uint32_t {
    kInputLeft = 0,
    kInputRight = 1,
    kOutputLeft = 2,
    kOutputRight = 3,
    kFirstControl = 4,
    kPortCount = kFirstControl + kNumParams
};
