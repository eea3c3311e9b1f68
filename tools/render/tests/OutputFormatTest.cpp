// Which format the output gets: the container from the name, the samples from the input where the
// container holds them, else 24-bit; explicit choices win or fail with a reason.
#include "OutputFormat.h"
#include "RenderError.h"

#include <gtest/gtest.h>
#include <sndfile.h>

using namespace render;

namespace {

struct FormatCase {
    const char* output;    // OUTPUT's name
    int input;             // the input file's format
    SampleRequest request; // --bits, --float, --quality
    int expected;          // 0: an error containing `message`
    const char* message;   // the error, or the note ("" for none)
};

constexpr int kWav16 = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
constexpr int kWavFloat = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
constexpr int kMp3 = SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
constexpr int kVorbis = SF_FORMAT_OGG | SF_FORMAT_VORBIS;

SampleRequest bits(int size) {
    SampleRequest request;
    request.bits = size;
    return request;
}

SampleRequest floats() {
    SampleRequest request;
    request.floatSamples = true;
    return request;
}

SampleRequest quality(double value) {
    SampleRequest request;
    request.quality = value;
    return request;
}

const FormatCase kCases[] = {
    {"a.wav", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, {}, SF_FORMAT_WAV | SF_FORMAT_PCM_24, ""},
    {"a.FLAC", kWav16, {}, SF_FORMAT_FLAC | SF_FORMAT_PCM_16, ""},
    {"a.aif", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, {}, SF_FORMAT_AIFF | SF_FORMAT_PCM_U8, ""},
    {"a.flac",
     kWavFloat,
     {},
     SF_FORMAT_FLAC | SF_FORMAT_PCM_24,
     "FLAC (Free Lossless Audio Codec) has no 32 bit"},
    {"a.flac",
     SF_FORMAT_WAV | SF_FORMAT_PCM_32,
     {},
     SF_FORMAT_FLAC | SF_FORMAT_PCM_24,
     "has no Signed 32 bit"},
    {"a.caf", SF_FORMAT_CAF | SF_FORMAT_ALAC_16, {}, SF_FORMAT_CAF | SF_FORMAT_PCM_16, ""},
    // A lossy input is decoded; the output's name decides, and PCM holds the decoded audio.
    {"a.wav", kMp3, {}, SF_FORMAT_WAV | SF_FORMAT_PCM_24, ""},
    {"a.w64", kVorbis, {}, SF_FORMAT_W64 | SF_FORMAT_PCM_24, ""},
    {"a.rf64", SF_FORMAT_WAV | SF_FORMAT_ULAW, {}, SF_FORMAT_RF64 | SF_FORMAT_PCM_24, ""},
    {"a.au", kWavFloat, {}, SF_FORMAT_AU | SF_FORMAT_FLOAT, ""},
    {"a.mp3", kWavFloat, {}, kMp3, ""},
    {"a.ogg", kMp3, {}, kVorbis, ""},
    {"a.opus", kWav16, {}, SF_FORMAT_OGG | SF_FORMAT_OPUS, ""},
    {"a.wav", kWavFloat, bits(16), kWav16, ""},
    {"a.flac", kWavFloat, bits(24), SF_FORMAT_FLAC | SF_FORMAT_PCM_24, ""},
    {"a.aiff", kWav16, floats(), SF_FORMAT_AIFF | SF_FORMAT_FLOAT, ""},
    {"a.wav", kWav16, bits(32), SF_FORMAT_WAV | SF_FORMAT_PCM_32, ""},
    {"a.flac", kWav16, floats(), 0, "cannot hold 32 bit float"},
    {"a.flac", kWav16, bits(32), 0, "cannot hold Signed 32 bit PCM"},
    {"a.mp3", kWav16, bits(24), 0, "no sample size to choose"},
    {"a.ogg", kWav16, floats(), 0, "no sample size to choose"},
    {"a.wav", kWav16, quality(5), 0, "--quality is for the lossy formats"},
    {"a.flac", kWav16, quality(5), 0, "--quality is for the lossy formats"},
};

} // namespace

TEST(RenderOutputFormat, FollowsTheNameTheInputAndTheRequest) {
    for (const auto& testCase : kCases) {
        SCOPED_TRACE(std::string(testCase.output) + " from " + describeFormat(testCase.input));
        const int container = containerFor(testCase.output, 0);
        if (testCase.expected == 0) {
            try {
                chooseOutputFormat(container, testCase.input, testCase.request);
                ADD_FAILURE() << "no error";
            } catch (const RenderError& error) {
                EXPECT_NE(std::string(error.what()).find(testCase.message), std::string::npos)
                    << error.what();
            }
            continue;
        }
        const OutputFormat format = chooseOutputFormat(container, testCase.input, testCase.request);
        EXPECT_EQ(format.format, testCase.expected) << describeFormat(format.format);
        EXPECT_EQ(format.note.empty(), *testCase.message == '\0') << format.note;
        EXPECT_NE(format.note.find(testCase.message), std::string::npos) << format.note;
    }
}

TEST(RenderOutputFormat, QualityMapsOntoCompressionLevelsOfLossyCodecsOnly) {
    const int vorbis = containerNamed("ogg");
    EXPECT_DOUBLE_EQ(*chooseOutputFormat(vorbis, kWav16, quality(10)).compressionLevel, 0.0);
    EXPECT_DOUBLE_EQ(*chooseOutputFormat(vorbis, kWav16, quality(0)).compressionLevel, 1.0);
    EXPECT_DOUBLE_EQ(*chooseOutputFormat(containerNamed("mp3"), kWav16, {}).compressionLevel,
                     (kMaxQuality - kDefaultQuality) / kMaxQuality);
    EXPECT_FALSE(chooseOutputFormat(containerNamed("flac"), kWav16, {}).compressionLevel);
}

TEST(RenderOutputFormat, NamesAndExtensions) {
    EXPECT_EQ(containerNamed("AIFF"), SF_FORMAT_AIFF);
    EXPECT_EQ(containerNamed("opus"), SF_FORMAT_OGG | SF_FORMAT_OPUS);
    EXPECT_EQ(containerFor("dir.flac/out", SF_FORMAT_CAF), SF_FORMAT_CAF) << "--format needs no extension";
    for (const char* unknown : {"out.xyz", "out", "dir.wav/out", "out.mp4"}) {
        try {
            containerFor(unknown, 0);
            ADD_FAILURE() << unknown;
        } catch (const RenderError& error) {
            EXPECT_NE(std::string(error.what()).find("wav, wave, aiff"), std::string::npos) << error.what();
        }
    }
    EXPECT_TRUE(extensionDisagrees("x.wav", SF_FORMAT_FLAC));
    EXPECT_FALSE(extensionDisagrees("x.WAVE", SF_FORMAT_WAV));
    EXPECT_FALSE(extensionDisagrees("x.raw", SF_FORMAT_FLAC)) << "an unknown name claims nothing";
}
