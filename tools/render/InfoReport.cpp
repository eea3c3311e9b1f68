#include "InfoReport.h"

#include "Rack.h"
#include "VstStructures.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

namespace render {

const char* const kPluginCapabilities[8] = {
    "sendVstEvents",      "sendVstMidiEvent", "receiveVstEvents", "receiveVstMidiEvent",
    "receiveVstTimeInfo", "offline",          "midiProgramNames", "bypass"};

namespace {

// Host buffers are this large whatever the published size, so that an overlong text is seen and
// reported here instead of overwriting our memory.
constexpr size_t kProbeSize = 512;
constexpr unsigned char kUntouched = 0xA5;

class TextProbe {
  public:
    TextProbe(Plugin& plugin, std::ostream& warnings) : plugin_(plugin), warnings_(warnings) {}

    // Asks with `opcode` and returns the text, or "" if the plug-in wrote nothing.
    std::string ask(const std::string& call, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                    size_t published, VstIntPtr* answer = nullptr) {
        unsigned char buffer[kProbeSize];
        std::memset(buffer, kUntouched, sizeof(buffer));
        const VstIntPtr result = plugin_.dispatch(opcode, index, value, buffer);
        if (answer != nullptr)
            *answer = result;

        size_t touched = 0;
        for (size_t i = 0; i < kProbeSize; ++i) {
            if (buffer[i] != kUntouched)
                touched = i + 1;
        }
        if (touched == 0)
            return std::string();
        const void* end = std::memchr(buffer, '\0', kProbeSize);
        if (end == nullptr) {
            warn(call + " wrote a text with no terminator (published buffer: " + std::to_string(published) +
                 " bytes)");
            return std::string(reinterpret_cast<const char*>(buffer), published - 1);
        }
        const size_t length = static_cast<size_t>(static_cast<const unsigned char*>(end) - buffer);
        const std::string text(reinterpret_cast<const char*>(buffer), length);
        if (length >= published) {
            warn(call + " wrote \"" + text + "\", " + std::to_string(length) + " characters; the published " +
                 std::to_string(published) + "-byte buffer holds " + std::to_string(published - 1));
        } else if (touched > published) {
            warn(call + " wrote past the published " + std::to_string(published) + "-byte buffer (" +
                 std::to_string(touched) + " bytes touched)");
        }
        return text;
    }

    int faults() const { return faults_; }

  private:
    void warn(const std::string& message) {
        warnings_ << "velmora-render: warning: " << message << '\n';
        ++faults_;
    }

    Plugin& plugin_;
    std::ostream& warnings_;
    int faults_ = 0;
};

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

std::string fourCharacters(VstInt32 id) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = static_cast<char>((static_cast<uint32_t>(id) >> shift) & 0xFF);
        text += std::isprint(static_cast<unsigned char>(c)) ? c : '?';
    }
    return text;
}

std::string flagNames(VstInt32 flags) {
    static const struct {
        VstInt32 bit;
        const char* name;
    } kFlags[] = {{effFlagsHasEditor, "HasEditor"},
                  {effFlagsHasClip, "HasClip"},
                  {effFlagsHasVu, "HasVu"},
                  {effFlagsCanMono, "CanMono"},
                  {effFlagsCanReplacing, "CanReplacing"},
                  {effFlagsProgramChunks, "ProgramChunks"},
                  {effFlagsIsSynth, "IsSynth"},
                  {effFlagsNoSoundInStop, "NoSoundInStop"},
                  {effFlagsExtIsAsync, "ExtIsAsync"},
                  {effFlagsExtHasBuffer, "ExtHasBuffer"},
                  {effFlagsCanDoubleReplacing, "CanDoubleReplacing"}};
    char hex[16];
    std::snprintf(hex, sizeof(hex), "0x%08x", static_cast<unsigned>(flags));
    std::string names;
    VstInt32 known = 0;
    for (const auto& flag : kFlags) {
        known |= flag.bit;
        if (flags & flag.bit)
            names += (names.empty() ? "" : ", ") + std::string(flag.name);
    }
    if (flags & ~known)
        names += (names.empty() ? "" : ", ") + std::string("unknown bits");
    return std::string(hex) + (names.empty() ? "" : " (" + names + ")");
}

const char* categoryName(VstIntPtr category) {
    static const char* const kNames[] = {"unknown",     "effect",          "synth",       "analysis",
                                         "mastering",   "spatialiser",     "room effect", "surround effect",
                                         "restoration", "offline process", "shell",       "generator"};
    if (category >= 0 && category < kPlugCategMaxCount)
        return kNames[category];
    return "invalid";
}

