// Which format the output gets: the container from the name, the samples from the input where the
// container holds them, else 24-bit; explicit choices win or fail with a reason.
#include "OutputFormat.h"
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
