// Calls back into the host: the opcode and argument places of every wrapper, the conversion of the host's
// answer, the answers without a host, and the base operations of AudioEffectX that reach the host.
#include "HostTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <type_traits>

using namespace hosttest;

namespace {

enum class Answer { None, Bool, Int, Raw, ZeroIsTrue, Version };

// The wrapper's result for a host answer; with no host at all the wrapper must answer as for 0.
VstIntPtr converted(Answer kind, VstIntPtr answer) {
    switch (kind) {
    case Answer::None:
        return 0;
    case Answer::Bool:
        return answer != 0 ? 1 : 0;
    case Answer::Int:
        return static_cast<VstInt32>(answer);
    case Answer::Raw:
        return answer;
    case Answer::ZeroIsTrue:
        return answer == 0 ? 1 : 0;
    case Answer::Version:
        return static_cast<VstInt32>(answer) != 0 ? static_cast<VstInt32>(answer) : 1;
    }
    return -1;
}

char gText[64];
VstFileSelect gSelect;
alignas(8) char gOpaque[64];
auto* const gTask = reinterpret_cast<VstOfflineTask*>(gOpaque);
auto* const gFiles = reinterpret_cast<VstAudioFile*>(gOpaque);
auto* const gWindow = reinterpret_cast<VstWindow*>(gOpaque);

// Every wrapper's result as the number the table compares.
template <typename T> VstIntPtr answerOf(T result) {
    if constexpr (std::is_same_v<T, bool>) {
        return result ? 1 : 0;
    } else if constexpr (std::is_pointer_v<T>) {
        return reinterpret_cast<VstIntPtr>(result);
    } else {
        return result;
    }
}

using Call = VstIntPtr (*)(AudioEffectX&);

struct Row {
    const char* name;
    Call call;
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    const void* ptr;
    float opt;
    Answer kind;
};

// The call's text names the row; void wrappers answer 0.
#define WRAPPER(call) #call, [](AudioEffectX & e) { return answerOf(e.call); }
#define VOID_WRAPPER(call) #call, [](AudioEffectX & e) { return e.call, VstIntPtr{0}; }

const Row kRows[] = {
    {VOID_WRAPPER(setParameterAutomated(3, 0.25f)), 0, 3, 0, nullptr, 0.25f, Answer::None},
    {WRAPPER(getMasterVersion()), 1, 0, 0, nullptr, 0, Answer::Version},
    {WRAPPER(getCurrentUniqueId()), 2, 0, 0, nullptr, 0, Answer::Int},
    {VOID_WRAPPER(masterIdle()), 3, 0, 0, nullptr, 0, Answer::None},
    {WRAPPER(isInputConnected(5)), 4, 5, 0, nullptr, 0, Answer::ZeroIsTrue},
    {WRAPPER(isOutputConnected(5)), 4, 5, 1, nullptr, 0, Answer::ZeroIsTrue},
    {VOID_WRAPPER(wantEvents(9)), 6, 0, 9, nullptr, 0, Answer::None},
    {WRAPPER(getTimeInfo(0x2A00)), 7, 0, 0x2A00, nullptr, 0, Answer::Raw},
    {WRAPPER(tempoAt(-1000)), 10, 0, -1000, nullptr, 0, Answer::Int},
    {WRAPPER(getNumAutomatableParameters()), 11, 0, 0, nullptr, 0, Answer::Int},
    {WRAPPER(getParameterQuantization()), 12, 0, 0, nullptr, 0, Answer::Int},
    {WRAPPER(ioChanged()), 13, 0, 0, nullptr, 0, Answer::Bool},
    {WRAPPER(needIdle()), 14, 0, 0, nullptr, 0, Answer::Bool},
    {WRAPPER(sizeWindow(300, -2)), 15, 300, -2, nullptr, 0, Answer::Bool},
    {WRAPPER(getInputLatency()), 18, 0, 0, nullptr, 0, Answer::Int},
    {WRAPPER(getOutputLatency()), 19, 0, 0, nullptr, 0, Answer::Int},
    {WRAPPER(getPreviousPlug(3)), 20, 0, 0, nullptr, 0, Answer::Raw},
    {WRAPPER(getNextPlug(3)), 21, 0, 0, nullptr, 0, Answer::Raw},
    {WRAPPER(willProcessReplacing()), 22, 0, 0, nullptr, 0, Answer::Int},
    {WRAPPER(getCurrentProcessLevel()), 23, 0, 0, nullptr, 0, Answer::Int},
    {WRAPPER(getAutomationState()), 24, 0, 0, nullptr, 0, Answer::Int},
    {WRAPPER(offlineStart(gFiles, 4, 2)), 25, 2, 4, gOpaque, 0, Answer::Bool},
    {WRAPPER(offlineRead(gTask, 6, true)), 26, 1, 6, gOpaque, 0, Answer::Bool},
    {WRAPPER(offlineRead(gTask, 6, false)), 26, 0, 6, gOpaque, 0, Answer::Bool},
    {WRAPPER(offlineWrite(gTask, 6)), 27, 0, 6, gOpaque, 0, Answer::Bool},
    {WRAPPER(offlineGetCurrentPass()), 28, 0, 0, nullptr, 0, Answer::Bool},
    {WRAPPER(offlineGetCurrentMetaPass()), 29, 0, 0, nullptr, 0, Answer::Bool},
    {VOID_WRAPPER(setOutputSamplerate(48000.0f)), 30, 0, 0, nullptr, 48000.0f, Answer::None},
    {WRAPPER(getOutputSpeakerArrangement()), 31, 0, 0, nullptr, 0, Answer::Raw},
    {WRAPPER(getHostVendorString(gText)), 32, 0, 0, gText, 0, Answer::Bool},
    {WRAPPER(getHostProductString(gText)), 33, 0, 0, gText, 0, Answer::Bool},
    {WRAPPER(getHostVendorVersion()), 34, 0, 0, nullptr, 0, Answer::Int},
    {WRAPPER(hostVendorSpecific(3, -9, gText, 0.5f)), 35, 3, -9, gText, 0.5f, Answer::Raw},
    {WRAPPER(canHostDo(gText)), 37, 0, 0, gText, 0, Answer::Bool},
    {WRAPPER(getHostLanguage()), 38, 0, 0, nullptr, 0, Answer::Int},
    {WRAPPER(openWindow(gWindow)), 39, 0, 0, gOpaque, 0, Answer::Raw},
    {WRAPPER(closeWindow(gWindow)), 40, 0, 0, gOpaque, 0, Answer::Bool},
    {WRAPPER(getDirectory()), 41, 0, 0, nullptr, 0, Answer::Raw},
    {WRAPPER(updateDisplay()), 42, 0, 0, nullptr, 0, Answer::Bool},
    {WRAPPER(beginEdit(5)), 43, 5, 0, nullptr, 0, Answer::Bool},
    {WRAPPER(endEdit(5)), 44, 5, 0, nullptr, 0, Answer::Bool},
    {WRAPPER(openFileSelector(&gSelect)), 45, 0, 0, &gSelect, 0, Answer::Bool},
    {WRAPPER(closeFileSelector(&gSelect)), 46, 0, 0, &gSelect, 0, Answer::Bool},
    {WRAPPER(getChunkFile(gText)), 48, 0, 0, gText, 0, Answer::Bool},
    {WRAPPER(getInputSpeakerArrangement()), 49, 0, 0, nullptr, 0, Answer::Raw},
};

#undef WRAPPER
#undef VOID_WRAPPER

class HostServices : public ::testing::Test {
  protected:
    void SetUp() override {
        resetJournal();
        RecordingHost::reset();
    }
};

TEST_F(HostServices, EachWrapperSendsOneRequestAndConvertsTheAnswer) {
    // -1 and the wide answer (low half 3) tell a bool, a 32-bit and a raw conversion apart.
    const VstIntPtr answers[] = {0, 1, -1, (VstIntPtr{1} << 32) + 3};
    for (const Row& row : kRows) {
        for (VstIntPtr answer : answers) {
            SCOPED_TRACE(::testing::Message() << row.name << " answer " << answer);
            PlainEffect effect(RecordingHost::callback);
            RecordingHost::reset();
            RecordingHost::answer = answer;
            const VstIntPtr result = row.call(effect);
            if (row.kind != Answer::None) {
                EXPECT_EQ(result, converted(row.kind, answer));
            }
            ASSERT_EQ(RecordingHost::calls.size(), 1u);
            const HostCall& call = RecordingHost::calls[0];
            EXPECT_EQ(call.effect, effect.getAeffect());
            EXPECT_EQ(call.opcode, row.opcode);
            EXPECT_EQ(call.index, row.index);
            EXPECT_EQ(call.value, row.value);
            EXPECT_EQ(call.ptr, row.ptr);
            EXPECT_EQ(call.opt, row.opt);
        }
    }
}

TEST_F(HostServices, WithoutAHostEachWrapperAnswersAsForZero) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        PlainEffect effect(nullptr);
        const VstIntPtr result = row.call(effect);
        if (row.kind != Answer::None) {
            EXPECT_EQ(result, converted(row.kind, 0));
        }
    }
}

