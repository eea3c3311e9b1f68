// --info: identity, parameters and programs of a plug-in, and the text-size conformance check.
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace render_test;

namespace {
bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}
} // namespace

TEST(RenderInfo, DescribesVelmoraWithAllTextsInRange) {
    const RunResult run = runRender({"--info"});
    ASSERT_EQ(run.status, 0) << run.err;
    for (const char* expected :
         {"\"knob\"", "\"drive\"", "\"reso\"", "vendor:          \"Trevanor\"",
          "effect name:     \"Velmora\"", "unique ID:       QrKt", "inputs:          2", "outputs:         2",
          "parameters:      3", "renders as:      one instance for both channels", "all texts terminated"})
        EXPECT_TRUE(contains(run.out, expected)) << expected << "\n" << run.out;
    for (const char* capability : {"sendVstEvents", "receiveVstTimeInfo", "midiProgramNames", "bypass"})
        EXPECT_TRUE(contains(run.out, capability)) << capability;
    EXPECT_EQ(run.err, "") << "conformance warnings for our own plug-in";
}

TEST(RenderInfo, SetValuesShowInTheDisplay) {
    const RunResult run = runRender({"--plugin", fixture("fixture_good"), "--set", "gain=0.25", "--info"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(
        contains(run.out, "   0  name \"gain\"      value 0.250000  display \"0.50\"      label \"x\"\n"))
        << run.out;
    // The fixture reports one begin-edit/automate/end-edit triple when it opens.
    EXPECT_TRUE(contains(run.out, "host notifications: automate 1, beginEdit 1, endEdit 1")) << run.out;
    EXPECT_TRUE(contains(run.out, "unique ID:       Fxtr")) << run.out;
    EXPECT_TRUE(contains(run.out, "flags:           0x00000010 (CanReplacing)")) << run.out;
}

TEST(RenderInfo, SaysAMonoPluginRunsOncePerChannel) {
    const RunResult run = runRender({"--plugin", fixture("fixture_mono"), "--info"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(contains(run.out, "inputs:          1\noutputs:         1\n"
                                  "renders as:      two instances, one per channel (a mono plug-in)\n"))
        << run.out;
    EXPECT_TRUE(contains(run.out, "tail size:       64")) << run.out;
}

TEST(RenderInfo, WarnsAboutTextsLongerThanThePublishedSizes) {
    const RunResult run = runRender({"--plugin", fixture("fixture_long_texts"), "--info"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(contains(run.out, "gain-level")) << run.out;
    const auto warnings = lines(run.err);
    ASSERT_EQ(warnings.size(), 3u) << run.err;
    EXPECT_TRUE(contains(warnings[0], "effGetParamName(0)")) << warnings[0];
    EXPECT_TRUE(contains(warnings[0], "8-byte")) << warnings[0];
    EXPECT_TRUE(contains(warnings[1], "effGetProgramNameIndexed(0)")) << warnings[1];
    EXPECT_TRUE(contains(warnings[2], "effGetProgramName ")) << warnings[2];
    EXPECT_TRUE(contains(run.out, "3 fault(s)")) << run.out;
}

TEST(RenderInfo, HelpDescribesEveryMode) {
    const RunResult run = runRender({"--help"});
    ASSERT_EQ(run.status, 0);
    for (const char* expected :
         {"--demo",     "--info", "--plugin",  "--set",  "--automate", "--block",      "--format",
          "--float",    "--bits", "--quality", "--tail", "mono",       "stereo",       "MP3",
          "Ogg Vorbis", "Opus",   ".w64",      ".caf",   ".rf64",      "two instances"})
        EXPECT_TRUE(contains(run.out, expected)) << expected;
}
