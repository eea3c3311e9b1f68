// Instance lifetimes as a host drives them: many instances one after another, and several alive at once
// and closed in an order of their own. Leaks show up in the address-sanitizer lane, where the leak
// checker runs at exit.
#include "HardeningSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

using namespace hardening;

namespace {

// Each instance gets its own settings so that a mix-up between instances changes someone's output.
std::vector<Step> personalTour(int who) {
    std::vector<Step> steps = zoneTour();
    for (Step& step : steps) {
        if (!std::isnan(step.knob)) {
            step.knob = std::fmod(step.knob + 0.13f * static_cast<float>(who), 1.0f);
        }
    }
    steps.front().drive = 0.1f * static_cast<float>(who);
    steps.front().reso = 1.0f - 0.1f * static_cast<float>(who);
    return steps;
}

// The same tour cut into the slices that the interleaved run plays between other instances' turns.
std::vector<std::vector<Step>> slices(const std::vector<Step>& steps, std::size_t count) {
    std::vector<std::vector<Step>> result(count);
    for (std::size_t i = 0; i < steps.size(); ++i) {
        result[i * count / steps.size()].push_back(steps[i]);
    }
    return result;
}

} // namespace

TEST(Lifetime, TenThousandInstancesOpenProcessAndClose) {
    StereoBuffer input(32);
    StereoBuffer output(32);
    fillSignal(input, 0);
    for (int i = 0; i < 10000; ++i) {
        AEffect* effect = VSTPluginMain(plainHost);
        ASSERT_NE(effect, nullptr) << "instance " << i;
        ASSERT_EQ(effect->magic, kEffectMagic);
        dispatch(effect, effOpen);
        dispatch(effect, effMainsChanged, 0, 1);
        if (i % 16 == 0) {
            effect->setParameter(effect, 0, 0.1f);
            effect->processReplacing(effect, input.channels(), output.channels(), 32);
        }
        dispatch(effect, effMainsChanged, 0, 0);
        ASSERT_EQ(dispatch(effect, effClose), 1) << "instance " << i;
    }
}

TEST(Lifetime, ClosingOneInstanceNeverDisturbsAnother) {
    constexpr int kInstances = 6;
    constexpr std::size_t kSlices = 8;

    // Reference: each instance alone, start to finish.
    std::array<Recording, kInstances> reference;
    for (int who = 0; who < kInstances; ++who) {
        AEffect* effect = VSTPluginMain(plainHost);
        ASSERT_NE(effect, nullptr);
        reference[who] = play(effect, personalTour(who));
        dispatch(effect, effClose);
    }

    // Interleaved: all alive at once, playing slice by slice in turn. After the slice in which an
    // instance finishes it is closed at once, and a stranger is created and closed in its place, so
    // freed memory is handed straight back out.
    std::array<AEffect*, kInstances> effects{};
    std::array<Recording, kInstances> played;
    std::array<std::int64_t, kInstances> frames{};
    std::array<std::vector<std::vector<Step>>, kInstances> parts;
    for (int who = 0; who < kInstances; ++who) {
        effects[who] = VSTPluginMain(plainHost);
        ASSERT_NE(effects[who], nullptr);
        parts[who] = slices(personalTour(who), kSlices);
    }
    // Instance `who` stops after slice lastSlice[who]: closes come in the order 3, 5, 0, 1, 4, 2.
    const std::array<std::size_t, kInstances> lastSlice = {3, 4, 7, 2, 5, 3};
    std::vector<int> closeOrder;
    for (std::size_t slice = 0; slice < kSlices; ++slice) {
        for (int who : {2, 5, 0, 3, 1, 4}) {
            if (effects[who] == nullptr) {
                continue;
            }
            const Recording part = play(effects[who], parts[who][slice], frames[who]);
            played[who].insert(played[who].end(), part.begin(), part.end());
            if (slice == lastSlice[who]) {
                EXPECT_EQ(dispatch(effects[who], effClose), 1);
                effects[who] = nullptr;
                closeOrder.push_back(who);
                AEffect* stranger = VSTPluginMain(plainHost);
                ASSERT_NE(stranger, nullptr);
                stranger->setParameter(stranger, 0, 0.9f);
                dispatch(stranger, effClose);
            }
        }
    }
    ASSERT_EQ(closeOrder, (std::vector<int>{3, 5, 0, 1, 4, 2}));

    for (int who = 0; who < kInstances; ++who) {
        // Only the slices played before the close can be compared.
        std::size_t expectedFrames = 0;
        for (std::size_t slice = 0; slice <= lastSlice[who]; ++slice) {
            for (const Step& step : parts[who][slice]) {
                expectedFrames += static_cast<std::size_t>(step.frames);
            }
        }
        ASSERT_EQ(played[who].size(), 2 * expectedFrames);
        // The reference holds the channels block by block in the same layout.
        const Recording prefix(reference[who].begin(),
                               reference[who].begin() + static_cast<long>(played[who].size()));
        EXPECT_TRUE(played[who] == prefix) << "instance " << who << " changed while others were closed";
    }
}

TEST(Lifetime, InstancesShareNoParameterOrProgramState) {
    AEffect* first = VSTPluginMain(plainHost);
    AEffect* second = VSTPluginMain(plainHost);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    ASSERT_NE(first->object, second->object);

    char name[] = "Only the first";
    dispatch(first, effSetProgramName, 0, 0, name);
    first->setParameter(first, 0, 0.2f);
    first->setParameter(first, 1, 0.7f);
    first->setParameter(first, 2, 0.1f);
    dispatch(first, effSetSampleRate, 0, 0, nullptr, 96000.0f);
    dispatch(first, effMainsChanged, 0, 0);

    char text[kVstMaxProgNameLen] = {};
    dispatch(second, effGetProgramName, 0, 0, text);
    EXPECT_STREQ(text, "Init 1");
    EXPECT_EQ(second->getParameter(second, 0), 0.5f);
    EXPECT_EQ(second->getParameter(second, 1), 0.0f);
    EXPECT_EQ(second->getParameter(second, 2), 0.5f);

    dispatch(first, effClose);
    // The survivor still sits in the dry centre and passes audio unchanged.
    StereoBuffer input(256);
    StereoBuffer output(256);
    fillSignal(input, 0);
    second->processReplacing(second, input.channels(), output.channels(), 256);
    EXPECT_EQ(output.left, input.left);
    EXPECT_EQ(output.right, input.right);
    dispatch(second, effClose);
}
