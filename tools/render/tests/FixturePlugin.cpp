// Small VST 2.4 plug-ins for testing velmora-render. One source, one variant per build:
//   FIXTURE_GOOD         stereo gain (out = in * 2 * "gain"); checks the host and logs its calls
//   FIXTURE_NULL_ENTRY   entry point returns null
//   FIXTURE_WRONG_MAGIC  record with a bad magic number
//   FIXTURE_ONE_OUTPUT   a single output
//   FIXTURE_MAIN_ONLY    like GOOD, but the entry point is exported only as "main"
//   FIXTURE_LONG_TEXTS   like GOOD, but its names overflow the published buffer sizes
//   FIXTURE_CRASH        like GOOD, but aborts in its second processing call
//   FIXTURE_ECHO         like GOOD, plus each input kEchoFrames later at half level: a known tail
//   FIXTURE_MONO         like ECHO with one input and one output; its log lines start "N: " for the Nth
//                        instance, and the echo shows whether each channel has an instance of its own
// GOOD appends one line per lifecycle call to the file named by RENDER_FIXTURE_LOG, if set. When the
// host breaks a rule (switching off what is not on, process while switched off, a block larger than
// announced, wrong answers to audioMasterGetSampleRate/GetBlockSize) it logs "VIOLATION ..." and
// outputs a constant 7.0.
#include "VstAbi.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

#if defined(FIXTURE_ECHO) || defined(FIXTURE_MONO)
constexpr int kEchoFrames = 64;
#else
constexpr int kEchoFrames = 0;
#endif
#if defined(FIXTURE_MONO)
constexpr int kChannels = 1;
#else
constexpr int kChannels = 2;
#endif
constexpr float kEchoLevel = 0.5f;
constexpr int kEchoSlots = kEchoFrames > 0 ? kEchoFrames : 1;

[[maybe_unused]] int instancesCreated = 0;

struct Fixture {
    AEffect effect{};
    audioMasterCallback host = nullptr;
    float gain = 0.5f;
    float offset = 0.0f;
    bool opened = false;
    bool mainsOn = false;
    float sampleRate = 0.0f;
    VstIntPtr blockSize = 0;
    bool broken = false;
    long processCalls = 0;
    long processedFrames = 0;
    FILE* log = nullptr;
    int instance = 0;
    float echo[2][kEchoSlots] = {};
    int echoAt = 0;

    void note(const char* format, double a = 0.0, double b = 0.0) {
        if (log != nullptr) {
            if (kChannels == 1) {
                std::fprintf(log, "%d: ", instance);
            }
            std::fprintf(log, format, a, b);
            std::fputc('\n', log);
            std::fflush(log);
        }
    }
    void violation(const char* what, double a = 0.0, double b = 0.0) {
        broken = true;
        if (log != nullptr)
            std::fputs("VIOLATION ", log);
        note(what, a, b);
    }
};

Fixture& fixtureOf(AEffect* effect) {
    return *static_cast<Fixture*>(effect->object);
}

#if defined(FIXTURE_LONG_TEXTS)
const char* const kParamNames[2] = {"gain-level", "offset"};
const char* const kProgramName = "A program name far too long for 24 bytes";
#else
const char* const kParamNames[2] = {"gain", "offset"};
const char* const kProgramName = "Default";
#endif

[[maybe_unused]] VstIntPtr VSTCALLBACK dispatch(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                                VstIntPtr value, void* ptr, float opt) {
    Fixture& self = fixtureOf(effect);
    char* text = static_cast<char*>(ptr);
    switch (opcode) {
    case effOpen:
        self.opened = true;
        self.note("open");
        // As if the user had turned the gain knob once: the host should count these.
        self.host(effect, audioMasterBeginEdit, 0, 0, nullptr, 0.0f);
        self.host(effect, audioMasterAutomate, 0, 0, nullptr, self.gain);
        self.host(effect, audioMasterEndEdit, 0, 0, nullptr, 0.0f);
        return 0;
    case effClose:
        self.note("processed calls %.0f frames %.0f", static_cast<double>(self.processCalls),
                  static_cast<double>(self.processedFrames));
        self.note("close");
        if (self.log != nullptr)
            std::fclose(self.log);
        delete &self;
        return 0;
    case effSetSampleRate:
        if (self.mainsOn)
            self.violation("sample rate set while switched on");
        self.sampleRate = opt;
        self.note("rate %.0f", opt);
        return 0;
    case effSetBlockSize:
        if (self.mainsOn)
            self.violation("block size set while switched on");
        self.blockSize = value;
        self.note("block %.0f", static_cast<double>(value));
        return 0;
    case effMainsChanged:
        if (!self.opened) {
            self.violation("switched before effOpen");
        }
        if (value == 0 && !self.mainsOn) {
            self.violation("switched off while not switched on");
        }
        self.mainsOn = value != 0;
        self.note("mains %.0f", static_cast<double>(value != 0));
        if (self.mainsOn) {
            const VstIntPtr rate = self.host(effect, audioMasterGetSampleRate, 0, 0, nullptr, 0.0f);
            const VstIntPtr block = self.host(effect, audioMasterGetBlockSize, 0, 0, nullptr, 0.0f);
            if (rate != static_cast<VstIntPtr>(self.sampleRate))
                self.violation("host says sample rate %.0f, was told %.0f", static_cast<double>(rate),
                               self.sampleRate);
            if (block != self.blockSize)
                self.violation("host says block size %.0f, was told %.0f", static_cast<double>(block),
                               static_cast<double>(self.blockSize));
        }
        return 0;
    case effGetParamName:
        if (index >= 0 && index < 2)
            std::strcpy(text, kParamNames[index]);
        return 0;
    case effGetParamLabel:
        std::strcpy(text, "x");
        return 0;
    case effGetParamDisplay:
        if (index >= 0 && index < 2)
            std::snprintf(text, 8, "%.2f", static_cast<double>(index == 0 ? self.gain * 2.0f : self.offset));
        return 0;
    case effGetEffectName:
        std::strcpy(text, "Fixture");
        return 1;
    case effGetVendorString:
        std::strcpy(text, "Velmora tests");
        return 1;
    case effGetProductString:
        std::strcpy(text, "render fixture");
        return 1;
    case effGetVendorVersion:
        return 1;
    case effGetPlugCategory:
        return kPlugCategEffect;
    case effGetProgramName:
        std::strcpy(text, kProgramName);
        return 0;
    case effGetProgramNameIndexed:
        if (index != 0)
            return 0;
        std::strcpy(text, kProgramName);
        return 1;
    case effCanDo:
        return -1;
    case effGetVstVersion:
        return kVstVersion;
    case effGetTailSize:
        return kEchoFrames;
    default:
        return 0;
    }
}

