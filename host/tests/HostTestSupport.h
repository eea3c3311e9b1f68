// Test doubles for the host interface: one journal records, in order, every effect operation, editor
// operation and host request, so a test can check both what was called and in which order.
#pragma once

#include "AudioEffectX.h"

#include <cstdio>
#include <map>
#include <string>
#include <type_traits>
#include <vector>

namespace hosttest {

inline std::vector<std::string>& journal() {
    static std::vector<std::string> entries;
    return entries;
}

// Pointers appear in the journal under the names tests give them; unnamed ones as "?".
inline std::map<const void*, std::string>& pointerNames() {
    static std::map<const void*, std::string> names;
    return names;
}

template <typename T> std::string describe(T v) {
    if constexpr (std::is_same_v<T, bool>) {
        return v ? "true" : "false";
    } else if constexpr (std::is_integral_v<T>) {
        return std::to_string(v);
    } else if constexpr (std::is_floating_point_v<T>) {
        char text[32];
        std::snprintf(text, sizeof(text), "%g", static_cast<double>(v));
        return text;
    } else {
        if (v == nullptr) {
            return "null";
        }
        const auto found = pointerNames().find(static_cast<const void*>(v));
        return found != pointerNames().end() ? found->second : "?";
    }
}

template <typename... Args> void note(const char* name, Args... args) {
    std::string entry = std::string(name) + "(";
    bool first = true;
    ((entry += (first ? "" : ",") + describe(args), first = false), ...);
    journal().push_back(entry + ")");
}

inline void resetJournal() {
    journal().clear();
    pointerNames().clear();
}

struct HostCall {
    AEffect* effect;
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    void* ptr;
    float opt;
};

// The host callback: records each request and answers with `answer`.
struct RecordingHost {
    static inline std::vector<HostCall> calls;
    static inline VstIntPtr answer = 0;

    static VstIntPtr VSTCALLBACK callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                          void* ptr, float opt) {
        calls.push_back({effect, opcode, index, value, ptr, opt});
        note("host", opcode, index, value, ptr, opt);
        return answer;
    }
    static void reset() {
        calls.clear();
        answer = 0;
    }
};

class TestEditor : public AEffEditor {
  public:
    explicit TestEditor(AudioEffect* owner) : AEffEditor(owner) {}
    ~TestEditor() override { note("~editor"); }

    bool answer = false;

    bool getRect(ERect** rect) override { return note("editor.getRect", rect), answer; }
    bool open(void* window) override { return note("editor.open", window), answer; }
    void close() override { note("editor.close"); }
    void idle() override { note("editor.idle"); }
    bool onKeyDown(VstKeyCode& key) override {
        return note("editor.keyDown", key.character, +key.virt, +key.modifier), answer;
    }
    bool onKeyUp(VstKeyCode& key) override {
        return note("editor.keyUp", key.character, +key.virt, +key.modifier), answer;
    }
};

// An effect with only the mandatory operation: every other answer is the base class's.
class PlainEffect : public AudioEffectX {
  public:
    explicit PlainEffect(audioMasterCallback host = nullptr, VstInt32 programs = 1, VstInt32 params = 3)
        : AudioEffectX(host, programs, params) {}
    void processReplacing(float**, float**, VstInt32) override {}
};

// Records every operation the dispatchers reach, with its arguments; each answers from `answer`,
// converted to its own return type.
class RecordingEffect : public AudioEffectX {
  public:
    explicit RecordingEffect(audioMasterCallback host = nullptr) : AudioEffectX(host, 1, 3) {}
    ~RecordingEffect() override { note("~effect"); }

    VstIntPtr answer = 0;
    float floatAnswer = 0.0f;

    template <typename... Args> VstIntPtr log(const char* name, Args... args) {
        note(name, args...);
        return answer;
    }
    template <typename... Args> VstInt32 logInt(const char* name, Args... args) {
        return static_cast<VstInt32>(log(name, args...));
    }
    template <typename... Args> bool logBool(const char* name, Args... args) {
        return log(name, args...) != 0;
    }

    // AudioEffect
    void open() override { log("open"); }
    void close() override { log("close"); }
    void suspend() override { log("suspend"); }
    void resume() override { log("resume"); }
    void setSampleRate(float rate) override { log("setSampleRate", rate); }
    void setBlockSize(VstInt32 size) override { log("setBlockSize", size); }
    void processReplacing(float** in, float** out, VstInt32 n) override {
        log("processReplacing", in, out, n);
    }
    void processDoubleReplacing(double** in, double** out, VstInt32 n) override {
        log("processDouble", in, out, n);
    }
    void process(float** in, float** out, VstInt32 n) override { log("process", in, out, n); }
    void setParameter(VstInt32 index, float value) override { log("setParameter", index, value); }
    float getParameter(VstInt32 index) override { return log("getParameter", index), floatAnswer; }
    float getVu() override { return log("getVu"), floatAnswer; }
    VstInt32 getProgram() override { return logInt("getProgram"); }
    void setProgram(VstInt32 program) override { log("setProgram", program); }
    void setProgramName(char* name) override { log("setProgramName", name); }
    void getProgramName(char* name) override { log("getProgramName", name); }
    void getParameterLabel(VstInt32 index, char* text) override { log("getParameterLabel", index, text); }
    void getParameterDisplay(VstInt32 index, char* text) override { log("getParameterDisplay", index, text); }
    void getParameterName(VstInt32 index, char* text) override { log("getParameterName", index, text); }
    VstInt32 getChunk(void** data, bool preset) override { return logInt("getChunk", data, preset); }
    VstInt32 setChunk(void* data, VstInt32 size, bool preset) override {
        return logInt("setChunk", data, size, preset);
    }

