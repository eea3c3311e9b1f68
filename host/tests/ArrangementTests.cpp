// Speaker arrangement tools: variable-length allocation, speaker copies with bounded names, and copies of
// whole arrangements.
#include "HostTestSupport.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>

using namespace hosttest;

namespace {

class HostArrangement : public ::testing::Test {
  protected:
    void TearDown() override {
        effect.deallocateArrangement(&first);
        effect.deallocateArrangement(&second);
    }
    PlainEffect effect;
    VstSpeakerArrangement* first = nullptr;
    VstSpeakerArrangement* second = nullptr;
};

VstSpeakerProperties speaker(int n) {
    VstSpeakerProperties s{};
    s.azimuth = 0.5f * static_cast<float>(n);
    s.elevation = -0.25f;
    s.radius = 2.0f;
    s.reserved = 1.0f;
    s.type = n;
    std::snprintf(s.name, sizeof(s.name), "speaker %d", n);
    std::memset(s.future, n, sizeof(s.future));
    return s;
}

// The speaker array really holds numChannels records, beyond its declared length of 8.
VstSpeakerProperties& speakerAt(VstSpeakerArrangement* arrangement, VstInt32 i) {
    char* base = reinterpret_cast<char*>(arrangement) + offsetof(VstSpeakerArrangement, speakers);
    return *reinterpret_cast<VstSpeakerProperties*>(base +
                                                    static_cast<size_t>(i) * sizeof(VstSpeakerProperties));
}

bool sameSpeaker(const VstSpeakerProperties& a, const VstSpeakerProperties& b) {
    return std::memcmp(&a, &b, sizeof(a)) == 0;
}

TEST_F(HostArrangement, AllocateGivesZeroFilledRoomForEveryChannel) {
    for (VstInt32 channels : {0, 1, 8, 24}) {
        ASSERT_TRUE(effect.allocateArrangement(&first, channels));
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(first->numChannels, channels);
        EXPECT_EQ(first->type, 0);
        const VstSpeakerProperties zero{};
        for (VstInt32 i = 0; i < channels; ++i) {
            ASSERT_TRUE(sameSpeaker(speakerAt(first, i), zero)) << "channel " << i;
        }
        // Fill every record: a short allocation would show under a memory checker.
        for (VstInt32 i = 0; i < channels; ++i) {
            std::memset(&speakerAt(first, i), 0x5A, sizeof(VstSpeakerProperties));
        }
    }
}

TEST_F(HostArrangement, RefusedRequestsLeaveTheHeldArrangementAlone) {
    ASSERT_TRUE(effect.allocateArrangement(&first, 2));
    VstSpeakerArrangement* held = first;
    EXPECT_FALSE(effect.allocateArrangement(&first, -1));
    EXPECT_EQ(first, held);
    EXPECT_EQ(first->numChannels, 2);
    EXPECT_FALSE(effect.allocateArrangement(nullptr, 2));
}

TEST_F(HostArrangement, DeallocateClearsThePointer) {
    ASSERT_TRUE(effect.allocateArrangement(&first, 4));
    EXPECT_TRUE(effect.deallocateArrangement(&first));
    EXPECT_EQ(first, nullptr);
    EXPECT_TRUE(effect.deallocateArrangement(&first));
    EXPECT_FALSE(effect.deallocateArrangement(nullptr));
}

TEST_F(HostArrangement, CopySpeakerCopiesEveryFieldAndBoundsTheName) {
    VstSpeakerProperties from = speaker(3);
    VstSpeakerProperties to{};
    std::memset(&to, 0x77, sizeof(to));
    EXPECT_TRUE(effect.copySpeaker(&to, &from));
    EXPECT_TRUE(sameSpeaker(to, from));

    // An unterminated source name is cut to 63 characters and terminated.
    std::memset(from.name, 'x', sizeof(from.name));
    EXPECT_TRUE(effect.copySpeaker(&to, &from));
    EXPECT_EQ(std::string(to.name), std::string(63, 'x'));

    EXPECT_TRUE(effect.copySpeaker(&to, &to));
    EXPECT_EQ(std::string(to.name), std::string(63, 'x'));

    const VstSpeakerProperties before = to;
    EXPECT_FALSE(effect.copySpeaker(&to, nullptr));
    EXPECT_FALSE(effect.copySpeaker(nullptr, &from));
    EXPECT_TRUE(sameSpeaker(to, before));
}

TEST_F(HostArrangement, MatchMakesAnIndependentCopy) {
    const VstInt32 channels = 10;
    ASSERT_TRUE(effect.allocateArrangement(&first, channels));
    first->type = kSpeakerArrUserDefined;
    for (VstInt32 i = 0; i < channels; ++i) {
        speakerAt(first, i) = speaker(i);
    }
    ASSERT_TRUE(effect.allocateArrangement(&second, 1));

    ASSERT_TRUE(effect.matchArrangement(&second, first));
    EXPECT_NE(second, first);
    EXPECT_EQ(second->type, kSpeakerArrUserDefined);
    EXPECT_EQ(second->numChannels, channels);
    for (VstInt32 i = 0; i < channels; ++i) {
        EXPECT_TRUE(sameSpeaker(speakerAt(second, i), speaker(i))) << "channel " << i;
    }

    // Matching an arrangement to itself must not free it first.
    EXPECT_TRUE(effect.matchArrangement(&first, first));
    EXPECT_EQ(first->numChannels, channels);
    EXPECT_TRUE(sameSpeaker(speakerAt(first, channels - 1), speaker(channels - 1)));

    EXPECT_FALSE(effect.matchArrangement(nullptr, first));
    EXPECT_FALSE(effect.matchArrangement(&second, nullptr));
}

} // namespace