[[maybe_unused]] void VSTCALLBACK setParameter(AEffect* effect, VstInt32 index, float value) {
    Fixture& self = fixtureOf(effect);
    if (index == 0)
        self.gain = value;
    else if (index == 1)
        self.offset = value;
    self.note("set %.0f %.9g", index, static_cast<double>(value));
}

[[maybe_unused]] float VSTCALLBACK getParameter(AEffect* effect, VstInt32 index) {
    Fixture& self = fixtureOf(effect);
    return index == 0 ? self.gain : index == 1 ? self.offset : 0.0f;
}

[[maybe_unused]] void VSTCALLBACK processReplacing(AEffect* effect, float** inputs, float** outputs,
                                                   VstInt32 frames) {
    Fixture& self = fixtureOf(effect);
    if (!self.mainsOn)
        self.violation("process while switched off");
    if (frames < 1 || frames > self.blockSize)
        self.violation("process of %.0f frames, block size %.0f", frames,
                       static_cast<double>(self.blockSize));
    ++self.processCalls;
    self.processedFrames += frames;
#if defined(FIXTURE_CRASH)
    if (self.processCalls == 2)
        std::abort();
#endif
    for (VstInt32 i = 0; i < frames; ++i) {
        for (int channel = 0; channel < kChannels; ++channel) {
            const float in = inputs[channel][i];
            float out = in * (2.0f * self.gain) + self.offset;
            if (kEchoFrames > 0) {
                out += kEchoLevel * self.echo[channel][self.echoAt];
                self.echo[channel][self.echoAt] = in;
            }
            outputs[channel][i] = self.broken ? 7.0f : out;
        }
        if (kEchoFrames > 0) {
            self.echoAt = (self.echoAt + 1) % kEchoSlots;
        }
    }
}

AEffect* create(audioMasterCallback host) {
    if (host == nullptr || host(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0)
        return nullptr;
#if defined(FIXTURE_NULL_ENTRY)
    return nullptr;
#else
#if defined(FIXTURE_WRONG_MAGIC)
    // The host must not touch a record it rejects, so nothing would free a heap instance.
    static Fixture instance;
    Fixture* self = &instance;
#else
    Fixture* self = new Fixture;
#endif
    self->host = host;
    self->instance = ++instancesCreated;
    if (const char* path = std::getenv("RENDER_FIXTURE_LOG")) {
        self->log = std::fopen(path, "a");
    }
    AEffect& effect = self->effect;
    effect.magic = kEffectMagic;
#if defined(FIXTURE_WRONG_MAGIC)
    effect.magic = vstFourCC('N', 'o', 'p', 'e');
#endif
    effect.dispatcher = dispatch;
    effect.setParameter = setParameter;
    effect.getParameter = getParameter;
    effect.processReplacing = processReplacing;
    effect.numPrograms = 1;
    effect.numParams = 2;
    effect.numInputs = kChannels;
    effect.numOutputs = kChannels;
#if defined(FIXTURE_ONE_OUTPUT)
    effect.numOutputs = 1;
#endif
    effect.flags = effFlagsCanReplacing;
    effect.ioRatio = 1.0f;
    effect.object = self;
    effect.uniqueID = vstFourCC('F', 'x', 't', 'r');
    effect.version = 1;
    return &effect;
#endif
}

} // namespace

#if defined(FIXTURE_MAIN_ONLY)
// Exported as "main" by the linker (--defsym), like plug-ins built for old hosts.
extern "C" __attribute__((visibility("default"))) AEffect* fixtureEntry(audioMasterCallback host) {
    return create(host);
}
#else
extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback host) {
    return create(host);
}
#endif
