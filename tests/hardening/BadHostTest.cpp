// Hosts that misbehave: none at all, one that answers 0 to everything, one that answers garbage, one
// that never sets a rate or switches the effect on, and one that hands over impossible sample rates.
// Whatever they do, the instance must not crash, must keep its output finite and must still filter.
#include "HardeningSupport.h"

#include "Corvel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

using namespace hardening;

namespace {

// Answers 0 to every request but the version.
VstIntPtr VSTCALLBACK zeroHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? kVstVersion : 0;
}

// Answers every request, the version included, with a value picked from a garbage list: -1, huge
// positive and negative numbers, addresses nothing is mapped at.
VstIntPtr garbageAnswer = -1;
VstIntPtr VSTCALLBACK garbageHost(AEffect*, VstInt32, VstInt32, VstIntPtr, void*, float) {
    return garbageAnswer;
}

const VstIntPtr kGarbage[] = {
    -1,         std::numeric_limits<VstIntPtr>::max(), std::numeric_limits<VstIntPtr>::min(),
    0x7FFFFFFF, static_cast<VstIntPtr>(0xDEADBEEF),    VstIntPtr{1} << 40,
    -48000};

// The effect class behind a record, to reach the host wrappers a host never calls directly.
AudioEffectX* objectOf(AEffect* effect) {
    return dynamic_cast<AudioEffectX*>(static_cast<AudioEffect*>(effect->object));
}

// Asks every host service once. None of them may crash, whatever the host answers, and none may
// hand the host an argument the effect does not own.
void askEveryService(AudioEffectX& effect) {
    char text[kVstMaxVendorStrLen] = {};
    char capability[] = "sizeWindow";
    effect.getMasterVersion();
    effect.getCurrentUniqueId();
    effect.masterIdle();
    effect.isInputConnected(0);
    effect.isOutputConnected(1);
    effect.beginEdit(0);
    effect.endEdit(0);
    effect.canHostDo(capability);
    effect.sizeWindow(171, 149);
    effect.wantEvents(1);
    effect.getTimeInfo(kVstTempoValid);
    effect.tempoAt(0);
    effect.getNumAutomatableParameters();
    effect.getParameterQuantization();
    effect.ioChanged();
    effect.needIdle();
    effect.updateSampleRate();
    effect.updateBlockSize();
    effect.getInputLatency();
    effect.getOutputLatency();
    effect.getPreviousPlug(0);
    effect.getNextPlug(0);
    effect.willProcessReplacing();
    effect.getCurrentProcessLevel();
    effect.getAutomationState();
    effect.offlineGetCurrentPass();
    effect.offlineGetCurrentMetaPass();
    effect.setOutputSamplerate(44100.0f);
    effect.getOutputSpeakerArrangement();
    effect.getInputSpeakerArrangement();
    effect.getHostVendorString(text);
    effect.getHostProductString(text);
    effect.getHostVendorVersion();
    effect.hostVendorSpecific(0, 0, nullptr, 0.0f);
    effect.getHostLanguage();
    effect.getDirectory();
    effect.updateDisplay();
    effect.openFileSelector(nullptr);
    effect.closeFileSelector(nullptr);
    effect.getChunkFile(nullptr);
}

// Output of a fresh instance of a plain host over the zone tour: what every well-treated instance plays.
const Recording& referenceTour() {
    static const Recording recording = [] {
        AEffect* effect = VSTPluginMain(plainHost);
        dispatch(effect, effOpen);
        dispatch(effect, effSetSampleRate, 0, 0, nullptr, 44100.0f);
        dispatch(effect, effSetBlockSize, 0, 4096);
        dispatch(effect, effMainsChanged, 0, 0);
        dispatch(effect, effMainsChanged, 0, 1);
        Recording played = play(effect, zoneTour());
        dispatch(effect, effClose);
        return played;
    }();
    return recording;
}

