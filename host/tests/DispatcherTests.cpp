// Both dispatcher layers: which operation each opcode reaches, with which arguments, and how its answer
// is converted; plus the editor opcodes, key codes and the opcodes no layer knows.
#include "HostTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

using namespace hosttest;

namespace {

// How an operation's answer reaches the host.
enum class Answer { Bool, Int, Raw, Inverted, Zero, One };

VstIntPtr converted(Answer kind, VstIntPtr answer) {
    switch (kind) {
    case Answer::Bool:
        return answer != 0 ? 1 : 0;
    case Answer::Int:
        return static_cast<VstInt32>(answer);
    case Answer::Raw:
        return answer;
    case Answer::Inverted:
        return answer != 0 ? 0 : 1;
    case Answer::Zero:
        return 0;
    case Answer::One:
        return 1;
    }
    return -1;
}

struct Row {
    VstInt32 opcode;
    VstIntPtr value;
    const char* call;
    Answer kind;
};

// index 3, ptr "P", opt 0.5 throughout. 0x1'0000'0007 has low half 7, 0x1'0000'0000 has low half 0:
// the first tells value32 from value, the second tells "value != 0" from "value32 != 0".
constexpr VstIntPtr kWide7 = (VstIntPtr{1} << 32) + 7;
constexpr VstIntPtr kWideZero = VstIntPtr{1} << 32;

const Row kRows[] = {
    {effOpen, 0, "open()", Answer::Zero},
    {effClose, 0, "close()", Answer::Zero},
    {effGetProgram, 0, "getProgram()", Answer::Int},
    {effSetProgramName, 0, "setProgramName(P)", Answer::Zero},
    {effGetProgramName, 0, "getProgramName(P)", Answer::Zero},
    {effGetParamLabel, 0, "getParameterLabel(3,P)", Answer::Zero},
    {effGetParamDisplay, 0, "getParameterDisplay(3,P)", Answer::Zero},
    {effGetParamName, 0, "getParameterName(3,P)", Answer::Zero},
    {effSetSampleRate, 0, "setSampleRate(0.5)", Answer::Zero},
    {effSetBlockSize, kWide7, "setBlockSize(7)", Answer::Zero},
    {effGetChunk, 0, "getChunk(P,true)", Answer::Int},
    {effSetChunk, kWide7, "setChunk(P,7,true)", Answer::Int},
    {effProcessEvents, 0, "processEvents(P)", Answer::Int},
    {effCanBeAutomated, 0, "canBeAutomated(3)", Answer::Bool},
    {effString2Parameter, 0, "string2parameter(3,P)", Answer::Bool},
    {effGetNumProgramCategories, 0, "getNumCategories()", Answer::Int},
    {effGetProgramNameIndexed, kWide7, "getProgramNameIndexed(7,3,P)", Answer::Bool},
    {effCopyProgram, 0, "copyProgram(3)", Answer::Bool},
    {effConnectInput, kWideZero, "inputConnected(3,true)", Answer::One},
    {effConnectOutput, 0, "outputConnected(3,false)", Answer::One},
    {effGetInputProperties, 0, "getInputProperties(3,P)", Answer::Bool},
    {effGetOutputProperties, 0, "getOutputProperties(3,P)", Answer::Bool},
    {effGetPlugCategory, 0, "getPlugCategory()", Answer::Int},
    {effGetCurrentPosition, 0, "reportCurrentPosition()", Answer::Int},
    {effGetDestinationBuffer, 0, "reportDestinationBuffer()", Answer::Raw},
    {effOfflineNotify, kWide7, "offlineNotify(P,7,true)", Answer::Bool},
    {effOfflinePrepare, kWide7, "offlinePrepare(P,7)", Answer::Bool},
    {effOfflineRun, kWide7, "offlineRun(P,7)", Answer::Bool},
    {effProcessVarIo, 0, "processVariableIo(P)", Answer::Bool},
    {effSetBlockSizeAndSampleRate, kWide7, "setBlockSizeAndSampleRate(7,0.5)", Answer::One},
    {effSetBypass, kWideZero, "setBypass(true)", Answer::Bool},
    {effGetEffectName, 0, "getEffectName(P)", Answer::Bool},
    {effGetErrorText, 0, "getErrorText(P)", Answer::Bool},
    {effGetVendorString, 0, "getVendorString(P)", Answer::Bool},
    {effGetProductString, 0, "getProductString(P)", Answer::Bool},
    {effGetVendorVersion, 0, "getVendorVersion()", Answer::Int},
    {effVendorSpecific, kWide7, "vendorSpecific(3,4294967303,P,0.5)", Answer::Raw},
    {effCanDo, 0, "canDo(P)", Answer::Int},
    {effGetTailSize, 0, "getGetTailSize()", Answer::Int},
    {effIdle, 0, "fxIdle()", Answer::Int},
    {effGetIcon, 0, "getIcon()", Answer::Raw},
    {effSetViewPosition, kWide7, "setViewPosition(3,7)", Answer::Bool},
    {effGetParameterProperties, 0, "getParameterProperties(3,P)", Answer::Bool},
    {effKeysRequired, 0, "keysRequired()", Answer::Inverted},
    {effGetVstVersion, 0, "getVstVersion()", Answer::Int},
    {effGetMidiProgramName, 0, "getMidiProgramName(3,P)", Answer::Int},
    {effGetCurrentMidiProgram, 0, "getCurrentMidiProgram(3,P)", Answer::Int},
    {effGetMidiProgramCategory, 0, "getMidiProgramCategory(3,P)", Answer::Int},
    {effHasMidiProgramsChanged, 0, "hasMidiProgramsChanged(3)", Answer::Bool},
    {effGetMidiKeyName, 0, "getMidiKeyName(3,P)", Answer::Bool},
    {effBeginSetProgram, 0, "beginSetProgram()", Answer::Bool},
    {effEndSetProgram, 0, "endSetProgram()", Answer::Bool},
    {effShellGetNextPlugin, 0, "getNextShellPlugin(P)", Answer::Int},
    {effStartProcess, 0, "startProcess()", Answer::Int},
    {effStopProcess, 0, "stopProcess()", Answer::Int},
    {effSetTotalSampleToProcess, kWide7, "setTotalSampleToProcess(7)", Answer::Int},
    {effSetPanLaw, kWide7, "setPanLaw(7,0.5)", Answer::Bool},
    {effBeginLoadBank, 0, "beginLoadBank(P)", Answer::Int},
    {effBeginLoadProgram, 0, "beginLoadProgram(P)", Answer::Int},
    {effSetProcessPrecision, kWide7, "setProcessPrecision(7)", Answer::Bool},
    {effGetNumMidiInputChannels, 0, "getNumMidiInputChannels()", Answer::Int},
    {effGetNumMidiOutputChannels, 0, "getNumMidiOutputChannels()", Answer::Int},
};

class HostDispatcher : public ::testing::Test {
  protected:
    void SetUp() override {
        resetJournal();
        pointerNames()[buffer] = "P";
    }
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f) {
        // Straight to the operation: through the record, effClose would free this fixture member.
        return effect.dispatcher(opcode, index, value, ptr, opt);
    }

