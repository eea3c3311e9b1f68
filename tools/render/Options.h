// Command-line options of velmora-render.
#pragma once

#include "Automation.h"
#include "OutputFormat.h"

#include <string>
#include <vector>

namespace render {

enum class Mode { Render, Demo, Info, Help, Version };

struct ParameterSetting {
    std::string name; // as given: a parameter name or an index
    double value;
};

struct ParameterAutomation {
    std::string name;
    Envelope envelope;
};

struct Options {
    Mode mode = Mode::Render;
    std::string input;
    std::string output;
    std::string plugin; // empty: Velmora.so beside the executable
    std::string demoInput;
    int blockSize = 512;
    int container = 0; // --format; 0: from OUTPUT's name
    SampleRequest samples;
    int rate = 0; // --rate; 0: the input's where the output format takes it
    double tailSeconds = 0.0;
    bool verbose = false;
    bool quiet = false;
    std::vector<ParameterSetting> settings;
    std::vector<ParameterAutomation> automations;
};

constexpr int kMinBlockSize = 1;
constexpr int kMaxBlockSize = 65536;
// An hour of ring-out is more than any reverb needs, and bounds a typing error's cost.
constexpr double kMaxTailSeconds = 3600.0;

Options parseOptions(int argc, const char* const* argv); // throws RenderError
const char* usageText();

} // namespace render
