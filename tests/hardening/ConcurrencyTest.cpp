// The threads a host really uses at once: an audio thread running blocks, and a user-interface thread
// (or the host's automation) setting parameters, switching programs and reading texts through the
// dispatcher at the same time. Run under the thread sanitizer, these tests turn any data race between
// those threads into a failure.
#include "AEffGUIEditor.h"
#include "CControl.h"
#include "CFrame.h"
#include "HardeningSupport.h"
#include "OffscreenPlatform.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <limits>
#include <thread>

using namespace hardening;

namespace {

constexpr int kBlock = 256;
// Blocks per phase: long enough (about five glide time constants) for the knob to settle in its zone.
constexpr int kBlocksPerPhase = 40;
// User-interface rounds per phase at the least, so that the two threads really overlap however the
// scheduler shares the cores.
constexpr unsigned kRoundsPerPhase = 25;

const float kInf = std::numeric_limits<float>::infinity();
const float kNaN = std::numeric_limits<float>::quiet_NaN();

// Drive and resonance values the other thread cycles through, the impossible ones included.
const float kSideValues[] = {0.0f, 0.5f, 1.0f, kNaN, kInf, -kInf, 1e30f, -0.0f, 1e-40f, 0.25f};

// The knob zones in turn: low-pass, dry, high-pass crossfade, pure high-pass, then values no host
// should send (which the glide must survive), then low-pass again.
const float kKnobPhases[] = {0.1f, 0.47f, 0.62f, 0.95f, kNaN, kInf, -kInf, 0.5f, 0.3f};

// What the audio thread saw: blocks that came out bit for bit dry, and blocks that did not.
struct AudioCounts {
    std::atomic<int> blocks{0};
    std::atomic<int> dry{0};
    std::atomic<int> filtered{0};
};

// Runs blocks on its own thread until told to stop. With `automate`, it also sets parameters between
// blocks, as a host playing back automation does on its audio thread.
class AudioThread {
  public:
    AudioThread(AEffect* effect, bool automate) : effect(effect), automate(automate) {
        thread = std::thread([this] { run(); });
    }
    ~AudioThread() { stop(); }

    void stop() {
        running.store(false);
        if (thread.joinable()) {
            thread.join();
        }
    }
    AudioCounts counts;

  private:
    void run() {
        StereoBuffer input(kBlock);
        StereoBuffer output(kBlock);
        std::int64_t frame = 0;
        unsigned turn = 0;
        while (running.load()) {
            if (automate) {
                const VstInt32 index = static_cast<VstInt32>(1 + turn % 2);
                effect->setParameter(effect, index, kSideValues[turn % std::size(kSideValues)]);
                effect->getParameter(effect, index);
            }
            fillSignal(input, frame);
            effect->processReplacing(effect, input.channels(), output.channels(), kBlock);
            const bool dry =
                std::memcmp(input.left.data(), output.left.data(), kBlock * sizeof(float)) == 0 &&
                std::memcmp(input.right.data(), output.right.data(), kBlock * sizeof(float)) == 0;
            (dry ? counts.dry : counts.filtered).fetch_add(1);
            counts.blocks.fetch_add(1);
            frame += kBlock;
            ++turn;
        }
    }

    AEffect* effect;
    bool automate;
    std::atomic<bool> running{true};
    std::thread thread;
};

// Reads one text through the dispatcher into a marked buffer of the published size and checks that it
// came back terminated inside it and that nothing was written past it.
::testing::AssertionResult readText(AEffect* effect, VstInt32 opcode, VstInt32 index, std::size_t size) {
    char buffer[300];
    std::memset(buffer, '#', sizeof buffer);
    buffer[0] = '\0';
    dispatch(effect, opcode, index, 0, buffer);
    if (std::memchr(buffer, '\0', size) == nullptr) {
        return ::testing::AssertionFailure() << "opcode " << opcode << " index " << index << " unterminated";
    }
    for (std::size_t i = size; i < sizeof buffer; ++i) {
        if (buffer[i] != '#') {
            return ::testing::AssertionFailure() << "opcode " << opcode << " wrote past " << size << " bytes";
        }
    }
    return ::testing::AssertionSuccess();
}

// One round of what a user-interface thread does: read every name and display text, rename the program
// and select it again (which re-applies its values).
void userInterfaceRound(AEffect* effect, unsigned turn) {
    for (VstInt32 index = -1; index <= 3; ++index) {
        EXPECT_TRUE(readText(effect, effGetParamDisplay, index, kVstMaxParamStrLen));
        EXPECT_TRUE(readText(effect, effGetParamLabel, index, kVstMaxParamStrLen));
        EXPECT_TRUE(readText(effect, effGetParamName, index, kVstMaxParamStrLen));
        effect->getParameter(effect, index);
    }
    EXPECT_TRUE(readText(effect, effGetProgramName, 0, kVstMaxProgNameLen));
    EXPECT_TRUE(readText(effect, effGetProgramNameIndexed, 0, kVstMaxProgNameLen));
    EXPECT_TRUE(readText(effect, effGetEffectName, 0, kVstMaxEffectNameLen));
    char name[40];
    std::snprintf(name, sizeof name, "Take %u of a long session name", turn);
    dispatch(effect, effSetProgramName, 0, 0, name);
    dispatch(effect, effBeginSetProgram);
    dispatch(effect, effSetProgram, 0, turn % 3 == 0 ? 0 : -1);
    dispatch(effect, effEndSetProgram);
}

// After the threads stop: finite parameters and finite audio must give finite output again.
void expectRecovers(AEffect* effect) {
    effect->setParameter(effect, 0, 0.2f);
    effect->setParameter(effect, 1, 0.3f);
    effect->setParameter(effect, 2, 0.6f);
    StereoBuffer input(kBlock);
    StereoBuffer output(kBlock);
    fillSignal(input, 0);
    effect->processReplacing(effect, input.channels(), output.channels(), kBlock);
    fillSignal(input, kBlock);
    effect->processReplacing(effect, input.channels(), output.channels(), kBlock);
    EXPECT_TRUE(allFinite(output));
}

} // namespace