TEST_F(HostServices, SetParameterAutomatedSetsLocallyBeforeTheHostHears) {
    RecordingEffect withHost(RecordingHost::callback);
    withHost.setParameterAutomated(3, 0.25f);
    RecordingEffect alone(nullptr);
    alone.setParameterAutomated(0, 0.25f);
    EXPECT_EQ(journal(), (Journal{"setParameter(3,0.25)", "host(0,3,0,null,0.25)", "setParameter(0,0.25)"}));
}

TEST_F(HostServices, NullFileRequestsAreNotSent) {
    PlainEffect effect(RecordingHost::callback);
    RecordingHost::answer = 1;
    EXPECT_FALSE(effect.openFileSelector(nullptr));
    EXPECT_FALSE(effect.closeFileSelector(nullptr));
    EXPECT_FALSE(effect.getChunkFile(nullptr));
    EXPECT_TRUE(RecordingHost::calls.empty());
}

TEST_F(HostServices, SampleRateAndBlockSizeKeepOnlyPositiveAnswers) {
    PlainEffect effect(RecordingHost::callback);
    for (VstIntPtr answer : {VstIntPtr{0}, VstIntPtr{-48000}}) {
        RecordingHost::answer = answer;
        EXPECT_EQ(effect.updateSampleRate(), 44100.0);
        EXPECT_EQ(effect.getSampleRate(), 44100.0f);
        EXPECT_EQ(effect.updateBlockSize(), 1024);
        EXPECT_EQ(effect.getBlockSize(), 1024);
    }
    // The block size is read as a 32-bit number: a wide answer counts by its low half.
    RecordingHost::answer = VstIntPtr{1} << 32;
    EXPECT_EQ(effect.updateBlockSize(), 1024);
    RecordingHost::answer = (VstIntPtr{1} << 32) + 512;
    EXPECT_EQ(effect.updateBlockSize(), 512);

    RecordingHost::answer = 48000;
    EXPECT_EQ(effect.updateSampleRate(), 48000.0);
    EXPECT_EQ(effect.getSampleRate(), 48000.0f);
    for (const HostCall& call : RecordingHost::calls) {
        EXPECT_TRUE(call.opcode == audioMasterGetSampleRate || call.opcode == audioMasterGetBlockSize);
    }

    PlainEffect alone(nullptr);
    EXPECT_EQ(alone.updateSampleRate(), 44100.0);
    EXPECT_EQ(alone.updateBlockSize(), 1024);
}

