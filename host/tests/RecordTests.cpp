// The instance record: its contents after construction, flag setters, the six callbacks and the lifetime
// of the effect and its editor.
#include "HostTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <new>
#include <stdexcept>

using namespace hosttest;

namespace {

class HostRecord : public ::testing::Test {
  protected:
    void SetUp() override { resetJournal(); }
};

TEST_F(HostRecord, ConstructionFillsEveryFieldOverStaleMemory) {
    // Build over garbage so that a field the constructor forgets to clear shows up.
    alignas(PlainEffect) unsigned char storage[sizeof(PlainEffect)];
    // Volatile, or the compiler drops the fill as a dead store before the constructor.
    volatile unsigned char* fill = storage;
    for (size_t i = 0; i < sizeof(storage); ++i) {
        fill[i] = 0xA5;
    }
    auto* effect = new (storage) PlainEffect(nullptr, 5, 7);
    const AEffect& record = *effect->getAeffect();

    EXPECT_EQ(record.magic, 0x56737450);
    EXPECT_NE(record.dispatcher, nullptr);
    EXPECT_NE(record.process, nullptr);
    EXPECT_NE(record.setParameter, nullptr);
    EXPECT_NE(record.getParameter, nullptr);
    EXPECT_NE(record.processReplacing, nullptr);
    EXPECT_NE(record.processDoubleReplacing, nullptr);
    EXPECT_EQ(record.numPrograms, 5);
    EXPECT_EQ(record.numParams, 7);
    EXPECT_EQ(record.numInputs, 1);
    EXPECT_EQ(record.numOutputs, 2);
    EXPECT_EQ(record.flags, 0x10);
    EXPECT_EQ(record.resvd1, 0);
    EXPECT_EQ(record.resvd2, 0);
    EXPECT_EQ(record.initialDelay, 0);
    EXPECT_EQ(record.realQualities, 0);
    EXPECT_EQ(record.offQualities, 0);
    EXPECT_EQ(record.ioRatio, 1.0f);
    EXPECT_EQ(record.object, static_cast<void*>(effect));
    EXPECT_EQ(record.user, nullptr);
    EXPECT_EQ(record.uniqueID, 0x4E6F4566);
    EXPECT_EQ(record.version, 1);
    for (char c : record.future) {
        ASSERT_EQ(c, 0);
    }
    EXPECT_EQ(effect->getSampleRate(), 44100.0f);
    EXPECT_EQ(effect->getBlockSize(), 1024);
    EXPECT_EQ(effect->getProgram(), 0);
    EXPECT_EQ(effect->getEditor(), nullptr);
    effect->~PlainEffect();
}

TEST_F(HostRecord, FlagSettersSetAndClearOnlyTheirBit) {
    struct Case {
        const char* name;
        std::function<void(PlainEffect&, bool)> set;
        VstInt32 bit;
    };
    const Case cases[] = {
        {"canProcessReplacing", [](PlainEffect& e, bool s) { e.canProcessReplacing(s); }, 0x10},
        {"canDoubleReplacing", [](PlainEffect& e, bool s) { e.canDoubleReplacing(s); }, 0x1000},
        {"programsAreChunks", [](PlainEffect& e, bool s) { e.programsAreChunks(s); }, 0x20},
        {"hasVu", [](PlainEffect& e, bool s) { e.hasVu(s); }, 0x4},
        {"hasClip", [](PlainEffect& e, bool s) { e.hasClip(s); }, 0x2},
        {"canMono", [](PlainEffect& e, bool s) { e.canMono(s); }, 0x8},
        {"isSynth", [](PlainEffect& e, bool s) { e.isSynth(s); }, 0x100},
        {"noTail", [](PlainEffect& e, bool s) { e.noTail(s); }, 0x200},
        {"wantAsyncOperation", [](PlainEffect& e, bool s) { e.wantAsyncOperation(s); }, 0x400},
        {"hasExternalBuffer", [](PlainEffect& e, bool s) { e.hasExternalBuffer(s); }, 0x800},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PlainEffect effect;
        AEffect* record = effect.getAeffect();
        record->flags = 0x10000; // an unrelated bit that must survive
        c.set(effect, true);
        EXPECT_EQ(record->flags, 0x10000 | c.bit);
        c.set(effect, true);
        EXPECT_EQ(record->flags, 0x10000 | c.bit);
        c.set(effect, false);
        EXPECT_EQ(record->flags, 0x10000);
    }
}

TEST_F(HostRecord, SetEditorTracksTheEditorFlagAndDetachingDoesNotDelete) {
    PlainEffect effect;
    TestEditor editor(&effect);
    effect.setEditor(&editor);
    EXPECT_EQ(effect.getEditor(), &editor);
    EXPECT_EQ(effect.getAeffect()->flags, effFlagsHasEditor | effFlagsCanReplacing);
    effect.setEditor(nullptr);
    EXPECT_EQ(effect.getEditor(), nullptr);
    EXPECT_EQ(effect.getAeffect()->flags, effFlagsCanReplacing);
    EXPECT_TRUE(journal().empty());
}

TEST_F(HostRecord, DeletingTheEffectDeletesItsEditor) {
    auto* effect = new RecordingEffect();
    effect->setEditor(new TestEditor(effect));
    delete effect;
    EXPECT_EQ(journal(), (Journal{"~effect()", "~editor()"}));
}

class HostCallbacks : public HostRecord {};

TEST_F(HostCallbacks, EachCallbackReachesItsOperationWithItsArguments) {
    RecordingEffect effect;
    AEffect* record = effect.getAeffect();
    float* in[2] = {};
    float* out[2] = {};
    double* inD[2] = {};
    double* outD[2] = {};
    pointerNames() = {{in, "in"}, {out, "out"}, {inD, "inD"}, {outD, "outD"}};
    effect.floatAnswer = 0.75f;
    effect.answer = 2400;

    record->setParameter(record, 2, 0.25f);
    EXPECT_EQ(record->getParameter(record, 1), 0.75f);
    record->processReplacing(record, in, out, 64);
    record->process(record, in, out, 32);
    record->processDoubleReplacing(record, inD, outD, 16);
    EXPECT_EQ(record->dispatcher(record, effGetVstVersion, 0, 0, nullptr, 0.0f), 2400);

    EXPECT_EQ(journal(), (Journal{"setParameter(2,0.25)", "getParameter(1)", "processReplacing(in,out,64)",
                                  "process(in,out,32)", "processDouble(inD,outD,16)", "getVstVersion()"}));
}

TEST_F(HostCallbacks, CloseRunsCloseThenDestroysEffectAndEditorAndAnswersOne) {
    auto* effect = new RecordingEffect();
    effect->setEditor(new TestEditor(effect));
    effect->answer = 7;
    AEffect* record = effect->getAeffect();
    EXPECT_EQ(record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f), 1);
    EXPECT_EQ(journal(), (Journal{"close()", "~effect()", "~editor()"}));
}

