// libFuzzer target: turns each input into a sequence of host actions on one live instance (made through
// the entry point, as a host makes it) and checks after every action that
//   - no sanitizer fired (address, undefined behaviour; they abort the run themselves),
//   - every text the instance wrote is terminated within its published size and nothing was written past
//     it (a marked guard follows each text buffer; structures are allocated exactly, so the address
//     sanitizer sees any write past them),
//   - a processing call with a count of 0 or less wrote nothing,
//   - liveness: once parameters and audio are finite again (all three parameters set within [0, 1], audio
//     within [-1, 1]), the block after the first such block is entirely finite.
// The input format is described in HostActions.h. Set VELMORA_FUZZ_TRACE=1 to print the decoded actions.
#include "HostActions.h"
#include "OffscreenPlatform.h"

#include "PluginEntry.h"
#include "VstStructures.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <limits>
#include <memory>
#include <string>
#include <vector>

using namespace fuzzactions;

namespace {

const bool tracing = std::getenv("VELMORA_FUZZ_TRACE") != nullptr;

#define TRACE(...)                                                                                           \
    do {                                                                                                     \
        if (tracing) {                                                                                       \
            std::fprintf(stderr, __VA_ARGS__);                                                               \
            std::fputc('\n', stderr);                                                                        \
        }                                                                                                    \
    } while (0)

#define CHECK(condition, ...)                                                                                \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "velmora fuzz: property violated: " __VA_ARGS__);                           \
            std::fputc('\n', stderr);                                                                        \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (0)

float fromBits(std::uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::uint32_t toBits(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// Host callbacks. The garbage host's answers rotate through values no host should give.
VstIntPtr garbageState = 0;

// Edits begun and not yet ended, by parameter index: a host must see every begin matched by an end.
int openEdits[8] = {};

void countEdits(VstInt32 opcode, VstInt32 index) {
    if (opcode == audioMasterBeginEdit || opcode == audioMasterEndEdit) {
        openEdits[index & 7] += opcode == audioMasterBeginEdit ? 1 : -1;
    }
}

VstIntPtr VSTCALLBACK saneHost(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr, void*, float) {
    countEdits(opcode, index);
    switch (opcode) {
    case audioMasterVersion:
        return kVstVersion;
    case audioMasterGetSampleRate:
        return 44100;
    case audioMasterGetBlockSize:
        return 512;
    default:
        return 0;
    }
}

VstIntPtr VSTCALLBACK zeroHost(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr, void*, float) {
    countEdits(opcode, index);
    return opcode == audioMasterVersion ? kVstVersion : 0;
}

VstIntPtr VSTCALLBACK garbageHost(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr, void*, float) {
    countEdits(opcode, index);
    static const VstIntPtr answers[] = {-1,
                                        std::numeric_limits<VstIntPtr>::max(),
                                        std::numeric_limits<VstIntPtr>::min(),
                                        static_cast<VstIntPtr>(0xDEADBEEF),
                                        0x10,
                                        -48000};
    garbageState = (garbageState + 1) % static_cast<VstIntPtr>(sizeof answers / sizeof answers[0]);
    return answers[garbageState];
}

VstIntPtr VSTCALLBACK ancientHost(AEffect*, VstInt32, VstInt32, VstIntPtr, void*, float) {
    return 0;
}

// A text buffer of exactly the published size, followed by a marked guard. The first byte starts as a
// terminator (an instance that writes nothing leaves an empty text); the rest carries a marker, so a
// text that runs to the end of its buffer without a terminator is seen.
class TextBuffer {
  public:
    explicit TextBuffer(std::size_t size) : size(size), bytes(new char[size + kGuard]) {
        std::memset(bytes.get(), 'T', size);
        std::memset(bytes.get() + size, 'G', kGuard);
        bytes[0] = '\0';
    }
    char* data() { return bytes.get(); }
    void check(int opcode, int index) const {
        CHECK(std::memchr(bytes.get(), '\0', size) != nullptr,
              "opcode %d index %d: text not terminated within %zu bytes", opcode, index, size);
        for (std::size_t i = 0; i < kGuard; ++i) {
            CHECK(bytes[size + i] == 'G', "opcode %d index %d: wrote past its %zu-byte text buffer", opcode,
                  index, size);
        }
    }

  private:
    static constexpr std::size_t kGuard = 32;
    std::size_t size;
    std::unique_ptr<char[]> bytes;
};

// A structure the instance fills, allocated on its own so that any write past it is caught; its text
// fields start empty and are checked for a terminator afterwards.
template <typename T> std::unique_ptr<T> freshStructure() {
    std::unique_ptr<T> structure(new T);
    std::memset(structure.get(), 0xA5, sizeof(T));
    return structure;
}

template <std::size_t N> void clearText(char (&text)[N]) {
    text[0] = '\0';
}
template <std::size_t N> void checkText(const char (&text)[N], int opcode, const char* field) {
    CHECK(std::memchr(text, '\0', N) != nullptr, "opcode %d: %s not terminated within %zu bytes", opcode,
          field, N);
}

// Deterministic sample source for one block.
struct SampleSource {
    std::uint32_t state;
    float phase = 0.0f;

    explicit SampleSource(std::uint32_t seed) : state(seed | 1u) {}

    std::uint32_t next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    // A saw plus noise, always within [-0.9, 0.9].
    float programme() {
        phase += 0.0137f;
        if (phase > 1.0f) {
            phase -= 2.0f;
        }
        const float noise = static_cast<float>(next() >> 8) / 16777216.0f - 0.5f;
        return 0.6f * phase + 0.5f * noise;
    }
    float sample(int signal) {
        switch (signal) {
        case kSilence:
            return 0.0f;
        case kProgramme:
            return programme();
        case kRandomBits:
            return fromBits(next());
        case kNaNBurst:
            return next() % 16 == 0 ? std::numeric_limits<float>::quiet_NaN() : programme();
        case kInfinities:
            return (next() % 2 == 0 ? 1.0f : -1.0f) * (next() % 3 == 0
                                                           ? std::numeric_limits<float>::max()
                                                           : std::numeric_limits<float>::infinity());
        case kSubnormals:
            return fromBits(next() & 0x807FFFFFu);
        case kHuge:
            return fromBits((next() & 0x80FFFFFFu) | 0x7E000000u);
        default:
            if (next() % 64 == 0) {
                return fromBits(kSpecialFloats[next() % kSpecialFloatCount]);
            }
            return programme();
        }
    }
};

// Two channels of exactly `frames` samples (one sample when there are none to process).
struct Channels {
    explicit Channels(int frames)
        : count(frames > 0 ? static_cast<std::size_t>(frames) : 1u), left(new float[count]),
          right(new float[count]) {}
    float** pointers() {
        table[0] = left.get();
        table[1] = right.get();
        return table;
    }
    void fill(SampleSource& source, int signal) {
        for (std::size_t i = 0; i < count; ++i) {
            left[i] = source.sample(signal);
            right[i] = source.sample(signal);
        }
    }
    void fill(float value) {
        for (std::size_t i = 0; i < count; ++i) {
            left[i] = value;
            right[i] = value;
        }
    }
    bool allFinite() const {
        for (std::size_t i = 0; i < count; ++i) {
            if (!std::isfinite(left[i]) || !std::isfinite(right[i])) {
                return false;
            }
        }
        return true;
    }
    bool allBits(std::uint32_t bits) const {
        for (std::size_t i = 0; i < count; ++i) {
            if (toBits(left[i]) != bits || toBits(right[i]) != bits) {
                return false;
            }
        }
        return true;
    }

    std::size_t count;
    std::unique_ptr<float[]> left;
    std::unique_ptr<float[]> right;
    float* table[2] = {nullptr, nullptr};
};

class Session {
  public:
    explicit Session(FuzzedDataProvider& input) : input(input) {}

    void run() {
        const int hostKind = input.ConsumeIntegralInRange<int>(0, kHostKinds - 1);
        TRACE("host %d", hostKind);
        garbageState = 0;
        std::fill(std::begin(openEdits), std::end(openEdits), 0);
        const audioMasterCallback hosts[kHostKinds] = {saneHost, zeroHost, garbageHost, ancientHost};
        effect = VSTPluginMain(hosts[hostKind]);
        if (hostKind == kAncientHost) {
            CHECK(effect == nullptr, "a host answering 0 to the version request got an instance");
            return;
        }
        CHECK(effect != nullptr, "no instance for host kind %d", hostKind);
        CHECK(effect->magic == kEffectMagic, "record without the magic number");

        for (int step = 0; step < kMaxActions && input.remaining_bytes() > 0 && effect != nullptr; ++step) {
            switch (input.ConsumeIntegralInRange<int>(0, kActionKinds - 1)) {
            case kDispatch:
                dispatchAction();
                break;
            case kSetParameter: {
                const VstInt32 index = parameterIndex();
                const float value = parameterValue();
                TRACE("setParameter %d %a (bits %08x)", index, static_cast<double>(value), toBits(value));
                effect->setParameter(effect, index, value);
                break;
            }
            case kGetParameter: {
                const VstInt32 index = parameterIndex();
                const float value = effect->getParameter(effect, index);
                TRACE("getParameter %d -> %a", index, static_cast<double>(value));
                break;
            }
            case kProcess:
                processAction();
                break;
            case kRecover:
                recoverAction();
                break;
            case kWindow:
                windowAction();
                break;
            default:
                close();
                break;
            }
        }
        if (effect != nullptr) {
            checkLiveness(0.3f, 0.2f, 0.5f, 64, 64, 0x5EEDu);
            close();
        }
        for (int index = 0; index < 8; ++index) {
            CHECK(openEdits[index] == 0, "%d edits of index %d begun and not ended", openEdits[index], index);
        }
    }

  private:
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }

    void close() {
        TRACE("effClose");
        const VstIntPtr answer = effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
        CHECK(answer == 1, "effClose answered %lld", static_cast<long long>(answer));
        effect = nullptr;
    }

    VstInt32 parameterIndex() {
        const int choice = input.ConsumeIntegralInRange<int>(0, kIndexChoices - 1);
        switch (choice) {
        case 0:
        case 1:
        case 2:
            return choice;
        case 3:
            return -1;
        case 4:
            return 3;
        case 5:
            return std::numeric_limits<VstInt32>::min();
        case 6:
            return std::numeric_limits<VstInt32>::max();
        default:
            return input.ConsumeIntegral<VstInt32>();
        }
    }

    float parameterValue() {
        switch (input.ConsumeIntegralInRange<int>(0, kFloatChoices - 1)) {
        case kFloatUnit:
            return static_cast<float>(input.ConsumeIntegralInRange<int>(0, kUnitSteps)) / kUnitSteps;
        case kFloatSpecial:
            return fromBits(kSpecialFloats[input.ConsumeIntegralInRange<int>(0, kSpecialFloatCount - 1)]);
        default:
            return fromBits(input.ConsumeIntegral<std::uint32_t>());
        }
    }

    void processAction() {
        const int frames = input.ConsumeIntegralInRange<int>(kMinFrames, kMaxFrames);
        const int call = input.ConsumeIntegralInRange<int>(0, kProcessCalls - 1);
        const bool inPlace = input.ConsumeBool();
        const int signal = input.ConsumeIntegralInRange<int>(0, kSignalKinds - 1);
        const std::uint32_t seed = input.ConsumeIntegral<std::uint32_t>();
        TRACE("process %d frames, call %d, in place %d, signal %d, seed %u", frames, call, inPlace, signal,
              seed);

        SampleSource source(seed);
        Channels in(frames);
        Channels out(frames);
        in.fill(source, signal);
        constexpr float kSentinel = 12345.0f;
        out.fill(kSentinel);
        const std::uint32_t firstInput = toBits(in.left[0]);
        float** outputs = inPlace ? in.pointers() : out.pointers();

        if (call == kDoubleReplacing) {
            std::vector<double> dl(in.count), dr(in.count), ol(in.count), orr(in.count);
            double* dins[2] = {dl.data(), dr.data()};
            double* douts[2] = {inPlace ? dl.data() : ol.data(), inPlace ? dr.data() : orr.data()};
            effect->processDoubleReplacing(effect, dins, douts, frames);
            return;
        }
        if (call == kAccumulating) {
            effect->process(effect, in.pointers(), outputs, frames);
            return;
        }
        effect->processReplacing(effect, in.pointers(), outputs, frames);
        if (frames <= 0) {
            CHECK(inPlace ? toBits(in.left[0]) == firstInput : out.allBits(toBits(kSentinel)),
                  "processReplacing with %d frames wrote to its outputs", frames);
        }
    }

    void recoverAction() {
        const float knob = static_cast<float>(input.ConsumeIntegralInRange<int>(0, kUnitSteps)) / kUnitSteps;
        const float drive = static_cast<float>(input.ConsumeIntegralInRange<int>(0, kUnitSteps)) / kUnitSteps;
        const float reso = static_cast<float>(input.ConsumeIntegralInRange<int>(0, kUnitSteps)) / kUnitSteps;
        const int recoveryFrames = input.ConsumeIntegralInRange<int>(1, kMaxFrames);
        const int checkedFrames = input.ConsumeIntegralInRange<int>(1, kMaxFrames);
        const std::uint32_t seed = input.ConsumeIntegral<std::uint32_t>();
        checkLiveness(knob, drive, reso, recoveryFrames, checkedFrames, seed);
    }

    // Finite parameters within [0, 1] and finite audio within [-1, 1]: after one block the output must
    // be finite again, whatever came before.
    void checkLiveness(float knob, float drive, float reso, int recoveryFrames, int checkedFrames,
                       std::uint32_t seed) {
        TRACE("recover knob %g drive %g reso %g, %d then %d frames", static_cast<double>(knob),
              static_cast<double>(drive), static_cast<double>(reso), recoveryFrames, checkedFrames);
        effect->setParameter(effect, 0, knob);
        effect->setParameter(effect, 1, drive);
        effect->setParameter(effect, 2, reso);
        SampleSource source(seed);
        Channels recoveryIn(recoveryFrames);
        Channels recoveryOut(recoveryFrames);
        recoveryIn.fill(source, kProgramme);
        effect->processReplacing(effect, recoveryIn.pointers(), recoveryOut.pointers(), recoveryFrames);
        Channels in(checkedFrames);
        Channels out(checkedFrames);
        in.fill(source, kProgramme);
        effect->processReplacing(effect, in.pointers(), out.pointers(), checkedFrames);
        CHECK(out.allFinite(),
              "output still not finite one block after finite parameters and audio returned "
              "(knob %g drive %g reso %g)",
              static_cast<double>(knob), static_cast<double>(drive), static_cast<double>(reso));
    }

    void dispatchAction();

    void windowAction() {
        OffscreenPlatform& platform = OffscreenPlatform::instance();
        const int event = input.ConsumeIntegralInRange<int>(0, kWindowEvents - 1);
        if (event == kFireTimers) {
            TRACE("window: fire timers");
            platform.fireTimers();
            return;
        }
        if (event == kAdvanceClock) {
            const int milliseconds = input.ConsumeIntegralInRange<int>(0, kMaxAdvance);
            TRACE("window: advance %d ms", milliseconds);
            platform.advance(static_cast<std::uint32_t>(milliseconds));
            return;
        }
        OffscreenFrame* window = platform.lastFrame();
        if (event == kPaint) {
            TRACE("window: paint");
            if (window != nullptr) {
                window->paint();
            }
            return;
        }
        const CPoint where(input.ConsumeIntegralInRange<int>(kMinPoint, kMaxPointX),
                           input.ConsumeIntegralInRange<int>(kMinPoint, kMaxPointY));
        const std::uint8_t bits = input.ConsumeIntegral<std::uint8_t>();
        const CButtonState buttons = ((bits & 1) != 0 ? kLButton : 0) | ((bits & 2) != 0 ? kShift : 0) |
                                     ((bits & 4) != 0 ? kControl : 0);
        const float distance = event == kWheel ? parameterValue() : 0.0f;
        TRACE("window: event %d at %g,%g buttons %x distance %a", event, where.x, where.y, buttons,
              static_cast<double>(distance));
        if (window == nullptr) {
            return;
        }
        switch (event) {
        case kMouseDown:
            window->mouseDown(where, buttons);
            break;
        case kMouseMoved:
            window->mouseMoved(where, buttons);
            break;
        case kMouseUp:
            window->mouseUp(where, buttons);
            break;
        default:
            window->wheel(where, distance, buttons);
            break;
        }
    }

    FuzzedDataProvider& input;
    AEffect* effect = nullptr;
};

void Session::dispatchAction() {
    const VstInt32 opcode = input.ConsumeIntegralInRange<VstInt32>(kMinOpcode, kMaxOpcode);
    const VstInt32 index = input.ConsumeIntegral<VstInt32>();
    VstIntPtr value = static_cast<VstIntPtr>(input.ConsumeIntegral<std::int64_t>());
    const float opt = fromBits(input.ConsumeIntegral<std::uint32_t>());
    TRACE("dispatch opcode %d index %d value %lld opt %a", opcode, index, static_cast<long long>(value),
          static_cast<double>(opt));

    if (opcode == effClose) {
        close();
        return;
    }

    if (const std::size_t size = textSize(opcode)) {
        TextBuffer text(size);
        dispatch(opcode, index, value, text.data(), opt);
        text.check(opcode, index);
        return;
    }

    switch (opcode) {
    case effSetProgramName: {
        // Any length, terminated where the input says; what follows the terminator is not the effect's.
        const int length = input.ConsumeIntegralInRange<int>(0, kMaxProgramName);
        std::vector<char> name = input.ConsumeBytes<char>(static_cast<std::size_t>(length));
        name.resize(static_cast<std::size_t>(length), 'n');
        name.push_back('\0');
        TRACE("  program name of %d characters", length);
        name.shrink_to_fit();
        std::unique_ptr<char[]> exact(new char[name.size()]);
        std::memcpy(exact.get(), name.data(), name.size());
        dispatch(opcode, index, value, exact.get(), opt);
        // The name must come back within the published size, whatever went in.
        TextBuffer text(kVstMaxProgNameLen);
        dispatch(effGetProgramName, 0, 0, text.data(), 0.0f);
        text.check(effGetProgramName, 0);
        return;
    }
    case effEditGetRect: {
        ERect* rect = nullptr;
        dispatch(opcode, index, value, &rect, opt);
        if (rect != nullptr) {
            volatile VstInt16 corner =
                static_cast<VstInt16>(rect->top + rect->left + rect->bottom + rect->right);
            (void)corner;
        }
        return;
    }
    case effEditOpen: {
        int window = 0; // the offscreen platform keeps the parent and never looks at it
        dispatch(opcode, index, value, input.ConsumeBool() ? &window : nullptr, opt);
        return;
    }
    case effGetChunk: {
        void* chunk = nullptr;
        const VstIntPtr bytes = dispatch(opcode, index, value, &chunk, opt);
        if (bytes > 0 && chunk != nullptr) {
            volatile unsigned char sum = 0;
            for (VstIntPtr i = 0; i < bytes; ++i) {
                sum = static_cast<unsigned char>(sum + static_cast<unsigned char*>(chunk)[i]);
            }
        }
        return;
    }
    case effSetChunk: {
        const int size = input.ConsumeIntegralInRange<int>(0, kMaxChunk);
        std::vector<unsigned char> bytes = input.ConsumeBytes<unsigned char>(static_cast<std::size_t>(size));
        bytes.resize(static_cast<std::size_t>(size), 0x5A);
        std::unique_ptr<unsigned char[]> exact(new unsigned char[bytes.size() + 1]);
        if (!bytes.empty()) {
            std::memcpy(exact.get(), bytes.data(), bytes.size());
        }
        dispatch(opcode, index, static_cast<VstIntPtr>(size), exact.get(), opt);
        return;
    }
    case effProcessEvents: {
        const int count = input.ConsumeIntegralInRange<int>(0, kMaxEvents);
        std::vector<std::unique_ptr<unsigned char[]>> storage;
        const std::size_t listBytes =
            sizeof(VstEvents) + (count > 2 ? static_cast<std::size_t>(count - 2) * sizeof(VstEvent*) : 0);
        storage.emplace_back(new unsigned char[listBytes]());
        auto* events = reinterpret_cast<VstEvents*>(storage.back().get());
        events->numEvents = count;
        // The list really holds `count` entries, whatever the declared length of the array.
        VstEvent** slots = events->events;
        for (int i = 0; i < count; ++i) {
            const int kind = input.ConsumeIntegralInRange<int>(0, 2);
            const VstInt32 delta = input.ConsumeIntegral<VstInt32>();
            const std::uint32_t bytes = input.ConsumeIntegral<std::uint32_t>();
            VstEvent* event = nullptr;
            if (kind == 1) {
                const int dumpBytes = input.ConsumeIntegralInRange<int>(0, kMaxSysexBytes);
                storage.emplace_back(new unsigned char[sizeof(VstMidiSysexEvent)]());
                auto* sysex = reinterpret_cast<VstMidiSysexEvent*>(storage.back().get());
                storage.emplace_back(new unsigned char[static_cast<std::size_t>(dumpBytes) + 1]());
                sysex->type = kVstSysExType;
                sysex->byteSize = sizeof(VstMidiSysexEvent);
                sysex->dumpBytes = dumpBytes;
                sysex->sysexDump = reinterpret_cast<char*>(storage.back().get());
                event = reinterpret_cast<VstEvent*>(sysex);
            } else {
                storage.emplace_back(new unsigned char[sizeof(VstMidiEvent)]());
                auto* midi = reinterpret_cast<VstMidiEvent*>(storage.back().get());
                midi->type = kind == 0 ? kVstMidiType : static_cast<VstInt32>(kVstAudioType + bytes % 4);
                midi->byteSize = sizeof(VstMidiEvent);
                std::memcpy(midi->midiData, &bytes, sizeof midi->midiData);
                event = reinterpret_cast<VstEvent*>(midi);
            }
            event->deltaFrames = delta;
            slots[i] = event;
        }
        dispatch(opcode, index, value, events, opt);
        return;
    }
    case effString2Parameter:
    case effCanDo: {
        const int choice = input.ConsumeIntegralInRange<int>(0, kCapabilityChoices - 1);
        const std::string text = choice == 0 ? input.ConsumeRandomLengthString(kMaxCapability)
                                             : std::string(kCapabilities[choice - 1]);
        TRACE("  text \"%s\"", text.c_str());
        std::unique_ptr<char[]> exact(new char[text.size() + 1]);
        std::memcpy(exact.get(), text.c_str(), text.size() + 1);
        dispatch(opcode, index, value, exact.get(), opt);
        return;
    }
    case effGetInputProperties:
    case effGetOutputProperties: {
        auto pin = freshStructure<VstPinProperties>();
        clearText(pin->label);
        clearText(pin->shortLabel);
        dispatch(opcode, index, value, pin.get(), opt);
        checkText(pin->label, opcode, "pin label");
        checkText(pin->shortLabel, opcode, "pin short label");
        return;
    }
    case effProcessVarIo: {
        const int inFrames = input.ConsumeIntegralInRange<int>(0, kMaxVarIoFrames);
        const int outFrames = input.ConsumeIntegralInRange<int>(0, kMaxVarIoFrames);
        Channels in(inFrames);
        Channels out(outFrames);
        in.fill(0.25f);
        VstInt32 inProcessed = 0;
        VstInt32 outProcessed = 0;
        auto io = freshStructure<VstVariableIo>();
        io->inputs = in.pointers();
        io->outputs = out.pointers();
        io->numSamplesInput = inFrames;
        io->numSamplesOutput = outFrames;
        io->numSamplesInputProcessed = &inProcessed;
        io->numSamplesOutputProcessed = &outProcessed;
        dispatch(opcode, index, value, io.get(), opt);
        return;
    }
    case effSetSpeakerArrangement: {
        auto in = freshStructure<VstSpeakerArrangement>();
        auto out = freshStructure<VstSpeakerArrangement>();
        in->type = kSpeakerArrStereo;
        in->numChannels = input.ConsumeIntegralInRange<int>(0, kMaxSpeakers);
        out->type = kSpeakerArrStereo;
        out->numChannels = input.ConsumeIntegralInRange<int>(0, kMaxSpeakers);
        dispatch(opcode, index, reinterpret_cast<VstIntPtr>(in.get()), out.get(), opt);
        return;
    }
    case effGetParameterProperties: {
        auto properties = freshStructure<VstParameterProperties>();
        clearText(properties->label);
        clearText(properties->shortLabel);
        clearText(properties->categoryLabel);
        dispatch(opcode, index, value, properties.get(), opt);
        checkText(properties->label, opcode, "parameter label");
        checkText(properties->shortLabel, opcode, "parameter short label");
        checkText(properties->categoryLabel, opcode, "parameter category label");
        return;
    }
    case effGetMidiProgramName:
    case effGetCurrentMidiProgram: {
        auto program = freshStructure<MidiProgramName>();
        program->thisProgramIndex = index;
        clearText(program->name);
        dispatch(opcode, index, value, program.get(), opt);
        checkText(program->name, opcode, "MIDI program name");
        return;
    }
    case effGetMidiProgramCategory: {
        auto category = freshStructure<MidiProgramCategory>();
        category->thisCategoryIndex = index;
        clearText(category->name);
        dispatch(opcode, index, value, category.get(), opt);
        checkText(category->name, opcode, "MIDI program category");
        return;
    }
    case effGetMidiKeyName: {
        auto key = freshStructure<MidiKeyName>();
        key->thisProgramIndex = index;
        key->thisKeyNumber = static_cast<VstInt32>(value & 0x7F);
        clearText(key->keyName);
        dispatch(opcode, index, value, key.get(), opt);
        checkText(key->keyName, opcode, "MIDI key name");
        return;
    }
    case effGetSpeakerArrangement: {
        VstSpeakerArrangement* in = nullptr;
        VstSpeakerArrangement* out = nullptr;
        dispatch(opcode, index, reinterpret_cast<VstIntPtr>(&in), &out, opt);
        for (VstSpeakerArrangement* arrangement : {in, out}) {
            if (arrangement != nullptr) {
                CHECK(arrangement->numChannels >= 0 && arrangement->numChannels <= 64,
                      "speaker arrangement with %d channels", arrangement->numChannels);
                volatile float sum = 0.0f;
                for (VstInt32 i = 0; i < arrangement->numChannels; ++i) {
                    sum = sum + arrangement->speakers[i].azimuth;
                }
            }
        }
        return;
    }
    case effBeginLoadBank:
    case effBeginLoadProgram: {
        auto info = freshStructure<VstPatchChunkInfo>();
        info->version = 1;
        info->pluginUniqueID = index;
        info->pluginVersion = static_cast<VstInt32>(value);
        info->numElements = 1;
        dispatch(opcode, index, value, info.get(), opt);
        return;
    }
    default: {
        // Opcodes without a pointer argument, deprecated and unknown ones: a host passes null, or now
        // and then a buffer of its own that the effect must leave alone.
        std::unique_ptr<unsigned char[]> scratch(new unsigned char[256]());
        dispatch(opcode, index, value, input.ConsumeBool() ? scratch.get() : nullptr, opt);
        return;
    }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    Session session(input);
    session.run();
    return 0;
}
