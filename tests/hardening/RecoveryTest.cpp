// Liveness after impossible values: once a host sends finite parameters and finite audio again, the
// output must be finite again within one block, whatever came before, and must stay finite afterwards.
// (The fuzzer checks the same property on random action sequences; these are the cases it found.)
#include "CorvelParameters.h"
#include "HardeningSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace hardening;

namespace {

const float kInf = std::numeric_limits<float>::infinity();

// Processes `frames` frames of the programme in blocks of `block`; true when every output was finite.
bool playFinite(AEffect* effect, int frames, int block, std::int64_t& frame) {
    bool finite = true;
    StereoBuffer input(block);
    StereoBuffer output(block);
    for (int done = 0; done < frames; done += block) {
        fillSignal(input, frame);
        effect->processReplacing(effect, input.channels(), output.channels(), block);
        finite = finite && allFinite(output);
        frame += block;
    }
    return finite;
}

// One block of NaN audio: it leaves the filters' state reset to zero.
void playNaN(AEffect* effect, int frames) {
    StereoBuffer input(frames);
    StereoBuffer output(frames);
    for (int i = 0; i < frames; ++i) {
        input.left[static_cast<std::size_t>(i)] = std::numeric_limits<float>::quiet_NaN();
        input.right[static_cast<std::size_t>(i)] = std::numeric_limits<float>::quiet_NaN();
    }
    effect->processReplacing(effect, input.channels(), output.channels(), frames);
}

} // namespace

// Coefficients are refreshed every 25 samples, counted from the instance's first sample: samples 24,
// 49, 74 and so on. A resonance of infinity caught by one refresh (with NaN audio at the same time) must
// not outlive the host's next, finite value by more than the block that brings it, however short.
TEST(Recovery, AnInfiniteResonanceIsForgottenWithinOneBlock) {
    AEffect* effect = VSTPluginMain(plainHost);
    ASSERT_NE(effect, nullptr);
    std::int64_t frame = 0;
    effect->setParameter(effect, kKnob, 0.2f);
    ASSERT_TRUE(playFinite(effect, 25 * 800, 25, frame)); // deep in the low-pass zone

    effect->setParameter(effect, kReso, kInf);
    playFinite(effect, 25, 25, frame); // the refresh on its last sample takes the infinite resonance
    playNaN(effect, 1);
    frame += 1;

    effect->setParameter(effect, kReso, 0.5f);
    playFinite(effect, 4, 4, frame); // recovery block
    EXPECT_TRUE(playFinite(effect, 4, 4, frame)) << "NaN output one block after the resonance became finite";
    EXPECT_TRUE(playFinite(effect, 4096, 64, frame));
    dispatch(effect, effClose);
}

// The dry centre refreshes nothing, so a coefficient spoilt before the knob got there waits for the knob
// to leave it, however long after the host fixed the value.
TEST(Recovery, AnInfiniteResonanceDoesNotWaitInTheDryCentre) {
    AEffect* effect = VSTPluginMain(plainHost);
    ASSERT_NE(effect, nullptr);
    std::int64_t frame = 0;
    effect->setParameter(effect, kKnob, kInf); // the glide jumps straight to the high-pass side
    effect->setParameter(effect, kReso, kInf);
    playFinite(effect, 25, 25, frame);
    playNaN(effect, 1);

    // All finite from here on: the knob jumps back to the dry centre (the glide cannot leave infinity
    // any other way) and stays there for a while.
    effect->setParameter(effect, kReso, 0.5f);
    effect->setParameter(effect, kKnob, 0.5f);
    EXPECT_TRUE(playFinite(effect, 8192, 512, frame));

    // Then the user turns the knob: the glide leaves the dry centre for the low-pass side.
    effect->setParameter(effect, kKnob, 0.2f);
    EXPECT_TRUE(playFinite(effect, 8192, 512, frame)) << "NaN output long after every value became finite";
    dispatch(effect, effClose);
}

TEST(Recovery, NonFiniteAudioAndParametersAreForgottenWithinOneBlockInEveryZone) {
    const float impossible[] = {std::numeric_limits<float>::quiet_NaN(), kInf, -kInf, 1e30f, -1e30f};
    for (float knob : {0.1f, 0.44f, 0.5f, 0.6f, 0.9f}) {
        for (float bad : impossible) {
            SCOPED_TRACE(testing::Message() << "knob " << knob << ", impossible value " << bad);
            AEffect* effect = VSTPluginMain(plainHost);
            ASSERT_NE(effect, nullptr);
            std::int64_t frame = 0;
            effect->setParameter(effect, kKnob, knob);
            playFinite(effect, 20000, 500, frame);

            // Poison everything for one block: audio and all three parameters.
            for (VstInt32 index = 0; index < 3; ++index) {
                effect->setParameter(effect, index, bad);
            }
            StereoBuffer poison(100);
            StereoBuffer output(100);
            for (int i = 0; i < 100; ++i) {
                poison.left[static_cast<std::size_t>(i)] = bad;
                poison.right[static_cast<std::size_t>(i)] = -bad;
            }
            effect->processReplacing(effect, poison.channels(), output.channels(), 100);

            effect->setParameter(effect, kKnob, knob);
            effect->setParameter(effect, kDrive, 0.5f);
            effect->setParameter(effect, kReso, 0.5f);
            playFinite(effect, 100, 100, frame); // recovery block
            EXPECT_TRUE(playFinite(effect, 100, 100, frame));
            EXPECT_TRUE(playFinite(effect, 10000, 500, frame));
            dispatch(effect, effClose);
        }
    }
}