bool allFinite(const Recording& recording) {
    for (std::uint32_t bits : recording) {
        if ((bits & 0x7F800000u) == 0x7F800000u) {
            return false;
        }
    }
    return true;
}

} // namespace

TEST(NoHost, EveryServiceAnswersItsDefaultAndTheEffectStillWorks) {
    Corvel effect(nullptr);
    EXPECT_EQ(effect.getMasterVersion(), 1);
    EXPECT_EQ(effect.getCurrentUniqueId(), 0);
    EXPECT_TRUE(effect.isInputConnected(0));
    EXPECT_TRUE(effect.isOutputConnected(0));
    EXPECT_FALSE(effect.beginEdit(0));
    EXPECT_FALSE(effect.endEdit(0));
    char capability[] = "sizeWindow";
    EXPECT_EQ(effect.canHostDo(capability), 0);
    EXPECT_FALSE(effect.sizeWindow(171, 149));
    EXPECT_EQ(effect.getTimeInfo(0), nullptr);
    EXPECT_EQ(effect.updateSampleRate(), 44100.0);
    EXPECT_EQ(effect.updateBlockSize(), 1024);
    char text[kVstMaxVendorStrLen] = "untouched";
    EXPECT_FALSE(effect.getHostVendorString(text));
    EXPECT_STREQ(text, "untouched");
    EXPECT_EQ(effect.getDirectory(), nullptr);
    askEveryService(effect);

    AEffect* record = effect.getAeffect();
    EXPECT_TRUE(play(record, zoneTour()) == referenceTour()) << "the effect sounds different without a host";

    // Automation without a host still reaches the effect.
    effect.setParameterAutomated(kKnob, 0.25f);
    effect.setParameterAutomated(kDrive, 0.75f);
    EXPECT_EQ(effect.getParameter(kKnob), 0.25f);
    EXPECT_EQ(effect.getParameter(kDrive), 0.75f);
    effect.setParameterAutomated(kDrive, 0.0f);
    const FilterCheck check = checkFilters(record);
    EXPECT_TRUE(check.filters()) << check.lowPassKeeps << " " << check.lowPassRemoves << " "
                                 << check.highPassRemoves;
}

TEST(ZeroHost, StoredRateAndBlockSizeSurviveAndTheEffectPlaysAsUsual) {
    AEffect* effect = VSTPluginMain(zeroHost);
    ASSERT_NE(effect, nullptr);
    AudioEffectX* object = objectOf(effect);
    ASSERT_NE(object, nullptr);
    askEveryService(*object);
    EXPECT_EQ(object->updateSampleRate(), 44100.0);
    EXPECT_EQ(object->updateBlockSize(), 1024);
    EXPECT_EQ(object->getMasterVersion(), kVstVersion);
    dispatch(effect, effMainsChanged, 0, 0);
    dispatch(effect, effMainsChanged, 0, 1);
    EXPECT_TRUE(play(effect, zoneTour()) == referenceTour());
    const FilterCheck check = checkFilters(effect);
    EXPECT_TRUE(check.filters()) << check.lowPassKeeps << " " << check.lowPassRemoves << " "
                                 << check.highPassRemoves;
    dispatch(effect, effClose);
}

TEST(GarbageHost, NonPositiveRateAndBlockAnswersAreIgnored) {
    for (VstIntPtr answer : {VstIntPtr{-1}, VstIntPtr{-48000}, std::numeric_limits<VstIntPtr>::min()}) {
        garbageAnswer = answer;
        AEffect* effect = VSTPluginMain(garbageHost);
        ASSERT_NE(effect, nullptr) << answer;
        AudioEffectX* object = objectOf(effect);
        ASSERT_NE(object, nullptr);
        EXPECT_EQ(object->updateSampleRate(), 44100.0) << answer;
        EXPECT_EQ(object->getSampleRate(), 44100.0f) << answer;
        EXPECT_EQ(object->updateBlockSize(), 1024) << answer;
        dispatch(effect, effClose);
    }
}

