// The effect's processing state, apart from the host-facing object: the audio path runs on this record
// alone, so a copy of it can be run through another form of the path and compared.
//
// Owned by the audio thread once the instance runs. Only `drive` inside each filter is written from
// other threads.
#pragma once

#include "CExpMapper.h"
#include "CoefficientMemo.h"
#include "StateVariableFilter.h"
#include "VstAbi.h"

constexpr float kSmoothingStep = 0.0005f;
constexpr float kSmoothingKeep = 0.9995f;
constexpr VstInt32 kRefreshInterval = 25;
constexpr float kLowPassParkHz = 20000.0f;
constexpr float kHighPassParkHz = 20.0f;
constexpr float kLowPassMinHz = 80.0f;
constexpr float kLowPassMaxHz = 10000.0f;
constexpr float kHighPassMinHz = 80.0f;
constexpr float kHighPassMaxHz = 5000.0f;
constexpr float kMapperInitialPosition = 0.9166667f;

struct CorvelDsp {
    float dspSampleRate = 44100.0f;
    VstInt32 refreshCounter = 0;
    float knobSmoothed = 0.5f;
    StateVariableFilter lowPassLeft;
    StateVariableFilter lowPassRight;
    StateVariableFilter highPassLeft;
    StateVariableFilter highPassRight;
    CExpMapper lowPassMapper{kLowPassMinHz, kLowPassMaxHz, kMapperInitialPosition};
    CExpMapper highPassMapper{kHighPassMinHz, kHighPassMaxHz, kMapperInitialPosition};
    // Derived only: what the last refreshes computed, so that a repeated refresh costs no power function.
    CoefficientMemo memo;
};

// The parameter values a block runs with. The effect reads them once per block; a change made from
// another thread during a block is heard from the next block on.
struct CorvelControls {
    float knobTarget;
    float resonance;
};

// Processes one block. Inputs and outputs may be the same buffers; a count of 0 or less does nothing.
// No allocation, lock or system call.
void processCorvelBlock(CorvelDsp& dsp, const CorvelControls& controls, float* const* inputs,
                        float* const* outputs, VstInt32 sampleFrames);