    RecordingEffect effect;
    char buffer[256] = {};
};

TEST_F(HostDispatcher, EachOpcodeCallsItsOperationAndConvertsTheAnswer) {
    // -7 checks sign widening, the wide value checks that int answers keep only their low half.
    const VstIntPtr answers[] = {0, 1, -7, kWide7};
    for (const Row& row : kRows) {
        for (VstIntPtr answer : answers) {
            SCOPED_TRACE(::testing::Message() << "opcode " << row.opcode << " answer " << answer);
            journal().clear();
            effect.answer = answer;
            EXPECT_EQ(dispatch(row.opcode, 3, row.value, buffer, 0.5f), converted(row.kind, answer));
            EXPECT_EQ(journal(), Journal{row.call});
        }
    }
}

TEST_F(HostDispatcher, ChunkOpcodesPassPresetOnlyForNonZeroIndex) {
    dispatch(effGetChunk, 0, 0, buffer);
    dispatch(effSetChunk, 0, 12, buffer);
    dispatch(effSetChunk, -1, 12, buffer);
    EXPECT_EQ(journal(), (Journal{"getChunk(P,false)", "setChunk(P,12,false)", "setChunk(P,12,true)"}));
}

TEST_F(HostDispatcher, SpeakerArrangementOpcodesPassValueAsAPointer) {
    VstSpeakerArrangement in{}, out{};
    VstSpeakerArrangement* inHolder = nullptr;
    VstSpeakerArrangement* outHolder = nullptr;
    pointerNames()[&in] = "in";
    pointerNames()[&out] = "out";
    pointerNames()[&inHolder] = "inHolder";
    pointerNames()[&outHolder] = "outHolder";
    effect.answer = 1;
    EXPECT_EQ(dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out), 1);
    EXPECT_EQ(dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&inHolder), &outHolder), 1);
    EXPECT_EQ(journal(),
              (Journal{"setSpeakerArrangement(in,out)", "getSpeakerArrangement(inHolder,outHolder)"}));
}

