// Every failure: non-zero status, exactly one line on stderr that names the problem, and no file
// left in the output directory (neither OUTPUT nor a half-written temporary).
#include "TestSupport.h"

#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace render_test;

namespace {

struct ErrorCase {
    const char* name;
    std::vector<std::string> args; // "IN" and "OUT" stand for the files of the case's directory
    const char* expected;          // must appear in the message
};

void PrintTo(const ErrorCase& error, std::ostream* out) {
    *out << error.name;
}

const std::vector<ErrorCase>& errorCases() {
    static const std::vector<ErrorCase> cases = {
        {"MissingInput", {"missing.wav", "OUT"}, "missing.wav"},
        {"UnreadableInput", {"notaudio.wav", "OUT"}, "notaudio.wav"},
        {"ThreeChannels", {"three.wav", "OUT"}, "3 channels"},
        {"UnknownParameter", {"--set", "wobble=0.3", "IN", "OUT"}, "unknown parameter 'wobble'"},
        {"UnknownAutomatedParameter", {"--automate", "wobble=0:1", "IN", "OUT"}, "'wobble'"},
        {"ParameterIndexOutOfRange", {"--set", "7=0.3", "IN", "OUT"}, "'7'"},
        {"BadValue", {"--set", "knob=loud", "IN", "OUT"}, "'loud'"},
        {"ValueOutOfRange", {"--set", "knob=1.5", "IN", "OUT"}, "'1.5'"},
        {"UnorderedBreakpoints", {"--automate", "knob=0s:0.5,2s:0,1s:1", "IN", "OUT"}, "'1s:1'"},
        {"BadTime", {"--automate", "knob=0s:0.5,2h:0", "IN", "OUT"}, "'2h'"},
        {"BlockZero", {"--block", "0", "IN", "OUT"}, "--block '0'"},
        {"BlockTooLarge", {"--block", "65537", "IN", "OUT"}, "--block '65537'"},
        {"BlockNotANumber", {"--block", "12k", "IN", "OUT"}, "--block '12k'"},
        {"UnknownOption", {"--frobnicate", "IN", "OUT"}, "--frobnicate"},
        {"MissingOutput", {"IN"}, "OUTPUT"},
        {"OutputIsInput", {"IN", "IN"}, "is the INPUT file"},
        {"FloatFlac",
         {"--float", "--format", "flac", "IN", "OUT"},
         "FLAC (Free Lossless Audio Codec) cannot hold 32 bit float"},
        {"BadFormat", {"--format", "mp4", "IN", "OUT"}, "unknown format 'mp4' (known: wav"},
        {"UnknownExtension", {"IN", "out.xyz"}, "'OUTDIR/out.xyz' from its name (known extensions: wav"},
        {"NoExtension", {"IN", "out"}, "from its name"},
        {"RateNotAWholeNumber", {"--rate", "48k", "IN", "OUT"}, "bad --rate '48k'"},
        {"RateTooLow", {"--rate", "999", "IN", "OUT"}, "bad --rate '999'"},
        {"RateOpusRefuses", {"--rate", "44100", "IN", "out.opus"}, "--rate 44100 is not possible for OGG"},
        {"RateFlacRefuses", {"--rate", "768000", "IN", "out.flac"}, "--rate 768000 is not possible for FLAC"},
        {"TailTooLong", {"--tail", "2h", "IN", "OUT"}, "'2h'"},
        {"PluginMissing", {"--plugin", "nowhere.so", "IN", "OUT"}, "nowhere.so"},
        {"PluginNotALibrary", {"--plugin", "notaudio.wav", "IN", "OUT"}, "not a loadable plug-in library"},
        {"PluginWithoutEntry",
         {"--plugin", "@fixture_not_a_plugin", "IN", "OUT"},
         "neither VSTPluginMain nor main"},
        {"PluginEntryReturnsNull", {"--plugin", "@fixture_null_entry", "IN", "OUT"}, "returned null"},
        {"PluginWrongMagic", {"--plugin", "@fixture_wrong_magic", "IN", "OUT"}, "wrong magic"},
        {"PluginOneOutput", {"--plugin", "@fixture_one_output", "IN", "OUT"}, "1 output"},
        {"DemoWithTwoFiles", {"--demo", "IN", "OUT"}, "exactly one OUTPUT"},
        {"DemoInputIsOutput", {"--demo", "OUT", "--demo-input", "OUT"}, "--demo-input"},
        // Fails after the dry file's writer exists: its temporary must go too.
        {"DemoOutputIsADirectory",
         {"--demo", "--demo-input", "dry.wav", "--format", "wav", "DIR"},
         "is a directory"},
        {"InfoWithAutomation", {"--info", "--automate", "knob=0:1"}, "--automate"},
    };
    return cases;
}

class RenderErrors : public ::testing::TestWithParam<ErrorCase> {};

} // namespace

