// Each output extension gives its container, as the file's first bytes and libsndfile (reading it
// under a name without an extension) both show; lossy inputs decode into the format OUTPUT names.
#include "TestSupport.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace render_test;

namespace {

struct ContainerCase {
    const char* extension;
    int format;         // as read back
    std::string header; // the file's first bytes; '?' stands for any byte
};

const std::string kAny24(24, '?');
const ContainerCase kContainers[] = {
    {"wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, "RIFF????WAVE"},
    {"aif", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, "FORM????AIFF"},
    {"AIFF", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, "FORM????AIFF"},
    {"flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, "fLaC"},
    {"ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, "OggS" + kAny24 + "\x01vorbis"},
    {"opus", SF_FORMAT_OGG | SF_FORMAT_OPUS, "OggS" + kAny24 + "OpusHead"},
    {"mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, "\xff\xfb"}, // MPEG-1 Layer III frame sync
    {"w64", SF_FORMAT_W64 | SF_FORMAT_PCM_16, "riff" + kAny24.substr(0, 20) + "wave"},
    {"rf64", SF_FORMAT_RF64 | SF_FORMAT_PCM_16, "RF64????WAVE"},
    {"caf", SF_FORMAT_CAF | SF_FORMAT_PCM_16, "caff"},
    {"au", SF_FORMAT_AU | SF_FORMAT_PCM_16, ".snd"},
};

constexpr int kRate = 48000; // one that every container, Opus included, can hold
constexpr int kFrames = 9600;

// Root-mean-square difference of two interleaved signals, relative to the first's level.
double relativeError(const std::vector<float>& reference, const std::vector<float>& other) {
    double signal = 0.0;
    double error = 0.0;
    for (size_t i = 0; i < reference.size(); ++i) {
        signal += reference[i] * reference[i];
        error += (other[i] - reference[i]) * (other[i] - reference[i]);
    }
    return std::sqrt(error / signal);
}

} // namespace

TEST(RenderContainers, EachExtensionWritesItsContainer) {
    TempDir dir;
    writeAudio(dir.path("in.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, kRate, testSignal(2, kFrames, kRate));
    const Audio input = readAudio(dir.path("in.wav"));
    for (const auto& container : kContainers) {
        SCOPED_TRACE(container.extension);
        const std::string out = dir.path(std::string("out.") + container.extension);
        const RunResult run = runRender({"-q", dir.path("in.wav"), out});
        ASSERT_EQ(run.status, 0) << run.err;
        std::string header = fileBytes(out).substr(0, container.header.size());
        for (size_t i = 0; i < header.size(); ++i) {
            header[i] = container.header[i] == '?' ? '?' : header[i];
        }
        EXPECT_EQ(header, container.header);
        ASSERT_EQ(std::rename(out.c_str(), dir.path("unnamed").c_str()), 0);
        const Audio output = readAudio(dir.path("unnamed"));
        EXPECT_EQ(output.info.format, container.format);
        EXPECT_EQ(output.info.samplerate, kRate);
        ASSERT_EQ(output.info.frames, kFrames);
        // Velmora is dry at its centre: lossless containers give the input back exactly, lossy ones
        // something close to it and in time with it (half a noise channel out of step would be 1.0).
        const double error = relativeError(input.samples, output.samples);
        if ((container.format & SF_FORMAT_SUBMASK) == SF_FORMAT_PCM_16) {
            EXPECT_EQ(error, 0.0);
        } else {
            EXPECT_LT(error, 0.5);
        }
    }
}

TEST(RenderContainers, LossyInputsRenderIntoTheFormatTheOutputNames) {
    const int lossy[] = {SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, SF_FORMAT_OGG | SF_FORMAT_VORBIS,
                         SF_FORMAT_OGG | SF_FORMAT_OPUS};
    for (const int format : lossy) {
        SCOPED_TRACE(format);
        TempDir dir;
        std::vector<float> quiet = testSignal(2, kFrames, kRate);
        for (float& sample : quiet) {
            sample *= 0.25f; // no encoder overshoot past full scale, which 24-bit PCM would clip
        }
        writeAudio(dir.path("in.lossy"), format, 2, kRate, quiet);
        const Audio decoded = readAudio(dir.path("in.lossy"));
        const RunResult run =
            runRender({"-q", "--plugin", fixture("fixture_good"), dir.path("in.lossy"), dir.path("out.wav")});
        ASSERT_EQ(run.status, 0) << run.err;
        // The gain fixture at unity: exactly the decoded input, as 24-bit PCM, never re-encoded.
        const Audio output = readAudio(dir.path("out.wav"));
        EXPECT_EQ(output.info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_24);
        ASSERT_EQ(output.samples.size(), decoded.samples.size());
        for (size_t i = 0; i < decoded.samples.size(); ++i) {
            ASSERT_NEAR(output.samples[i], decoded.samples[i], 1.0 / (1 << 23)) << i;
        }
    }
}

TEST(RenderContainers, FormatOptionAndFloatIntoFlacSayWhatTheyDo) {
    TempDir dir;
    writeAudio(dir.path("in.wav"), SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, kRate, testSignal(2, 3000, kRate));
    const std::pair<std::vector<std::string>, std::string> runs[] = {
        {{"--format", "caf", "out.wav"},
         "velmora-render: warning: writing CAF (Apple Core Audio File), 32 bit "
         "float data to '" +
             dir.path("out.wav") + "' as --format asks"},
        {{"out.flac"},
         "velmora-render: FLAC (Free Lossless Audio Codec) has no 32 bit float samples; writing "
         "Signed 24 bit PCM"}};
    for (const auto& [args, message] : runs) {
        std::vector<std::string> all(args.begin(), args.end() - 1);
        all.insert(all.end(), {"-q", dir.path("in.wav"), dir.path(args.back())});
        const RunResult run = runRender(all);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, message + "\n");
    }
    EXPECT_EQ(readAudio(dir.path("out.wav")).info.format, SF_FORMAT_CAF | SF_FORMAT_FLOAT);
    EXPECT_EQ(readAudio(dir.path("out.flac")).info.format, SF_FORMAT_FLAC | SF_FORMAT_PCM_24);
}