TEST_F(HostDispatcher, SetProgramComparesTheWholeValueSigned) {
    // numPrograms is 1.
    EXPECT_EQ(dispatch(effSetProgram, 0, 0), 0);
    EXPECT_EQ(dispatch(effSetProgram, 0, 1), 0);
    EXPECT_EQ(dispatch(effSetProgram, 0, 5), 0);
    EXPECT_EQ(dispatch(effSetProgram, 0, kWideZero), 0);
    EXPECT_EQ(dispatch(effSetProgram, 0, -1), 0);
    EXPECT_EQ(journal(), (Journal{"setProgram(0)", "setProgram(-1)"}));
}

TEST_F(HostDispatcher, MainsChangedSuspendsOnlyForZero) {
    for (VstIntPtr value : {VstIntPtr{0}, VstIntPtr{1}, VstIntPtr{2}, VstIntPtr{-1}, kWideZero}) {
        EXPECT_EQ(dispatch(effMainsChanged, 0, value), 0);
    }
    EXPECT_EQ(journal(), (Journal{"suspend()", "resume()", "resume()", "resume()", "resume()"}));
}

TEST_F(HostDispatcher, VuIsScaledAndTruncatedTowardZero) {
    const struct {
        float level;
        VstIntPtr expected;
    } cases[] = {
        {0.0f, 0},
        {1.0f, 32767},
        {0.5f, 16383},
        {-0.5f, -16383},
        {2.0f, 65534},
        {std::numeric_limits<float>::quiet_NaN(), 0},
        {std::numeric_limits<float>::infinity(), INTPTR_MAX},
        {-1e30f, INTPTR_MIN},
    };
    for (const auto& c : cases) {
        effect.floatAnswer = c.level;
        EXPECT_EQ(dispatch(effGetVu), c.expected) << "level " << c.level;
    }
}

TEST_F(HostDispatcher, UnknownAndDeprecatedOpcodesAnswerZeroWithoutCalls) {
    effect.setEditor(new TestEditor(&effect));
    effect.answer = 1;
    for (VstInt32 opcode : {16, 17, 18, 20, 21, 80, 81, 1000, -1, -100, INT32_MIN, INT32_MAX}) {
        EXPECT_EQ(dispatch(opcode, 3, 1, buffer, 1.0f), 0) << "opcode " << opcode;
    }
    EXPECT_TRUE(journal().empty());
}

TEST_F(HostDispatcher, IdentifyAnswersNvEf) {
    EXPECT_EQ(dispatch(effIdentify), 0x4E764566);
    EXPECT_TRUE(journal().empty());
}

TEST_F(HostDispatcher, EditorOpcodesWithoutAnEditorAnswerZero) {
    effect.answer = 1;
    const VstInt32 editorOpcodes[] = {effEditGetRect, effEditOpen,    effEditClose,
                                      effEditIdle,    effEditKeyDown, effEditKeyUp};
    for (VstInt32 opcode : editorOpcodes) {
        EXPECT_EQ(dispatch(opcode, 'a', 1, buffer, 1.0f), 0) << "opcode " << opcode;
    }
    EXPECT_TRUE(journal().empty());
}

