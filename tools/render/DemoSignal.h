// The built-in demo: a short drum-and-synth loop synthesised in code, and the filter moves that
// --demo plays over it.
#pragma once

#include "Options.h"

#include <vector>

namespace render {

constexpr int kDemoSampleRate = 44100;
constexpr double kDemoSeconds = 12.0;

// Interleaved stereo, kDemoSeconds long. The same bits on every run: no clock, no global random state.
std::vector<float> synthesiseDemo(int sampleRate);

// knob: centre, down to full low-pass, across to full high-pass, back to centre; with drive and
// reso moves. Applied by name like --automate.
std::vector<ParameterAutomation> demoAutomation();

} // namespace render
