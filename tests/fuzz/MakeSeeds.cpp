// Writes the fuzzer's seed corpus: small inputs that walk an instance through every knob zone, feed it
// non-finite audio and parameters, give it long program names, impossible sample rates, every opcode and
// odd block sizes. Each seed is encoded the way FuzzedDataProvider decodes it: integral choices are read
// from the end of the input (most significant byte first), byte strings from the front.
//
// Usage: velmora_fuzz_make_seeds DIRECTORY
#include "HostActions.h"
#include "VstStructures.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

using namespace fuzzactions;

namespace {

std::uint32_t bitsOf(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

class Seed {
  public:
    explicit Seed(int host) { integral<int>(0, kHostKinds - 1, host); }

    // Mirrors ConsumeIntegralInRange: as many bytes as the range needs, the first one read the most
    // significant.
    template <typename T> void integral(T min, T max, T value) {
        const std::uint64_t range = static_cast<std::uint64_t>(max) - static_cast<std::uint64_t>(min);
        const std::uint64_t offset = static_cast<std::uint64_t>(value) - static_cast<std::uint64_t>(min);
        int bytes = 0;
        for (std::size_t shift = 0; shift < sizeof(T) * 8 && (range >> shift) > 0; shift += 8) {
            ++bytes;
        }
        for (int i = 0; i < bytes; ++i) {
            back.push_back(static_cast<std::uint8_t>(offset >> (8 * (bytes - 1 - i))));
        }
    }
    template <typename T> void whole(T value) {
        integral<T>(std::numeric_limits<T>::min(), std::numeric_limits<T>::max(), value);
    }
    void boolean(bool value) { whole<std::uint8_t>(value ? 1 : 0); }
    void bytes(const std::string& text) { front.insert(front.end(), text.begin(), text.end()); }
    // Mirrors ConsumeRandomLengthString: backslashes doubled, a backslash and another character end it.
    void randomLengthString(const std::string& text) {
        for (char c : text) {
            front.push_back(static_cast<std::uint8_t>(c));
            if (c == '\\') {
                front.push_back('\\');
            }
        }
        if (text.size() < static_cast<std::size_t>(kMaxCapability)) {
            front.push_back('\\');
            front.push_back('x');
        }
    }

    void action(Action kind) { integral<int>(0, kActionKinds - 1, kind); }

    // A dispatcher call whose pointer needs nothing more from the input (null for the others).
    void dispatch(int opcode, VstInt32 index = 0, std::int64_t value = 0, float opt = 0.0f) {
        action(kDispatch);
        integral<int>(kMinOpcode, kMaxOpcode, opcode);
        whole<VstInt32>(index);
        whole<std::int64_t>(value);
        whole<std::uint32_t>(bitsOf(opt));
        if (opcode != effClose && !hasOwnPointer(opcode)) {
            boolean(false);
        }
    }
    void programName(const std::string& name) {
        dispatch(effSetProgramName);
        integral<int>(0, kMaxProgramName, static_cast<int>(name.size()));
        bytes(name);
    }
    void capability(int opcode, int choice, const std::string& text = "") {
        dispatch(opcode);
        integral<int>(0, kCapabilityChoices - 1, choice);
        if (choice == 0) {
            randomLengthString(text);
        }
    }

    void index(VstInt32 parameter) {
        switch (parameter) {
        case 0:
        case 1:
        case 2:
            integral<int>(0, kIndexChoices - 1, parameter);
            break;
        case -1:
            integral<int>(0, kIndexChoices - 1, 3);
            break;
        case 3:
            integral<int>(0, kIndexChoices - 1, 4);
            break;
        default:
            integral<int>(0, kIndexChoices - 1, kIndexChoices - 1);
            whole<VstInt32>(parameter);
            break;
        }
    }
    void setUnit(VstInt32 parameter, float value) {
        action(kSetParameter);
        index(parameter);
        integral<int>(0, kFloatChoices - 1, kFloatUnit);
        integral<int>(0, kUnitSteps, static_cast<int>(value * kUnitSteps + 0.5f));
    }
    void setSpecial(VstInt32 parameter, int special) {
        action(kSetParameter);
        index(parameter);
        integral<int>(0, kFloatChoices - 1, kFloatSpecial);
        integral<int>(0, kSpecialFloatCount - 1, special);
    }
    void setBits(VstInt32 parameter, std::uint32_t bits) {
        action(kSetParameter);
        index(parameter);
        integral<int>(0, kFloatChoices - 1, kFloatBits);
        whole<std::uint32_t>(bits);
    }
    void get(VstInt32 parameter) {
        action(kGetParameter);
        index(parameter);
    }
    void process(int frames, Signal signal, bool inPlace = false, ProcessCall call = kReplacing,
                 std::uint32_t seed = 1) {
        action(kProcess);
        integral<int>(kMinFrames, kMaxFrames, frames);
        integral<int>(0, kProcessCalls - 1, call);
        boolean(inPlace);
        integral<int>(0, kSignalKinds - 1, signal);
        whole<std::uint32_t>(seed);
    }
    void recover(float knob, float drive, float reso, int recoveryFrames, int checkedFrames) {
        action(kRecover);
        for (float value : {knob, drive, reso}) {
            integral<int>(0, kUnitSteps, static_cast<int>(value * kUnitSteps + 0.5f));
        }
        integral<int>(1, kMaxFrames, recoveryFrames);
        integral<int>(1, kMaxFrames, checkedFrames);
        whole<std::uint32_t>(7);
    }

    void window(WindowEvent event) {
        action(kWindow);
        integral<int>(0, kWindowEvents - 1, event);
    }
    void advance(int milliseconds) {
        window(kAdvanceClock);
        integral<int>(0, kMaxAdvance, milliseconds);
    }
    // bits: 1 left button, 2 Shift, 4 Control.
    void pointer(WindowEvent event, int x, int y, std::uint8_t bits) {
        window(event);
        integral<int>(kMinPoint, kMaxPointX, x);
        integral<int>(kMinPoint, kMaxPointY, y);
        whole<std::uint8_t>(bits);
    }
    void wheel(int x, int y, std::uint8_t bits, float distance) {
        pointer(kWheel, x, y, bits);
        integral<int>(0, kFloatChoices - 1, kFloatUnit);
        integral<int>(0, kUnitSteps, static_cast<int>(distance * kUnitSteps + 0.5f));
    }
    void openEditor(bool withParent) {
        dispatch(effEditOpen);
        boolean(withParent);
    }

    bool write(const std::string& path) const {
        std::vector<std::uint8_t> data = front;
        data.insert(data.end(), back.rbegin(), back.rend());
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (file == nullptr) {
            return false;
        }
        const bool ok = std::fwrite(data.data(), 1, data.size(), file) == data.size();
        return std::fclose(file) == 0 && ok;
    }

  private:
    std::vector<std::uint8_t> front;
    std::vector<std::uint8_t> back; // in the order the decoder reads it
};

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

Seed everyZone() {
    Seed seed(kSaneHost);
    seed.dispatch(effOpen);
    seed.dispatch(effSetSampleRate, 0, 0, 44100.0f);
    seed.dispatch(effSetBlockSize, 0, 4096);
    seed.dispatch(effMainsChanged, 0, 1);
    seed.process(1024, kProgramme);
    seed.setUnit(0, 0.0f);
    for (int i = 0; i < 3; ++i) {
        seed.process(4096, kProgramme, i == 1);
    }
    seed.setUnit(1, 0.5f);
    seed.setUnit(2, 0.9f);
    seed.process(4096, kProgramme);
    seed.setUnit(0, 0.44f);
    seed.process(4096, kProgramme);
    seed.process(4096, kProgramme, true);
    seed.setUnit(0, 0.6f);
    seed.process(4096, kProgramme);
    seed.process(4096, kProgramme, true);
    seed.setUnit(0, 1.0f);
    seed.process(4096, kProgramme);
    seed.process(4096, kProgramme);
    for (VstInt32 parameter = 0; parameter < 3; ++parameter) {
        seed.get(parameter);
        seed.dispatch(effGetParamDisplay, parameter);
    }
    seed.recover(0.2f, 0.1f, 0.5f, 512, 512);
    return seed;
}

Seed nonFiniteAudio() {
    Seed seed(kSaneHost);
    seed.dispatch(effMainsChanged, 0, 1);
    seed.setUnit(0, 0.2f);
    seed.process(4096, kProgramme);
    seed.process(4096, kProgramme);
    seed.process(2048, kNaNBurst);
    seed.process(512, kInfinities, true);
    seed.process(777, kRandomBits);
    seed.process(300, kSubnormals);
    seed.process(300, kHuge);
    seed.process(1000, kSparseSpecials);
    seed.recover(0.2f, 0.0f, 0.5f, 64, 256);
    seed.setUnit(0, 0.9f);
    seed.process(4096, kProgramme);
    seed.process(4096, kProgramme);
    seed.process(1024, kNaNBurst, true);
    seed.recover(0.9f, 1.0f, 1.0f, 1, 1024);
    return seed;
}

Seed nonFiniteParameters() {
    Seed seed(kSaneHost);
    for (int special = 0; special < kSpecialFloatCount; ++special) {
        for (VstInt32 parameter = 0; parameter < 3; ++parameter) {
            seed.setSpecial(parameter, special);
        }
        seed.process(200, kProgramme);
        for (VstInt32 parameter = 0; parameter < 3; ++parameter) {
            seed.dispatch(effGetParamDisplay, parameter);
            seed.get(parameter);
        }
    }
    seed.setBits(0, 0xFFFFFFFFu);
    seed.setBits(1, 0x7F800002u);
    seed.setBits(2, 0x00000100u);
    seed.process(1000, kProgramme);
    seed.dispatch(effSetProgram, 0, 0);
    seed.process(1000, kProgramme);
    for (VstInt32 wrong :
         {-1, 3, std::numeric_limits<VstInt32>::min(), std::numeric_limits<VstInt32>::max(), 77}) {
        seed.setUnit(wrong, 0.5f);
        seed.get(wrong);
        seed.dispatch(effGetParamDisplay, wrong);
        seed.dispatch(effGetParamName, wrong);
        seed.dispatch(effGetParamLabel, wrong);
    }
    seed.recover(0.7f, 0.3f, 0.3f, 100, 100);
    return seed;
}

Seed longProgramNames() {
    Seed seed(kSaneHost);
    for (int length : {0, 1, 22, 23, 24, 25, 64, 200, kMaxProgramName}) {
        std::string name;
        for (int i = 0; i < length; ++i) {
            name += static_cast<char>('A' + i % 26);
        }
        seed.programName(name);
        seed.dispatch(effGetProgramName);
        seed.dispatch(effGetProgramNameIndexed, 0, 0);
        seed.dispatch(effGetProgramNameIndexed, 1, 0);
    }
    seed.programName(std::string("Init"));
    seed.dispatch(effGetProgramName);
    seed.programName(std::string("with\0inside", 11));
    seed.dispatch(effGetProgramName);
    seed.capability(effCanDo, 0, "receiveVstEvent");
    seed.capability(effCanDo, 1);
    seed.capability(effCanDo, 0, std::string(kMaxCapability, 'c'));
    seed.capability(effCanDo, 0, "back\\slash");
    seed.capability(effString2Parameter, 0, "0.5");
    return seed;
}

// Every opcode from the lowest to the highest the fuzzer sends, with awkward arguments, effClose last.
Seed everyOpcode() {
    Seed seed(kSaneHost);
    const std::int64_t values[] = {0,
                                   1,
                                   -1,
                                   std::numeric_limits<std::int64_t>::max(),
                                   std::numeric_limits<std::int64_t>::min(),
                                   0x100000000ll};
    const float opts[] = {0.0f, 1.0f, kNaN, -kInf, 44100.0f, 1e-40f};
    int turn = 0;
    for (int opcode = kMinOpcode; opcode <= kMaxOpcode; ++opcode, ++turn) {
        if (opcode == effClose) {
            continue;
        }
        const VstInt32 index = turn % 3 == 0 ? turn % 4 : -turn * 1000003;
        const std::int64_t value = values[turn % 6];
        const float opt = opts[turn % 6];
        seed.action(kDispatch);
        seed.integral<int>(kMinOpcode, kMaxOpcode, opcode);
        seed.whole<VstInt32>(index);
        seed.whole<std::int64_t>(value);
        seed.whole<std::uint32_t>(bitsOf(opt));
        switch (opcode) {
        case effSetProgramName:
            seed.integral<int>(0, kMaxProgramName, 30);
            seed.bytes("a name longer than twenty-four");
            break;
        case effEditOpen:
            seed.boolean(true);
            break;
        case effSetChunk:
            seed.integral<int>(0, kMaxChunk, 16);
            seed.bytes("0123456789abcdef");
            break;
        case effProcessEvents:
            seed.integral<int>(0, kMaxEvents, 3);
            for (int kind = 0; kind < 3; ++kind) {
                seed.integral<int>(0, 2, kind);
                seed.whole<VstInt32>(kind * 17);
                seed.whole<std::uint32_t>(0x00403C90u);
                if (kind == 1) {
                    seed.integral<int>(0, kMaxSysexBytes, 12);
                }
            }
            break;
        case effString2Parameter:
        case effCanDo:
            seed.integral<int>(0, kCapabilityChoices - 1, 0);
            seed.randomLengthString("sizeWindow");
            break;
        case effProcessVarIo:
            seed.integral<int>(0, kMaxVarIoFrames, 64);
            seed.integral<int>(0, kMaxVarIoFrames, 32);
            break;
        case effSetSpeakerArrangement:
            seed.integral<int>(0, kMaxSpeakers, 2);
            seed.integral<int>(0, kMaxSpeakers, 8);
            break;
        default:
            if (!hasOwnPointer(opcode)) {
                seed.boolean(turn % 2 == 0);
            }
            break;
        }
        if (opcode % 10 == 0) {
            seed.process(64 + opcode, kProgramme);
        }
    }
    seed.recover(0.1f, 0.0f, 0.5f, 256, 256);
    seed.dispatch(effClose);
    return seed;
}

Seed impossibleSampleRates() {
    Seed seed(kSaneHost);
    seed.setUnit(0, 0.1f);
    seed.setUnit(2, 1.0f);
    for (float rate : {kNaN, 0.0f, -1.0f, kInf, -kInf, 1e-40f, 1.0f, 3e38f, 22050.0f, 192000.0f}) {
        seed.dispatch(effMainsChanged, 0, 0);
        seed.dispatch(effSetSampleRate, 0, 0, rate);
        seed.dispatch(effMainsChanged, 0, 1);
        seed.process(1500, kProgramme);
    }
    seed.dispatch(effSetBlockSizeAndSampleRate, 0, -5, kNaN);
    seed.dispatch(effSetBlockSize, 0, -1);
    seed.dispatch(effMainsChanged, 0, 0);
    seed.dispatch(effMainsChanged, 0, 0);
    seed.process(4096, kProgramme);
    seed.recover(0.0f, 0.0f, 1.0f, 4096, 4096);
    return seed;
}

Seed garbageHost() {
    Seed seed(kGarbageHost);
    seed.dispatch(effOpen);
    seed.dispatch(effMainsChanged, 0, 1);
    seed.setUnit(0, 0.8f);
    seed.process(4096, kProgramme);
    seed.dispatch(effGetVstVersion);
    seed.dispatch(effGetPlugCategory);
    seed.dispatch(effGetSpeakerArrangement);
    seed.dispatch(effGetInputProperties, 0);
    seed.dispatch(effGetOutputProperties, 1);
    seed.dispatch(effGetMidiKeyName, 0, 60);
    seed.dispatch(effGetChunk);
    seed.process(4096, kProgramme, true);
    seed.recover(0.8f, 0.5f, 0.5f, 128, 128);
    return seed;
}

Seed oddBlocks() {
    Seed seed(kZeroHost);
    seed.setUnit(0, 0.3f);
    for (int frames : {-8, -1, 0, 1, 2, 3, 24, 25, 26, 4095, 4096}) {
        seed.process(frames, kProgramme, frames % 2 == 0);
    }
    seed.process(128, kProgramme, false, kAccumulating);
    seed.process(128, kProgramme, true, kDoubleReplacing);
    seed.process(0, kProgramme, false, kDoubleReplacing);
    seed.recover(0.3f, 0.0f, 0.5f, 1, 1);
    return seed;
}

// An infinite resonance and non-finite audio in a filter zone, then everything finite again in blocks shorter
// than the 25-sample coefficient refresh: the case that once left NaN output after recovery.
Seed staleResonance() {
    Seed seed(kSaneHost);
    seed.setUnit(0, 0.2f);
    seed.process(4000, kProgramme);
    seed.process(4000, kProgramme);
    seed.setSpecial(2, 3); // +infinity
    seed.process(25, kProgramme);
    seed.process(25, kInfinities); // resets the filter state to zero; refreshes fall on samples 8024, 8049
    seed.recover(0.2f, 0.0f, 0.5f, 4, 4);
    seed.setSpecial(0, 3);
    seed.setSpecial(2, 4); // -infinity
    seed.process(30, kNaNBurst);
    seed.setUnit(0, 0.5f);
    seed.recover(0.5f, 0.0f, 0.5f, 512, 512);
    seed.setUnit(0, 0.3f);
    seed.process(4096, kProgramme);
    seed.recover(0.3f, 0.0f, 0.5f, 8, 8);
    return seed;
}

// The editor's window: drags, Control-clicks and the wheel on every knob, the logo, timers and repaints,
// host automation in between, a second open, a close in the middle of a drag and an instance closed with
// its window open and a knob held.
Seed editorSession() {
    Seed seed(kSaneHost);
    seed.openEditor(true);
    seed.pointer(kMouseDown, 85, 60, 1);
    seed.pointer(kMouseMoved, 85, 20, 1);
    seed.setUnit(1, 0.7f);
    seed.pointer(kMouseMoved, 120, 0, 3);
    seed.pointer(kMouseUp, 120, 0, 0);
    seed.window(kFireTimers);
    seed.window(kPaint);
    seed.pointer(kMouseDown, 140, 120, 5);
    seed.wheel(29, 124, 0, 1.0f);
    seed.wheel(29, 124, 2, 1.0f);
    seed.dispatch(effEditKeyDown, 0, VKEY_UP);
    seed.pointer(kMouseDown, 150, 10, 1);
    seed.pointer(kMouseUp, 150, 10, 0);
    seed.setSpecial(0, 0);
    seed.advance(120);
    seed.window(kPaint);
    seed.openEditor(false);
    seed.pointer(kMouseDown, 85, 60, 1);
    seed.dispatch(effEditClose);
    seed.pointer(kMouseMoved, 85, 0, 1);
    seed.dispatch(effEditIdle);
    seed.openEditor(true);
    seed.dispatch(effEditGetRect);
    seed.pointer(kMouseDown, 30, 120, 1);
    seed.pointer(kMouseMoved, 60, 90, 1);
    seed.dispatch(effClose);
    return seed;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIRECTORY\n", argv[0]);
        return 2;
    }
    const std::string directory = argv[1];
    const struct {
        const char* name;
        Seed seed;
    } seeds[] = {
        {"every-zone", everyZone()},
        {"non-finite-audio", nonFiniteAudio()},
        {"non-finite-parameters", nonFiniteParameters()},
        {"long-program-names", longProgramNames()},
        {"every-opcode", everyOpcode()},
        {"impossible-sample-rates", impossibleSampleRates()},
        {"garbage-host", garbageHost()},
        {"odd-blocks", oddBlocks()},
        {"ancient-host", Seed(kAncientHost)},
        {"stale-infinite-resonance", staleResonance()},
        {"editor-session", editorSession()},
    };
    for (const auto& entry : seeds) {
        const std::string path = directory + "/" + entry.name;
        if (!entry.seed.write(path)) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("%s\n", path.c_str());
    }
    return 0;
}