TEST_F(HostDispatcher, EditorOpcodesReachTheEditor) {
    auto* editor = new TestEditor(&effect);
    effect.setEditor(editor);
    for (bool answer : {true, false}) {
        journal().clear();
        editor->answer = answer;
        const VstIntPtr expected = answer ? 1 : 0;
        EXPECT_EQ(dispatch(effEditGetRect, 0, 0, buffer), expected);
        EXPECT_EQ(dispatch(effEditOpen, 0, 0, buffer), expected);
        EXPECT_EQ(dispatch(effEditIdle), 0);
        EXPECT_EQ(dispatch(effEditClose), 0);
        EXPECT_EQ(dispatch(effSetEditKnobMode, 0, 2), 0);
        EXPECT_EQ(journal(),
                  (Journal{"editor.getRect(P)", "editor.open(P)", "editor.idle()", "editor.close()"}));
    }
}

TEST_F(HostDispatcher, KeyOpcodesBuildTheKeyCode) {
    auto* editor = new TestEditor(&effect);
    effect.setEditor(editor);
    editor->answer = true;
    EXPECT_EQ(dispatch(effEditKeyDown, 'a', 0x141, nullptr, 2.9f), 1);
    EXPECT_EQ(dispatch(effEditKeyUp, -5, 0x1FF, nullptr, 9.99f), 1);
    editor->answer = false;
    EXPECT_EQ(dispatch(effEditKeyDown, 'b', kWide7, nullptr, -1.0f), 0);
    EXPECT_EQ(dispatch(effEditKeyDown, 0, 0, nullptr, 257.5f), 0);
    EXPECT_EQ(dispatch(effEditKeyDown, 0, 0, nullptr, std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(dispatch(effEditKeyDown, 0, 0, nullptr, 1e20f), 0);
    EXPECT_EQ(journal(),
              (Journal{"editor.keyDown(97,65,2)", "editor.keyUp(-5,255,9)", "editor.keyDown(98,7,255)",
                       "editor.keyDown(0,0,1)", "editor.keyDown(0,0,0)", "editor.keyDown(0,0,0)"}));
}

TEST(HostDispatcherDefaults, BaseOperationsStoreSettingsAndSurviveMissingBuffers) {
    PlainEffect effect;
    AEffect* record = effect.getAeffect();
    auto dispatch = [&](VstInt32 opcode, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.0f) {
        return record->dispatcher(record, opcode, 0, value, ptr, opt);
    };
    dispatch(effSetBlockSize, 256);
    dispatch(effSetSampleRate, 0, nullptr, 48000.0f);
    EXPECT_EQ(effect.getBlockSize(), 256);
    EXPECT_EQ(effect.getSampleRate(), 48000.0f);
    EXPECT_EQ(dispatch(effSetBlockSizeAndSampleRate, 64, nullptr, 96000.0f), 1);
    EXPECT_EQ(effect.getBlockSize(), 64);
    EXPECT_EQ(effect.getSampleRate(), 96000.0f);

    char text[8] = "xxxxxxx";
    EXPECT_EQ(dispatch(effGetProgramName, 0, text), 0);
    EXPECT_STREQ(text, "");
    // A host that passes no buffer must not crash the base operations.
    for (VstInt32 opcode : {effGetProgramName, effGetParamLabel, effGetParamDisplay, effGetParamName}) {
        EXPECT_EQ(dispatch(opcode), 0);
    }
    effect.setEditor(new AEffEditor(&effect));
    EXPECT_EQ(dispatch(effEditGetRect), 0);
    ERect* rect = reinterpret_cast<ERect*>(text);
    EXPECT_EQ(dispatch(effEditGetRect, 0, &rect), 0);
    EXPECT_EQ(rect, nullptr);
}

} // namespace