TEST(GarbageHost, EveryAnswerLeavesTheEffectPlayingAndFiltering) {
    for (VstIntPtr answer : kGarbage) {
        SCOPED_TRACE(answer);
        garbageAnswer = answer;
        AEffect* effect = VSTPluginMain(garbageHost);
        ASSERT_NE(effect, nullptr);
        AudioEffectX* object = objectOf(effect);
        ASSERT_NE(object, nullptr);

        // The effect consults the host for nothing it plays, so the sound is the reference's.
        EXPECT_TRUE(play(effect, zoneTour()) == referenceTour());

        // Services asked, then the instance taken off and on again as a host does around a rate change.
        // A positive garbage rate is trusted and may become the filters' rate: the output must stay finite.
        askEveryService(*object);
        object->setParameterAutomated(kReso, 0.8f);
        EXPECT_EQ(effect->getParameter(effect, kReso), 0.8f);
        dispatch(effect, effMainsChanged, 0, 0);
        dispatch(effect, effMainsChanged, 0, 1);
        EXPECT_TRUE(allFinite(play(effect, zoneTour())));

        // Once the host sets a sane rate the instance filters as before.
        dispatch(effect, effMainsChanged, 0, 0);
        dispatch(effect, effSetSampleRate, 0, 0, nullptr, 44100.0f);
        dispatch(effect, effMainsChanged, 0, 1);
        const FilterCheck check = checkFilters(effect);
        EXPECT_TRUE(check.filters()) << check.lowPassKeeps << " " << check.lowPassRemoves << " "
                                     << check.highPassRemoves;
        dispatch(effect, effClose);
    }
}

// A host that reads the parameter back while it records the automation (many do, to show it) must see
// the new value: the effect takes the value before the host hears of it.
namespace {
AEffect* automatedEffect = nullptr;
float valueSeenByHost = NAN;
VstIntPtr VSTCALLBACK readingHost(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr, void*, float) {
    if (opcode == audioMasterVersion) {
        return kVstVersion;
    }
    if (opcode == audioMasterAutomate && effect == automatedEffect) {
        valueSeenByHost = effect->getParameter(effect, index);
    }
    return 0;
}
} // namespace

TEST(ReadingHost, SeesTheAutomatedValueWhenItHearsOfIt) {
    AEffect* effect = VSTPluginMain(readingHost);
    ASSERT_NE(effect, nullptr);
    automatedEffect = effect;
    objectOf(effect)->setParameterAutomated(kKnob, 0.125f);
    EXPECT_EQ(valueSeenByHost, 0.125f);
    automatedEffect = nullptr;
    dispatch(effect, effClose);
}

TEST(LazyHost, NeverSettingRateBlockSizeOrSwitchingOnPlaysAt44100) {
    // No effOpen, no rate, no block size, no effMainsChanged: straight to processing.
    AEffect* effect = VSTPluginMain(plainHost);
    ASSERT_NE(effect, nullptr);
    EXPECT_TRUE(play(effect, zoneTour()) == referenceTour());
    dispatch(effect, effClose);
}

TEST(LazyHost, ProcessingBeforeSwitchOnThenSwitchingOnChangesNothing) {
    AEffect* effect = VSTPluginMain(plainHost);
    ASSERT_NE(effect, nullptr);
    std::vector<Step> tour = zoneTour();
    const std::vector<Step> firstHalf(tour.begin(), tour.begin() + 8);
    const std::vector<Step> secondHalf(tour.begin() + 8, tour.end());
    std::int64_t frame = 0;
    Recording played = play(effect, firstHalf, frame);
    dispatch(effect, effOpen);
    dispatch(effect, effMainsChanged, 0, 1);
    const Recording rest = play(effect, secondHalf, frame);
    played.insert(played.end(), rest.begin(), rest.end());
    EXPECT_TRUE(played == referenceTour());
    dispatch(effect, effClose);
}