TEST_P(RenderErrors, FailCleanlyWithOneMessage) {
    const ErrorCase& error = GetParam();
    TempDir dir;
    writeAudio(dir.path("in.wav"), SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, 44100, testSignal(2, 1000, 44100));
    writeAudio(dir.path("three.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 3, 44100, testSignal(3, 1000, 44100));
    std::ofstream(dir.path("notaudio.wav")) << "not audio at all\n";
    ASSERT_EQ(mkdir(dir.path("sub").c_str(), 0755), 0);
    const std::vector<std::string> before = dir.entries();

    std::vector<std::string> args;
    for (const auto& arg : error.args) {
        if (arg == "IN")
            args.push_back(dir.path("in.wav"));
        else if (arg == "OUT")
            args.push_back(dir.path("out.wav"));
        else if (arg == "DIR")
            args.push_back(dir.path("sub"));
        else if (arg == "out")
            args.push_back(dir.path("out"));
        else if (arg.front() == '@')
            args.push_back(fixture(arg.substr(1)));
        else if (arg.find('.') != std::string::npos && arg.find('=') == std::string::npos && arg[0] != '-')
            args.push_back(dir.path(arg));
        else
            args.push_back(arg);
    }
    const RunResult run = runRender(args);
    EXPECT_NE(run.status, 0);
    EXPECT_LT(run.status, 128) << "crashed";
    const std::vector<std::string> message = lines(run.err);
    ASSERT_EQ(message.size(), 1u) << run.err;
    EXPECT_EQ(message[0].rfind("velmora-render: ", 0), 0u) << message[0];
    std::string expected = error.expected;
    if (expected.find("OUTDIR") != std::string::npos)
        expected.replace(expected.find("OUTDIR/"), 7, dir.path(""));
    EXPECT_NE(message[0].find(expected), std::string::npos) << message[0];
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(dir.entries(), before);
}

INSTANTIATE_TEST_SUITE_P(Render, RenderErrors, ::testing::ValuesIn(errorCases()),
                         [](const ::testing::TestParamInfo<ErrorCase>& testCase) {
                             return testCase.param.name;
                         });

// The same file under another name (a hard link) is still the input.
TEST(RenderErrorsMore, HardLinkToInputIsRefused) {
    TempDir dir;
    writeAudio(dir.path("in.wav"), SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, 44100, testSignal(2, 1000, 44100));
    ASSERT_EQ(link(dir.path("in.wav").c_str(), dir.path("alias.wav").c_str()), 0);
    const RunResult run = runRender({dir.path("in.wav"), dir.path("alias.wav")});
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.err.find("is the INPUT file"), std::string::npos) << run.err;
    EXPECT_EQ(readAudio(dir.path("in.wav")).info.frames, 1000);
}

// A plug-in that dies mid-run takes the process with it, but not before the half-written output goes.
TEST(RenderErrorsMore, CrashingPluginLeavesNoOutput) {
    TempDir dir;
    writeAudio(dir.path("in.wav"), SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, 44100, testSignal(2, 5000, 44100));
    const RunResult run = runRender(
        {"--plugin", fixture("fixture_crash"), "--block", "64", dir.path("in.wav"), dir.path("out.wav")});
    EXPECT_EQ(run.status, 128 + SIGABRT);
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"in.wav"});
}
