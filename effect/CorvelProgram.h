// One program: the three parameter values in index order and a name of at most 23 characters.
#pragma once

#include "CorvelParameters.h"
#include "RelaxedFloat.h"

struct CorvelProgram {
    static constexpr int kNameSize = 24; // terminator included

    // Written by setParameter on any thread, read back by setProgram on the user-interface thread.
    RelaxedFloat values[kNumParams] = {0.5f, 0.0f, 0.5f};
    char name[kNameSize] = "Init";
};