TEST(Concurrency, ParametersProgramsAndTextsFromAnotherThreadWhileTheAudioRuns) {
    AEffect* effect = VSTPluginMain(plainHost);
    ASSERT_NE(effect, nullptr);
    dispatch(effect, effOpen);
    dispatch(effect, effSetSampleRate, 0, 0, nullptr, 48000.0f);
    dispatch(effect, effMainsChanged, 0, 1);

    AudioThread audio(effect, false);
    unsigned turn = 0;
    for (float knob : kKnobPhases) {
        effect->setParameter(effect, 0, knob);
        const int phaseEnd = audio.counts.blocks.load() + kBlocksPerPhase;
        const unsigned roundsEnd = turn + kRoundsPerPhase;
        while (audio.counts.blocks.load() < phaseEnd || turn < roundsEnd) {
            effect->setParameter(effect, 1, kSideValues[turn % std::size(kSideValues)]);
            effect->setParameter(effect, 2, kSideValues[(turn * 7 + 3) % std::size(kSideValues)]);
            userInterfaceRound(effect, turn);
            ++turn;
        }
    }
    audio.stop();

    // Both the dry centre and the filter zones were really played while the other thread worked.
    EXPECT_GT(audio.counts.dry.load(), kBlocksPerPhase / 2);
    EXPECT_GT(audio.counts.filtered.load(), kBlocksPerPhase);
    expectRecovers(effect);
    dispatch(effect, effMainsChanged, 0, 0);
    dispatch(effect, effClose);
}

TEST(Concurrency, AutomationOnTheAudioThreadWhileTheUserInterfaceSwitchesPrograms) {
    AEffect* effect = VSTPluginMain(plainHost);
    ASSERT_NE(effect, nullptr);
    dispatch(effect, effMainsChanged, 0, 1);
    effect->setParameter(effect, 0, 0.05f);

    AudioThread audio(effect, true);
    unsigned turn = 0;
    const int end = audio.counts.blocks.load() + 4 * kBlocksPerPhase;
    while (audio.counts.blocks.load() < end || turn < 4 * kRoundsPerPhase) {
        userInterfaceRound(effect, turn);
        if (turn % 16 == 0) {
            // The editor moves the knob while the host automates drive and resonance.
            effect->setParameter(effect, 0, turn % 32 == 0 ? 0.05f : 0.9f);
        }
        ++turn;
    }
    audio.stop();
    EXPECT_GT(audio.counts.filtered.load(), 0);
    expectRecovers(effect);
    dispatch(effect, effClose);
}

// The editor's window on the user-interface thread (opening, firing its timer, drawing, clicks, closing)
// while a host thread hammers parameters and programs: the changes off the window's thread must only be
// marked, never touch a control, and the controls must end on the latest values.
TEST(Concurrency, HostChangesFromAnotherThreadWhileTheWindowOpensDrawsAndCloses) {
    AEffect* effect = VSTPluginMain(plainHost);
    ASSERT_NE(effect, nullptr);
    OffscreenPlatform& platform = OffscreenPlatform::instance();
    std::atomic<bool> hammering{true};
    std::thread host([&] {
        unsigned turn = 0;
        while (hammering.load()) {
            effect->setParameter(effect, static_cast<VstInt32>(turn % 3), kKnobPhases[turn % 9]);
            if (turn % 17 == 0) {
                dispatch(effect, effSetProgram, 0, 0);
            }
            ++turn;
        }
    });
    int parent = 0;
    for (int cycle = 0; cycle < 200; ++cycle) {
        dispatch(effect, effEditOpen, 0, 0, &parent);
        OffscreenFrame* window = platform.lastFrame();
        for (int firing = 0; firing < 3; ++firing) {
            platform.fireTimers();
            window->paint();
        }
        window->mouseDown(CPoint(85, 60), kLButton);
        window->mouseMoved(CPoint(85, 40 + cycle % 40), kLButton);
        window->mouseUp(CPoint(85, 40), 0);
        dispatch(effect, effEditClose);
    }
    hammering.store(false);
    host.join();

    // Quiet now: what another thread set last reaches every control at the next firing.
    dispatch(effect, effEditOpen, 0, 0, &parent);
    std::thread([&] {
        effect->setParameter(effect, 0, 0.2f);
        effect->setParameter(effect, 1, 0.75f);
        effect->setParameter(effect, 2, 0.125f);
    }).join();
    platform.fireTimers();
    auto* editor = static_cast<AEffGUIEditor*>(static_cast<AudioEffect*>(effect->object)->getEditor());
    const int knobViews[3] = {3, 5, 4}; // main knob, DRIVE, RESO in the window's order
    for (VstInt32 index = 0; index < 3; ++index) {
        const auto* control = static_cast<const CControl*>(editor->getFrame()->getView(knobViews[index]));
        EXPECT_EQ(control->getValue(), effect->getParameter(effect, index)) << index;
    }
    dispatch(effect, effClose);
}