const char* canDoText(VstIntPtr answer) {
    if (answer > 0)
        return "yes";
    if (answer < 0)
        return "no";
    return "don't know";
}

} // namespace

int printInfo(Plugin& plugin, std::ostream& out, std::ostream& warnings) {
    AEffect& effect = plugin.effect();
    TextProbe probe(plugin, warnings);

    out << "plug-in:         " << plugin.path() << '\n';
    out << "effect name:     "
        << quoted(probe.ask("effGetEffectName", effGetEffectName, 0, 0, kVstMaxEffectNameLen)) << '\n';
    out << "vendor:          "
        << quoted(probe.ask("effGetVendorString", effGetVendorString, 0, 0, kVstMaxVendorStrLen)) << '\n';
    out << "product:         "
        << quoted(probe.ask("effGetProductString", effGetProductString, 0, 0, kVstMaxProductStrLen)) << '\n';
    out << "vendor version:  " << plugin.dispatch(effGetVendorVersion) << '\n';
    out << "VST version:     " << plugin.dispatch(effGetVstVersion) << '\n';
    char hex[16];
    std::snprintf(hex, sizeof(hex), "0x%08x", static_cast<unsigned>(effect.uniqueID));
    out << "unique ID:       " << fourCharacters(effect.uniqueID) << " (" << hex << ")\n";
    out << "version:         " << effect.version << '\n';
    out << "inputs:          " << effect.numInputs << '\n';
    out << "outputs:         " << effect.numOutputs << '\n';
    out << "renders as:      " << describeLayout(effect) << '\n';
    out << "flags:           " << flagNames(effect.flags) << '\n';
    const VstIntPtr category = plugin.dispatch(effGetPlugCategory);
    out << "category:        " << category << " (" << categoryName(category) << ")\n";
    out << "initial delay:   " << effect.initialDelay << '\n';
    out << "tail size:       " << plugin.dispatch(effGetTailSize) << '\n';

    out << "parameters:      " << effect.numParams << '\n';
    for (VstInt32 i = 0; i < effect.numParams; ++i) {
        const std::string at = "(" + std::to_string(i) + ")";
        const std::string name = probe.ask("effGetParamName" + at, effGetParamName, i, 0, kVstMaxParamStrLen);
        const std::string label =
            probe.ask("effGetParamLabel" + at, effGetParamLabel, i, 0, kVstMaxParamStrLen);
        const std::string display =
            probe.ask("effGetParamDisplay" + at, effGetParamDisplay, i, 0, kVstMaxParamStrLen);
        char line[160];
        std::snprintf(line, sizeof(line), "  %2d  name %-10s  value %.6f  display %-10s  label %s\n",
                      static_cast<int>(i), quoted(name).c_str(),
                      static_cast<double>(effect.getParameter(&effect, i)), quoted(display).c_str(),
                      quoted(label).c_str());
        out << line;
    }

    out << "programs:        " << effect.numPrograms << " (current " << plugin.dispatch(effGetProgram)
        << ")\n";
    for (VstInt32 i = 0; i < effect.numPrograms; ++i) {
        VstIntPtr answer = 0;
        const std::string name = probe.ask("effGetProgramNameIndexed(" + std::to_string(i) + ")",
                                           effGetProgramNameIndexed, i, -1, kVstMaxProgNameLen, &answer);
        out << "  " << i << "  " << (answer ? quoted(name) : std::string("(no name given)")) << '\n';
    }
    out << "current program: "
        << quoted(probe.ask("effGetProgramName", effGetProgramName, 0, 0, kVstMaxProgNameLen)) << '\n';

    out << "capabilities (effCanDo):\n";
    for (const char* capability : kPluginCapabilities) {
        const VstIntPtr answer = plugin.dispatch(effCanDo, 0, 0, const_cast<char*>(capability));
        char line[80];
        std::snprintf(line, sizeof(line), "  %-20s %-10s (%ld)\n", capability, canDoText(answer),
                      static_cast<long>(answer));
        out << line;
    }

    const HostContext& host = plugin.host();
    out << "host notifications: automate " << host.automateCount << ", beginEdit " << host.beginEditCount
        << ", endEdit " << host.endEditCount << '\n';
    out << "text checks:     "
        << (probe.faults() == 0 ? std::string("all texts terminated within the published sizes")
                                : std::to_string(probe.faults()) + " fault(s), see warnings")
        << '\n';
    return probe.faults();
}

} // namespace render
