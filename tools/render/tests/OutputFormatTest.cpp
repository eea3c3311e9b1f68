// Which format the output gets: the container from the name, the samples from the input where the
// container holds them, else 24-bit; explicit choices win or fail with a reason.
#include "OutputFormat.h"
#include "OutputRate.h"
#include "RenderError.h"

#include <gtest/gtest.h>
#include <sndfile.h>

using namespace render;

namespace {

constexpr int kWav16 = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
constexpr int kWavFloat = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
constexpr int kMp3 = SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
constexpr int kVorbis = SF_FORMAT_OGG | SF_FORMAT_VORBIS;
const SampleRequest kAsInput{};
const SampleRequest kFloat{0, true, {}};

struct FormatCase {
    const char* output;
    int input;
    SampleRequest request; // --bits, --float, --quality
    int expected;          // 0: an error containing `message`
    const char* message;   // the error, or the note ("" for none)
};

const FormatCase kCases[] = {
    {"a.wav", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, kAsInput, SF_FORMAT_WAV | SF_FORMAT_PCM_24, ""},
    {"a.FLAC", kWav16, kAsInput, SF_FORMAT_FLAC | SF_FORMAT_PCM_16, ""},
    {"a.flac", kWavFloat, kAsInput, SF_FORMAT_FLAC | SF_FORMAT_PCM_24,
     "FLAC (Free Lossless Audio Codec) has no 32 bit"},
    {"a.flac", SF_FORMAT_WAV | SF_FORMAT_PCM_32, kAsInput, SF_FORMAT_FLAC | SF_FORMAT_PCM_24,
     "has no Signed 32 bit"},
    {"a.caf", SF_FORMAT_CAF | SF_FORMAT_ALAC_16, kAsInput, SF_FORMAT_CAF | SF_FORMAT_PCM_16, ""},
    // A lossy input is decoded; the output's name decides, and PCM holds the decoded audio.
    {"a.wav", kMp3, kAsInput, SF_FORMAT_WAV | SF_FORMAT_PCM_24, ""},
    {"a.rf64", SF_FORMAT_WAV | SF_FORMAT_ULAW, kAsInput, SF_FORMAT_RF64 | SF_FORMAT_PCM_24, ""},
    {"a.au", kWavFloat, kAsInput, SF_FORMAT_AU | SF_FORMAT_FLOAT, ""},
    {"a.ogg", kMp3, kAsInput, kVorbis, ""},
    {"a.wav", kWavFloat, {16, false, {}}, kWav16, ""},
    {"a.w64", kVorbis, {32, false, {}}, SF_FORMAT_W64 | SF_FORMAT_PCM_32, ""},
    {"a.aiff", kWav16, kFloat, SF_FORMAT_AIFF | SF_FORMAT_FLOAT, ""},
    {"a.flac", kWav16, kFloat, 0, "cannot hold 32 bit float"},
    {"a.flac", kWav16, {32, false, {}}, 0, "cannot hold Signed 32 bit PCM"},
    {"a.mp3", kWav16, {24, false, {}}, 0, "no sample size to choose"},
    {"a.opus", kWav16, kFloat, 0, "no sample size to choose"},
    {"a.flac", kWav16, {0, false, 5.0}, 0, "--quality is for the lossy formats"},
};

} // namespace

TEST(RenderOutputFormat, FollowsTheNameTheInputAndTheRequest) {
    for (const auto& testCase : kCases) {
        SCOPED_TRACE(std::string(testCase.output) + " from " + describeFormat(testCase.input));
        const int container = containerFor(testCase.output, 0);
        try {
            const OutputFormat format = chooseOutputFormat(container, testCase.input, testCase.request);
            EXPECT_EQ(format.format, testCase.expected) << describeFormat(format.format);
            EXPECT_EQ(format.note.empty(), *testCase.message == '\0') << format.note;
            EXPECT_NE(format.note.find(testCase.message), std::string::npos) << format.note;
        } catch (const RenderError& error) {
            EXPECT_EQ(testCase.expected, 0) << error.what();
            EXPECT_NE(std::string(error.what()).find(testCase.message), std::string::npos) << error.what();
        }
    }
    // --quality 10 is libsndfile's compression level 0, --quality 0 its level 1.
    EXPECT_EQ(*chooseOutputFormat(kVorbis, kWav16, {0, false, 10.0}).compressionLevel, 0.0);
    EXPECT_EQ(*chooseOutputFormat(kMp3, kWav16, {0, false, 0.0}).compressionLevel, 1.0);
}

// The output's rate: the input's or --rate where the format takes it; else, for the input's rate, the
// next one above that the format takes or, above them all, the highest of the input's family.
TEST(RenderOutputFormat, RateIsKeptOrTheNearestTheFormatTakes) {
    constexpr int kOpus = SF_FORMAT_OGG | SF_FORMAT_OPUS;
    constexpr int kFlac = SF_FORMAT_FLAC | SF_FORMAT_PCM_24;
    struct RateCase {
        int format;
        int input;
        int requested;
        int expected; // 0: refused
    };
    const RateCase cases[] = {
        {kOpus, 44100, 0, 48000},      {kOpus, 16000, 0, 16000},       {kOpus, 22050, 0, 24000},
        {kOpus, 88200, 0, 48000},      {kMp3, 96000, 0, 48000},        {kMp3, 88200, 0, 44100},
        {kMp3, 176400, 0, 44100},      {kMp3, 37800, 0, 44100},        {kMp3, 8000, 0, 8000},
        {kFlac, 768000, 0, 384000},    {kFlac, 705600, 0, 352800},     {kWav16, 768000, 0, 768000},
        {kWav16, 44100, 22050, 22050}, {kVorbis, 44100, 96000, 96000}, {kOpus, 48000, 44100, 0},
        {kMp3, 44100, 96000, 0},       {kFlac, 44100, 700000, 0},
    };
    for (const auto& rateCase : cases) {
        SCOPED_TRACE(describeFormat(rateCase.format) + " from " + std::to_string(rateCase.input) +
                     " Hz, --rate " + std::to_string(rateCase.requested));
        try {
            const OutputRate rate = chooseOutputRate(rateCase.format, rateCase.input, rateCase.requested);
            EXPECT_EQ(rate.rate, rateCase.expected);
            // Only a rate the program chose by itself is worth a line.
            EXPECT_EQ(rate.note.empty(), rate.rate == rateCase.input || rateCase.requested != 0) << rate.note;
        } catch (const RenderError& error) {
            EXPECT_EQ(rateCase.expected, 0) << error.what();
            EXPECT_NE(std::string(error.what()).find("--rate " + std::to_string(rateCase.requested)),
                      std::string::npos)
                << error.what();
        }
    }
}
