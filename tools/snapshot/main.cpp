// velmora-snapshot [--scale S] [--set NAME=VALUE]... OUT.png: the plug-in's editor window at given
// parameter values and display scale, as a PNG. It runs the plug-in's own code in process, with the
// window drawn offscreen: the picture is the one a host's window shows, pixel for pixel.
#include "AEffGUIEditor.h"
#include "CFrame.h"
#include "PluginEntry.h"
#include "PngEncoder.h"
#include "QuietHost.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

const char* const kUsage =
    "usage: velmora-snapshot [--scale S] [--set NAME=VALUE]... OUT.png\n"
    "  Draws the editor window with each parameter (knob, drive, reso, or 0, 1, 2) at VALUE (0 to 1),\n"
    "  at display scale S (1 to 4, 1 by default), and writes it to OUT.png.\n";

const char* const kParameterNames[] = {"knob", "drive", "reso"};

// A number from `first` to `last`, the whole text; false otherwise.
bool parseNumber(const char* text, float first, float last, float& number) {
    char* end = nullptr;
    errno = 0;
    number = std::strtof(text, &end);
    return end != text && *end == 0 && errno == 0 && number >= first && number <= last;
}

// "NAME=VALUE" as a parameter index and a value in 0..1; false with a message otherwise.
bool parseSetting(const std::string& text, std::pair<VstInt32, float>& setting) {
    const std::size_t equals = text.find('=');
    const std::string name = text.substr(0, equals);
    VstInt32 index = -1;
    for (VstInt32 i = 0; i < 3; ++i) {
        if (name == kParameterNames[i] || name == std::to_string(i)) {
            index = i;
        }
    }
    if (equals == std::string::npos || index < 0) {
        std::fprintf(stderr, "velmora-snapshot: '%s' is not NAME=VALUE with NAME knob, drive or reso\n",
                     text.c_str());
        return false;
    }
    float value = 0.0f;
    if (!parseNumber(text.c_str() + equals + 1, 0.0f, 1.0f, value)) {
        std::fprintf(stderr, "velmora-snapshot: the value in '%s' is not a number from 0 to 1\n",
                     text.c_str());
        return false;
    }
    setting = {index, value};
    return true;
}

} // namespace

// [main thread]
int main(int argc, char** argv) {
    std::vector<std::pair<VstInt32, float>> settings;
    float scale = 1.0f;
    std::string output;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (argument == "--set" && i + 1 < argc) {
            std::pair<VstInt32, float> setting;
            if (!parseSetting(argv[++i], setting)) {
                return 2;
            }
            settings.push_back(setting);
        } else if (argument == "--scale" && i + 1 < argc) {
            if (!parseNumber(argv[++i], 1.0f, 4.0f, scale)) {
                std::fprintf(stderr, "velmora-snapshot: the scale '%s' is not a number from 1 to 4\n",
                             argv[i]);
                return 2;
            }
        } else if (argument.rfind("--", 0) != 0 && output.empty()) {
            output = argument;
        } else {
            std::fputs(kUsage, stderr);
            return 2;
        }
    }
    if (output.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }

    AEffect* effect = VSTPluginMain(quietHost);
    if (effect == nullptr) {
        std::fputs("velmora-snapshot: the plug-in made no instance\n", stderr);
        return 1;
    }
    // The scale as a host asks for it, before the window opens.
    effect->dispatcher(effect, effVendorSpecific, vstFourCC('P', 'r', 'e', 'S'),
                       vstFourCC('A', 'e', 'C', 's'), nullptr, scale);
    // Values arrive with the window open, as when a user or the host moves them.
    effect->dispatcher(effect, effEditOpen, 0, 0, nullptr, 0.0f);
    for (const auto& [index, value] : settings) {
        effect->setParameter(effect, index, value);
    }
    auto* editor = static_cast<AEffGUIEditor*>(static_cast<AudioEffect*>(effect->object)->getEditor());
    const bool written = writePng(editor->getFrame()->renderAll(), output);
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    if (!written) {
        std::fprintf(stderr, "velmora-snapshot: cannot write %s\n", output.c_str());
        return 1;
    }
    return 0;
}
