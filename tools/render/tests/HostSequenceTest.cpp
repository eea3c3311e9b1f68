// What the plug-in sees of velmora-render: the start-up and shut-down sequence, block sizes, host
// answers and where automation lands. The fixture logs every lifecycle call and turns its output into
// a constant 7.0 if the host breaks a rule, so the output check also checks the host.
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace render_test;

namespace {

// The echo fixtures at unity gain: sample `i` of interleaved stereo `input`, plus the one 64 frames
// earlier at half level, in the fixture's own float arithmetic; silence past the input's end.
float echoed(const std::vector<float>& input, size_t i, float offset) {
    const auto at = [&input](size_t index) { return index < input.size() ? input[index] : 0.0f; };
    float expected = at(i) * 1.0f + offset;
    expected += 0.5f * (i >= 128 ? at(i - 128) : 0.0f);
    return expected;
}

} // namespace

TEST(RenderHost, StartsProcessesAndStopsInTheVst24Order) {
    TempDir dir;
    const std::vector<float> input = testSignal(2, 1000, 48000);
    writeAudio(dir.path("in.wav"), SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, 48000, input);
    const RunResult run = runRender({"-q", "--plugin", fixture("fixture_good"), "--block", "300", "--set",
                                     "gain=0.25", dir.path("in.wav"), dir.path("out.wav")},
                                    {"RENDER_FIXTURE_LOG=" + dir.path("calls.log")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(lines(fileBytes(dir.path("calls.log"))),
              (std::vector<std::string>{"open", "set 0 0.25", "rate 48000", "block 300", "mains 1", "mains 0",
                                        "processed calls 4 frames 1000", "close"}));
    const Audio output = readAudio(dir.path("out.wav"));
    ASSERT_EQ(output.samples.size(), input.size());
    for (size_t i = 0; i < input.size(); ++i)
        ASSERT_EQ(output.samples[i], input[i] * 0.5f) << i;
}

TEST(RenderHost, AutomationTakesEachBlocksStartValue) {
    // 1000 frames per second and blocks of 250: block starts at 0, 0.25, ... 1.75 s.
    TempDir dir;
    const std::vector<float> ones(2 * 2000, 0.5f);
    writeAudio(dir.path("in.wav"), SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, 1000, ones);
    const RunResult run =
        runRender({"-q", "--plugin", fixture("fixture_good"), "--block", "250", "--automate",
                   "gain=250ms:0,1250ms:1", dir.path("in.wav"), dir.path("out.wav")},
                  {"RENDER_FIXTURE_LOG=" + dir.path("calls.log")});
    ASSERT_EQ(run.status, 0) << run.err;
    const float expectedGain[8] = {0.0f, 0.0f, 0.25f, 0.5f, 0.75f, 1.0f, 1.0f, 1.0f};
    const Audio output = readAudio(dir.path("out.wav"));
    ASSERT_EQ(output.samples.size(), ones.size());
    for (size_t frame = 0; frame < 2000; ++frame) {
        const float expected = 0.5f * 2.0f * expectedGain[frame / 250];
        ASSERT_EQ(output.samples[frame * 2], expected) << frame;
        ASSERT_EQ(output.samples[frame * 2 + 1], expected) << frame;
    }
    const std::string log = fileBytes(dir.path("calls.log"));
    EXPECT_EQ(log.find("VIOLATION"), std::string::npos) << log;
    EXPECT_NE(log.find("set 0 0.75\n"), std::string::npos) << log;
}

TEST(RenderHost, MonoFeedsBothInputsAndOddBlocksStayWithinTheAnnouncedSize) {
    TempDir dir;
    const std::vector<float> input = testSignal(1, 1001, 22050);
    writeAudio(dir.path("in.aiff"), SF_FORMAT_AIFF | SF_FORMAT_FLOAT, 1, 22050, input);
    const RunResult run = runRender({"-q", "--plugin", fixture("fixture_good"), "--block", "1", "--set",
                                     "1=0.125", dir.path("in.aiff"), dir.path("out.aiff")},
                                    {"RENDER_FIXTURE_LOG=" + dir.path("calls.log")});
    ASSERT_EQ(run.status, 0) << run.err;
    const Audio output = readAudio(dir.path("out.aiff"));
    ASSERT_EQ(output.info.channels, 2);
    ASSERT_EQ(output.info.frames, 1001);
    for (size_t i = 0; i < input.size(); ++i) {
        ASSERT_EQ(output.samples[i * 2], input[i] + 0.125f) << i; // gain stays 0.5 (unity), offset by index
        ASSERT_EQ(output.samples[i * 2 + 1], input[i] + 0.125f) << i;
    }
    EXPECT_NE(fileBytes(dir.path("calls.log")).find("processed calls 1001 frames 1001"), std::string::npos);
}

TEST(RenderHost, FallsBackToTheEntryPointNamedMain) {
    TempDir dir;
    writeAudio(dir.path("in.wav"), SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, 44100, testSignal(2, 100, 44100));
    const RunResult run = runRender({"--plugin", fixture("fixture_main_only"), "--info"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("\"Fixture\""), std::string::npos) << run.out;
}

TEST(RenderHost, VerboseReportsTheRunAndTheNotifications) {
    TempDir dir;
    writeAudio(dir.path("in.wav"), SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, 44100, testSignal(2, 100, 44100));
    const RunResult run = runRender({"-v", "--plugin", fixture("fixture_good"), "--automate", "gain=0:0,1:1",
                                     dir.path("in.wav"), dir.path("out.wav")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("host notifications: automate 1, beginEdit 1, endEdit 1"), std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("automating parameter 0 'gain' over 2 breakpoint(s)"), std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("100 frames, 2 channel(s) at 44100 Hz, blocks of 512, tail of 0 frames, writing "
                           "stereo WAV "
                           "(Microsoft), 32 bit float"),
              std::string::npos)
        << run.err;
}

// The echo fixture's tail: each input frame comes back kEchoFrames (64) later at half level.
TEST(RenderHost, TailProcessesSilenceAfterTheInput) {
    TempDir dir;
    const int frames = 800;
    const std::vector<float> input = testSignal(2, frames, 8000);
    writeAudio(dir.path("in.wav"), SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, 8000, input);
    for (const auto& [tail, tailFrames] :
         std::vector<std::pair<std::string, int>>{{"50ms", 400}, {"0", 0}, {"0.004", 32}}) {
        SCOPED_TRACE(tail);
        const RunResult run = runRender({"-q", "--plugin", fixture("fixture_echo"), "--block", "100",
                                         "--tail", tail, dir.path("in.wav"), dir.path("out.wav")});
        ASSERT_EQ(run.status, 0) << run.err;
        const Audio output = readAudio(dir.path("out.wav"));
        ASSERT_EQ(output.info.frames, frames + tailFrames);
        for (size_t i = 0; i < output.samples.size(); ++i) {
            ASSERT_EQ(output.samples[i], echoed(input, i, 0.0f)) << "frame " << i / 2;
        }
    }
}

// A mono plug-in runs once per channel: each instance is started and stopped in order on its own,
// gets every setting and automation, and keeps its own echo, so the channels never mix.
TEST(RenderHost, MonoPluginRunsOneInstancePerChannel) {
    TempDir dir;
    const int frames = 1000;
    const std::vector<float> input = testSignal(2, frames, 1000);
    writeAudio(dir.path("in.wav"), SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, 1000, input);
    const RunResult run =
        runRender({"-q", "--plugin", fixture("fixture_mono"), "--block", "250", "--set", "offset=0.125",
                   "--automate", "gain=0:0.5,1:0.5", dir.path("in.wav"), dir.path("out.wav")},
                  {"RENDER_FIXTURE_LOG=" + dir.path("calls.log")});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> log = lines(fileBytes(dir.path("calls.log")));
    for (const std::string instance : {"1: ", "2: "}) {
        std::vector<std::string> own;
        for (const auto& line : log) {
            if (line.rfind(instance, 0) == 0) {
                own.push_back(line.substr(instance.size()));
            }
        }
        EXPECT_EQ(own, (std::vector<std::string>{"open", "set 1 0.125", "rate 1000", "block 250", "mains 1",
                                                 "set 0 0.5", "set 0 0.5", "set 0 0.5", "set 0 0.5",
                                                 "mains 0", "processed calls 4 frames 1000", "close"}))
            << instance;
    }
    EXPECT_EQ(log.size(), 24u);
    const Audio output = readAudio(dir.path("out.wav"));
    ASSERT_EQ(output.samples.size(), input.size());
    for (size_t i = 0; i < input.size(); ++i) {
        ASSERT_EQ(output.samples[i], echoed(input, i, 0.125f)) << "frame " << i / 2 << " channel " << i % 2;
    }
}