TEST_F(HostCallbacks, BaseAccumulateAndDoubleProcessingLeaveOutputsUntouched) {
    PlainEffect effect;
    AEffect* record = effect.getAeffect();
    float inL[4] = {1, 2, 3, 4}, inR[4] = {5, 6, 7, 8};
    float outL[4] = {9, 9, 9, 9}, outR[4] = {9, 9, 9, 9};
    float* in[2] = {inL, inR};
    float* out[2] = {outL, outR};
    double inDL[4] = {1, 2, 3, 4}, inDR[4] = {5, 6, 7, 8};
    double outDL[4] = {9, 9, 9, 9}, outDR[4] = {9, 9, 9, 9};
    double* inD[2] = {inDL, inDR};
    double* outD[2] = {outDL, outDR};

    record->process(record, in, out, 4);
    record->processDoubleReplacing(record, inD, outD, 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(outL[i], 9.0f);
        EXPECT_EQ(outR[i], 9.0f);
        EXPECT_EQ(outDL[i], 9.0);
        EXPECT_EQ(outDR[i], 9.0);
    }
}

// An exception must not unwind into the host's C code, and a failing close must still free the instance.
class ThrowingEffect : public RecordingEffect {
  public:
    void close() override { throw std::runtime_error("close"); }
    VstInt32 getVstVersion() override { throw std::bad_alloc(); }
    float getParameter(VstInt32) override { throw std::runtime_error("get"); }
};

TEST_F(HostCallbacks, ExceptionsStopAtTheRecord) {
    auto* effect = new ThrowingEffect();
    AEffect* record = effect->getAeffect();
    EXPECT_EQ(record->dispatcher(record, effGetVstVersion, 0, 0, nullptr, 0.0f), 0);
    EXPECT_EQ(record->getParameter(record, 0), 0.0f);
    EXPECT_EQ(record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f), 1);
    EXPECT_EQ(journal(), (Journal{"~effect()"}));
}

TEST_F(HostCallbacks, NullRecordIsIgnored) {
    PlainEffect effect;
    AEffect* record = effect.getAeffect();
    EXPECT_EQ(record->dispatcher(nullptr, effIdentify, 0, 0, nullptr, 0.0f), 0);
    EXPECT_EQ(record->getParameter(nullptr, 0), 0.0f);
    record->setParameter(nullptr, 0, 1.0f);
    record->processReplacing(nullptr, nullptr, nullptr, 16);
}

TEST(HostTextHelpers, WriteTerminatedTextWithinTheGivenLength) {
    PlainEffect effect;
    char text[16];
    auto fresh = [&] { std::memset(text, '#', sizeof(text)); };

    fresh();
    effect.dB2string(0.0f, text, 8);
    EXPECT_STREQ(text, "-oo");
    fresh();
    effect.dB2string(-3.0f, text, 8);
    EXPECT_STREQ(text, "-oo");
    fresh();
    effect.dB2string(0.5f, text, 8);
    EXPECT_STREQ(text, "-6.02");
    fresh();
    effect.dB2string(0.5f, text, 3);
    EXPECT_STREQ(text, "-6");
    EXPECT_EQ(text[3], '#');

    fresh();
    effect.Hz2string(100.0f, text, 16);
    EXPECT_STREQ(text, "441.00");
    fresh();
    effect.Hz2string(0.0f, text, 16);
    EXPECT_STREQ(text, "0.00");
    fresh();
    effect.ms2string(22050.0f, text, 16);
    EXPECT_STREQ(text, "500.00");
    fresh();
    effect.float2string(-1234.5678f, text, 5);
    EXPECT_STREQ(text, "-123");
    EXPECT_EQ(text[5], '#');
    fresh();
    effect.int2string(-2147483647 - 1, text, 16);
    EXPECT_STREQ(text, "-2147483648");
    fresh();
    effect.int2string(12345, text, 1);
    EXPECT_STREQ(text, "");
    EXPECT_EQ(text[1], '#');

    fresh();
    effect.dB2string(1.0f, text, 0);
    effect.float2string(1.0f, text, -4);
    effect.int2string(1, text, 0);
    effect.Hz2string(1.0f, text, 0);
    effect.ms2string(1.0f, text, 0);
    EXPECT_EQ(text[0], '#');
    effect.int2string(1, nullptr, 8);
}

} // namespace