TEST_F(HostServices, CanHostDoCountsMinusOneAsYes) {
    PlainEffect effect(RecordingHost::callback);
    char text[] = "sizeWindow";
    RecordingHost::answer = -1;
    EXPECT_EQ(effect.canHostDo(text), 1);
    RecordingHost::answer = 0;
    EXPECT_EQ(effect.canHostDo(text), 0);
}

// AudioEffectX::resume asks for MIDI only for a synth or for an effect that receives MIDI events.
class MidiEffect : public PlainEffect {
  public:
    using PlainEffect::PlainEffect;
    VstInt32 canDoAnswer = 0;
    // Any other question is answered yes, so asking the wrong one shows.
    VstInt32 canDo(char* text) override {
        return std::strcmp(text, "receiveVstMidiEvent") == 0 ? canDoAnswer : 1;
    }
};

TEST_F(HostServices, ResumeWantsEventsForSynthsAndMidiReceivers) {
    for (VstInt32 canDo : {0, -1, 2}) {
        MidiEffect effect(RecordingHost::callback);
        effect.canDoAnswer = canDo;
        effect.resume();
    }
    EXPECT_TRUE(RecordingHost::calls.empty());

    MidiEffect receiver(RecordingHost::callback);
    receiver.canDoAnswer = 1;
    receiver.resume();
    MidiEffect synth(RecordingHost::callback);
    synth.isSynth(true);
    synth.resume();
    ASSERT_EQ(RecordingHost::calls.size(), 2u);
    for (const HostCall& call : RecordingHost::calls) {
        EXPECT_EQ(call.opcode, audioMasterWantMidi);
        EXPECT_EQ(call.value, 1);
    }
}

TEST_F(HostServices, PlugCategoryFollowsTheSynthFlag) {
    PlainEffect effect;
    EXPECT_EQ(effect.getPlugCategory(), kPlugCategUnknown);
    effect.isSynth(true);
    EXPECT_EQ(effect.getPlugCategory(), kPlugCategSynth);
    effect.isSynth(false);
    EXPECT_EQ(effect.getPlugCategory(), kPlugCategUnknown);
}

TEST_F(HostServices, BaseGetSpeakerArrangementClearsWhatItIsGiven) {
    PlainEffect effect;
    VstSpeakerArrangement dummy{};
    VstSpeakerArrangement* in = &dummy;
    VstSpeakerArrangement* out = &dummy;
    EXPECT_FALSE(effect.getSpeakerArrangement(&in, &out));
    EXPECT_EQ(in, nullptr);
    EXPECT_EQ(out, nullptr);
    out = &dummy;
    EXPECT_FALSE(effect.getSpeakerArrangement(nullptr, &out));
    EXPECT_EQ(out, nullptr);
    EXPECT_FALSE(effect.getSpeakerArrangement(nullptr, nullptr));
    AEffect* record = effect.getAeffect();
    EXPECT_EQ(record->dispatcher(record, effGetSpeakerArrangement, 0, 0, nullptr, 0.0f), 0);
}

} // namespace
