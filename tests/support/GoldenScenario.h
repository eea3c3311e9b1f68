// A scripted run of a live instance, driven only through its record the way a host drives it: knob
// automation across every zone, drive and resonance moves, a sample-rate change, odd block sizes and
// in-place blocks. Its output digest pins the effect's sound bit for bit.
#pragma once

#include "VstAbi.h"

#include <cstdint>
#include <string>
#include <vector>

struct GoldenRun {
    std::uint64_t digest = 0;
    std::vector<float> left;
    std::vector<float> right;
};

// Runs the whole scenario on an instance fresh from the entry point. Uses only portable arithmetic
// for the input signal, so every platform feeds the same bits.
GoldenRun runGoldenScenario(AEffect* effect);

// FNV-1a over the bit patterns of the samples.
std::uint64_t digestSamples(const std::vector<float>& left, const std::vector<float>& right);

// The committed digest, stored as 16 hex digits in the given file.
bool readDigestFile(const std::string& path, std::uint64_t& digest);
bool writeDigestFile(const std::string& path, std::uint64_t digest);
