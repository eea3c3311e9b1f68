#include "HostCallback.h"

#include <gtest/gtest.h>

using namespace render;

namespace {
VstIntPtr ask(AEffect* effect, VstInt32 opcode, void* ptr = nullptr, float opt = 0.0f) {
    return hostCallback(effect, opcode, 0, 0, ptr, opt);
}
} // namespace

TEST(RenderHostCallback, AnswersFromTheContextOfTheRecord) {
    HostContext host;
    host.sampleRate = 96000.0;
    host.blockSize = 37;
    AEffect effect{};
    bindHostContext(&effect, &host);
    EXPECT_EQ(ask(&effect, audioMasterVersion), 2400);
    EXPECT_EQ(ask(&effect, audioMasterGetSampleRate), 96000);
    EXPECT_EQ(ask(&effect, audioMasterGetBlockSize), 37);
    EXPECT_EQ(ask(nullptr, audioMasterVersion), 2400) << "callable before a record exists";

    ask(&effect, audioMasterBeginEdit);
    ask(&effect, audioMasterAutomate, nullptr, 0.3f);
    ask(&effect, audioMasterAutomate, nullptr, 0.4f);
    ask(&effect, audioMasterEndEdit);
    EXPECT_EQ(host.beginEditCount, 1);
    EXPECT_EQ(host.automateCount, 2);
    EXPECT_EQ(host.endEditCount, 1);
    EXPECT_EQ(host.opcodeCounts[audioMasterGetSampleRate], 1);

    char text[kVstMaxVendorStrLen];
    EXPECT_EQ(ask(&effect, audioMasterGetProductString, text), 1);
    EXPECT_STREQ(text, "velmora-render");
    EXPECT_EQ(ask(&effect, audioMasterGetTime), 0) << "no time info is offered";
}

TEST(RenderHostCallback, CallsDuringTheEntryPointReachThePendingContext) {
    HostContext host;
    host.sampleRate = 22050.0;
    AEffect unbound{};
    {
        PendingHostBinding binding(&host);
        EXPECT_EQ(ask(&unbound, audioMasterGetSampleRate), 22050);
        ask(&unbound, audioMasterAutomate);
    }
    EXPECT_EQ(host.automateCount, 1);
    EXPECT_EQ(ask(&unbound, audioMasterGetSampleRate), 44100) << "defaults once the binding ends";
}

TEST(RenderHostCallback, CanDoIsHonest) {
    for (const char* lacking :
         {"sendVstTimeInfo", "sendVstEvents", "receiveVstMidiEvent", "sizeWindow", "offline"})
        EXPECT_EQ(hostCanDo(lacking), -1) << lacking;
    EXPECT_EQ(hostCanDo("somethingNew"), 0);
    EXPECT_EQ(hostCanDo(nullptr), 0);
}
