// A render through velmora-render equals the same plug-in run in process through its record with the
// same blocks and automation, and two renders are identical. This holds whatever the plug-in's DSP.
#include "InProcessHost.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace render_test;

namespace {

void expectRenderMatchesInProcess(const std::string& plugin, const std::string& parameter,
                                  const std::string& automation) {
    TempDir dir;
    const int rate = 44100;
    const std::vector<float> input = testSignal(2, rate * 6 / 5, rate);
    writeAudio(dir.path("in.wav"), SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, rate, input);
    const std::vector<std::string> args = {
        "-q", "--plugin", plugin, "--block", "37", "--automate", parameter + "=" + automation};
    auto withFiles = [&](const std::string& out) {
        auto all = args;
        all.push_back(dir.path("in.wav"));
        all.push_back(dir.path(out));
        return all;
    };
    RunResult run = runRender(withFiles("first.wav"));
    ASSERT_EQ(run.status, 0) << run.err;
    run = runRender(withFiles("second.wav"));
    ASSERT_EQ(run.status, 0) << run.err;
    const Audio first = readAudio(dir.path("first.wav"));
    const Audio second = readAudio(dir.path("second.wav"));
    ASSERT_EQ(first.samples.size(), input.size());
    EXPECT_TRUE(first.samples == second.samples) << "two renders differ";
    EXPECT_EQ(fileBytes(dir.path("first.wav")), fileBytes(dir.path("second.wav")))
        << "no time stamps in files";

    const auto expected =
        renderInProcess(plugin, input, rate, 37, parameter, render::parseEnvelope(automation));
    ASSERT_EQ(expected.size(), first.samples.size());
    for (size_t i = 0; i < expected.size(); ++i)
        ASSERT_EQ(first.samples[i], expected[i]) << "sample " << i;
}

} // namespace

TEST(RenderDeterminism, VelmoraMatchesInProcessHostWithOddBlocks) {
    expectRenderMatchesInProcess(VELMORA_PLUGIN, "knob", "0s:0.5,0.2s:0,0.6s:1,1s:0.5");
}

TEST(RenderDeterminism, GainFixtureMatchesInProcessHostWithOddBlocks) {
    expectRenderMatchesInProcess(fixture("fixture_good"), "gain", "0s:0.5,0.2s:0,0.6s:1,1s:0.5");
}

// Guards the comparison above: with the gain fixture, another block schedule gives other output.
TEST(RenderDeterminism, InProcessHostSeesTheBlockSchedule) {
    const std::vector<float> input = testSignal(2, 44100, 44100);
    const auto envelope = render::parseEnvelope("0s:0,1s:1");
    EXPECT_FALSE(renderInProcess(fixture("fixture_good"), input, 44100, 37, "gain", envelope) ==
                 renderInProcess(fixture("fixture_good"), input, 44100, 64, "gain", envelope));
}
