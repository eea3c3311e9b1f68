// What the last coefficient refreshes computed. setCoefficients and the mapper are pure functions of
// their arguments (and the filter's oversampling and the processor's rounding and flush mode), so equal
// arguments may take the stored result. Keys are compared as bit patterns: -0 and +0, or two NaNs, are
// told apart rather than guessed equal.
#pragma once

#include <cstdint>

struct FilterCoefficients {
    float cutoffHz = 0.0f;
    float freqCoef = 0.0f;
    float damping = 0.0f;
};

// One pair of filters (left and right) that a refresh always sets with the same arguments.
struct PairMemo {
    bool valid = false;
    unsigned floatMode = 0;
    std::uint32_t cutoff = 0;
    std::uint32_t resonance = 0;
    std::uint32_t sampleRate = 0;
    std::uint32_t oversamplingLeft = 0;
    std::uint32_t oversamplingRight = 0;
    FilterCoefficients left;
    FilterCoefficients right;
};

struct MapperMemo {
    bool valid = false;
    unsigned floatMode = 0;
    std::uint32_t position = 0;
    std::uint32_t value = 0; // the mapper's value after that position, to see that nothing else moved it
};

struct CoefficientMemo {
    PairMemo lowPass;
    PairMemo highPass;
    MapperMemo lowPassMapper;
    MapperMemo highPassMapper;
};
