#include "Options.h"
#include "RenderError.h"

#include <gtest/gtest.h>

using render::Mode;
using render::Options;

namespace {

Options parse(std::vector<const char*> args) {
    args.insert(args.begin(), "velmora-render");
    return render::parseOptions(static_cast<int>(args.size()), args.data());
}

std::string errorOf(std::vector<const char*> args) {
    try {
        parse(std::move(args));
    } catch (const render::RenderError& error) {
        return error.what();
    }
    return std::string();
}

} // namespace

TEST(RenderOptions, ModesAndTheirFiles) {
    const Options render = parse({"in.wav", "out.wav"});
    EXPECT_EQ(render.mode, Mode::Render);
    EXPECT_EQ(render.input, "in.wav");
    EXPECT_EQ(render.output, "out.wav");
    EXPECT_EQ(render.blockSize, 512);
    EXPECT_EQ(render.plugin, "");

    const Options demo = parse({"--demo", "out/demo.wav"});
    EXPECT_EQ(demo.mode, Mode::Demo);
    EXPECT_EQ(demo.output, "out/demo.wav");
    EXPECT_EQ(parse({"--plugin", "x.so", "--info"}).mode, Mode::Info);
    EXPECT_EQ(parse({"--info", "--plugin=x.so"}).plugin, "x.so");
    EXPECT_EQ(parse({"in.wav", "--help"}).mode, Mode::Help);
    EXPECT_EQ(parse({"--version"}).mode, Mode::Version);
    // After "--" a name that starts with a dash is a file.
    EXPECT_EQ(parse({"--", "-in.wav", "out.wav"}).input, "-in.wav");
}

TEST(RenderOptions, BlockSizeBounds) {
    EXPECT_EQ(parse({"--block", "1", "a", "b"}).blockSize, 1);
    EXPECT_EQ(parse({"--block=65536", "a", "b"}).blockSize, 65536);
    for (const char* bad : {"0", "65537", "-5", "12k", "", "1.5"})
        EXPECT_NE(errorOf({"--block", bad, "a", "b"}).find("--block"), std::string::npos) << bad;
    EXPECT_NE(errorOf({"a", "b", "--block"}).find("needs a value"), std::string::npos);
}

TEST(RenderOptions, SettingsAndAutomationsAreParsedUpFront) {
    const Options options =
        parse({"--set", "drive=0.25", "--set=reso=1", "--automate", "knob=0:0.5,2s:0", "a", "b"});
    ASSERT_EQ(options.settings.size(), 2u);
    EXPECT_EQ(options.settings[0].name, "drive");
    EXPECT_DOUBLE_EQ(options.settings[0].value, 0.25);
    EXPECT_EQ(options.settings[1].name, "reso");
    ASSERT_EQ(options.automations.size(), 1u);
    EXPECT_EQ(options.automations[0].name, "knob");
    EXPECT_FLOAT_EQ(options.automations[0].envelope.valueAt(1.0), 0.25f);

    EXPECT_NE(errorOf({"--set", "knob=0.5", "--automate", "knob=0:1", "a", "b"}).find("more than once"),
              std::string::npos);
    EXPECT_NE(errorOf({"--set", "knob", "a", "b"}).find("NAME=VALUE"), std::string::npos);
}

TEST(RenderOptions, WrongCombinationsAndCountsAreRefused) {
    EXPECT_NE(errorOf({"in.wav"}).find("INPUT and OUTPUT"), std::string::npos);
    EXPECT_NE(errorOf({"a", "b", "c"}).find("INPUT and OUTPUT"), std::string::npos);
    EXPECT_NE(errorOf({"--demo"}).find("exactly one"), std::string::npos);
    EXPECT_NE(errorOf({"--demo", "--info"}).find("cannot be combined"), std::string::npos);
    EXPECT_NE(errorOf({"--info", "x.wav"}).find("'x.wav'"), std::string::npos);
    EXPECT_NE(errorOf({"--demo-input", "dry.wav", "a", "b"}).find("--demo"), std::string::npos);
    EXPECT_NE(errorOf({"--float=yes", "a", "b"}).find("takes no value"), std::string::npos);
    EXPECT_NE(errorOf({"--format", "m4a", "a", "b"}).find("'m4a'"), std::string::npos);
    EXPECT_NE(errorOf({"-x", "a", "b"}).find("'-x'"), std::string::npos);
}

TEST(RenderOptions, OutputAndTailOptions) {
    const Options options = parse({"--format", "FLAC", "--bits", "24", "--tail", "1500ms", "--quality=2.5",
                                   "--rate", "96000", "a", "b"});
    EXPECT_EQ(options.container, render::containerNamed("flac"));
    EXPECT_EQ(options.samples.bits, 24);
    EXPECT_DOUBLE_EQ(options.tailSeconds, 1.5);
    EXPECT_DOUBLE_EQ(*options.samples.quality, 2.5);
    EXPECT_EQ(options.rate, 96000);
    EXPECT_DOUBLE_EQ(parse({"a", "b"}).tailSeconds, 0.0);
    EXPECT_EQ(parse({"--rate=1000", "a", "b"}).rate, 1000);
    const char* const refused[][3] = {{"--bits", "8", "--bits '8'"},
                                      {"--bits", "24.0", "'24.0'"},
                                      {"--quality", "11", "'11'"},
                                      {"--quality", "high", "'high'"},
                                      {"--tail", "-1", "'-1'"},
                                      {"--tail", "3601", "an hour"},
                                      {"--bits", "16", "cannot be combined"},
                                      {"--rate", "768001", "'768001'"},
                                      {"--rate", "0", "'0'"}};
    for (const auto& [option, value, message] : refused) {
        const std::string error = errorOf({"--float", option, value, "a", "b"});
        EXPECT_NE(error.find(message), std::string::npos) << message << ": " << error;
    }
}
