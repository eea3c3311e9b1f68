// Command-line options of velmora-render.
#pragma once

#include "Automation.h"

#include <optional>
#include <string>
#include <vector>

namespace render {

enum class Mode { Render, Demo, Info, Help };
enum class FileKind { Wav, Aiff, Flac };

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
    std::optional<FileKind> format;
    bool floatOutput = false;
    bool verbose = false;
    bool quiet = false;
    std::vector<ParameterSetting> settings;
    std::vector<ParameterAutomation> automations;
};

constexpr int kMinBlockSize = 1;
constexpr int kMaxBlockSize = 65536;

Options parseOptions(int argc, const char* const* argv); // throws RenderError
const char* usageText();

} // namespace render