    // AudioEffectX
    VstInt32 processEvents(VstEvents* events) override { return logInt("processEvents", events); }
    bool canParameterBeAutomated(VstInt32 index) override { return logBool("canBeAutomated", index); }
    bool string2parameter(VstInt32 index, char* text) override {
        return logBool("string2parameter", index, text);
    }
    VstInt32 getNumCategories() override { return logInt("getNumCategories"); }
    bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override {
        return logBool("getProgramNameIndexed", category, index, text);
    }
    bool copyProgram(VstInt32 destination) override { return logBool("copyProgram", destination); }
    void inputConnected(VstInt32 index, bool state) override { log("inputConnected", index, state); }
    void outputConnected(VstInt32 index, bool state) override { log("outputConnected", index, state); }
    bool getInputProperties(VstInt32 i, VstPinProperties* p) override {
        return logBool("getInputProperties", i, p);
    }
    bool getOutputProperties(VstInt32 i, VstPinProperties* p) override {
        return logBool("getOutputProperties", i, p);
    }
    VstInt32 getPlugCategory() override { return logInt("getPlugCategory"); }
    VstInt32 reportCurrentPosition() override { return logInt("reportCurrentPosition"); }
    float* reportDestinationBuffer() override {
        return reinterpret_cast<float*>(log("reportDestinationBuffer"));
    }
    bool offlineNotify(VstAudioFile* f, VstInt32 n, bool start) override {
        return logBool("offlineNotify", f, n, start);
    }
    bool offlinePrepare(VstOfflineTask* t, VstInt32 n) override { return logBool("offlinePrepare", t, n); }
    bool offlineRun(VstOfflineTask* t, VstInt32 n) override { return logBool("offlineRun", t, n); }
    bool processVariableIo(VstVariableIo* io) override { return logBool("processVariableIo", io); }
    bool setSpeakerArrangement(VstSpeakerArrangement* in, VstSpeakerArrangement* out) override {
        return logBool("setSpeakerArrangement", in, out);
    }
    void setBlockSizeAndSampleRate(VstInt32 size, float rate) override {
        log("setBlockSizeAndSampleRate", size, rate);
    }
    bool setBypass(bool on) override { return logBool("setBypass", on); }
    bool getEffectName(char* text) override { return logBool("getEffectName", text); }
    bool getErrorText(char* text) override { return logBool("getErrorText", text); }
    bool getVendorString(char* text) override { return logBool("getVendorString", text); }
    bool getProductString(char* text) override { return logBool("getProductString", text); }
    VstInt32 getVendorVersion() override { return logInt("getVendorVersion"); }
    VstIntPtr vendorSpecific(VstInt32 a, VstIntPtr b, void* p, float f) override {
        return log("vendorSpecific", a, b, p, f);
    }
    VstInt32 canDo(char* text) override { return logInt("canDo", text); }
    VstInt32 getGetTailSize() override { return logInt("getGetTailSize"); }
    VstInt32 fxIdle() override { return logInt("fxIdle"); }
    void* getIcon() override { return reinterpret_cast<void*>(log("getIcon")); }
    bool setViewPosition(VstInt32 x, VstInt32 y) override { return logBool("setViewPosition", x, y); }
    bool getParameterProperties(VstInt32 i, VstParameterProperties* p) override {
        return logBool("getParameterProperties", i, p);
    }
    bool keysRequired() override { return logBool("keysRequired"); }
    VstInt32 getVstVersion() override { return logInt("getVstVersion"); }
    VstInt32 getMidiProgramName(VstInt32 c, MidiProgramName* n) override {
        return logInt("getMidiProgramName", c, n);
    }
    VstInt32 getCurrentMidiProgram(VstInt32 c, MidiProgramName* n) override {
        return logInt("getCurrentMidiProgram", c, n);
    }
    VstInt32 getMidiProgramCategory(VstInt32 c, MidiProgramCategory* p) override {
        return logInt("getMidiProgramCategory", c, p);
    }
    bool hasMidiProgramsChanged(VstInt32 c) override { return logBool("hasMidiProgramsChanged", c); }
    bool getMidiKeyName(VstInt32 c, MidiKeyName* k) override { return logBool("getMidiKeyName", c, k); }
    bool beginSetProgram() override { return logBool("beginSetProgram"); }
    bool endSetProgram() override { return logBool("endSetProgram"); }
    bool getSpeakerArrangement(VstSpeakerArrangement** in, VstSpeakerArrangement** out) override {
        return logBool("getSpeakerArrangement", in, out);
    }
    VstInt32 getNextShellPlugin(char* name) override { return logInt("getNextShellPlugin", name); }
    VstInt32 startProcess() override { return logInt("startProcess"); }
    VstInt32 stopProcess() override { return logInt("stopProcess"); }
    VstInt32 setTotalSampleToProcess(VstInt32 v) override { return logInt("setTotalSampleToProcess", v); }
    bool setPanLaw(VstInt32 type, float value) override { return logBool("setPanLaw", type, value); }
    VstInt32 beginLoadBank(VstPatchChunkInfo* p) override { return logInt("beginLoadBank", p); }
    VstInt32 beginLoadProgram(VstPatchChunkInfo* p) override { return logInt("beginLoadProgram", p); }
    bool setProcessPrecision(VstInt32 precision) override {
        return logBool("setProcessPrecision", precision);
    }
    VstInt32 getNumMidiInputChannels() override { return logInt("getNumMidiInputChannels"); }
    VstInt32 getNumMidiOutputChannels() override { return logInt("getNumMidiOutputChannels"); }
};

using Journal = std::vector<std::string>;

} // namespace hosttest