TEST(RepetitiveHost, RepeatedSwitchOffsAndOnsChangeNothing) {
    AEffect* effect = VSTPluginMain(plainHost);
    ASSERT_NE(effect, nullptr);
    Recording played;
    std::int64_t frame = 0;
    int turn = 0;
    for (const Step& step : zoneTour()) {
        for (int repeat = 0; repeat < 1 + turn % 4; ++repeat) {
            dispatch(effect, effMainsChanged, 0, turn % 3 == 0 ? 1 : 0);
        }
        ++turn;
        const Recording part = play(effect, {step}, frame);
        played.insert(played.end(), part.begin(), part.end());
    }
    EXPECT_TRUE(played == referenceTour());
    dispatch(effect, effClose);
}

TEST(ImpossibleRate, FiltersFallBackTo44100) {
    const float rates[] = {0.0f,
                           -0.0f,
                           -1.0f,
                           -44100.0f,
                           std::numeric_limits<float>::quiet_NaN(),
                           -std::numeric_limits<float>::quiet_NaN(),
                           std::numeric_limits<float>::infinity(),
                           -std::numeric_limits<float>::infinity()};
    for (float rate : rates) {
        SCOPED_TRACE(rate);
        AEffect* effect = VSTPluginMain(plainHost);
        ASSERT_NE(effect, nullptr);
        dispatch(effect, effSetSampleRate, 0, 0, nullptr, rate);
        dispatch(effect, effMainsChanged, 0, 0);
        dispatch(effect, effMainsChanged, 0, 1);
        // The same through the deprecated combined request.
        dispatch(effect, effSetBlockSizeAndSampleRate, 0, 512, nullptr, rate);
        dispatch(effect, effMainsChanged, 0, 0);
        dispatch(effect, effMainsChanged, 0, 1);
        EXPECT_TRUE(play(effect, zoneTour()) == referenceTour()) << "the filters did not run at 44100";
        const FilterCheck check = checkFilters(effect);
        EXPECT_TRUE(check.filters()) << check.lowPassKeeps << " " << check.lowPassRemoves << " "
                                     << check.highPassRemoves;
        dispatch(effect, effClose);
    }
}

TEST(ImpossibleRate, AtAnyPointOfARunKeepsTheOutputFinite) {
    // Rates a host should never send, each followed by the usual off/on, in the middle of a run whose
    // knob sits in a filter zone.
    const float rates[] = {std::numeric_limits<float>::denorm_min(),
                           1e-30f,
                           1.0f,
                           8000.0f,
                           3.0e38f,
                           std::numeric_limits<float>::max(),
                           std::numeric_limits<float>::quiet_NaN(),
                           0.0f};
    AEffect* effect = VSTPluginMain(plainHost);
    ASSERT_NE(effect, nullptr);
    effect->setParameter(effect, kReso, 1.0f);
    effect->setParameter(effect, kDrive, 1.0f);
    std::int64_t frame = 0;
    for (float knob : {0.0f, 0.3f, 0.44f, 0.58f, 1.0f}) {
        for (float rate : rates) {
            SCOPED_TRACE(testing::Message() << "knob " << knob << " rate " << rate);
            dispatch(effect, effMainsChanged, 0, 0);
            dispatch(effect, effSetSampleRate, 0, 0, nullptr, rate);
            dispatch(effect, effMainsChanged, 0, 1);
            EXPECT_TRUE(allFinite(play(effect, {{1500, knob, NAN, NAN}}, frame)));
        }
    }
    dispatch(effect, effSetSampleRate, 0, 0, nullptr, 44100.0f);
    dispatch(effect, effMainsChanged, 0, 0);
    effect->setParameter(effect, kReso, 0.5f);
    effect->setParameter(effect, kDrive, 0.0f);
    const FilterCheck check = checkFilters(effect);
    EXPECT_TRUE(check.filters()) << check.lowPassKeeps << " " << check.lowPassRemoves << " "
                                 << check.highPassRemoves;
    dispatch(effect, effClose);
}
