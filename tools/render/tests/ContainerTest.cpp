// Each output extension gives its container, as the file's first bytes and libsndfile (reading it
// under a name without an extension) both show; lossy inputs decode into the format OUTPUT names.
#include "TestSupport.h"

#include <cmath>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

using namespace render_test;

namespace {

struct Magic {
    size_t offset;
    std::string bytes;
};

struct ContainerCase {
    const char* extension;
    int format; // as read back
    std::vector<Magic> magic;
};

const ContainerCase kContainers[] = {
    {"wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, {{0, "RIFF"}, {8, "WAVE"}}},
    {"aif", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, {{0, "FORM"}, {8, "AIFF"}}},
    {"AIFF", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, {{0, "FORM"}, {8, "AIFF"}}},
    {"flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, {{0, "fLaC"}}},
    {"ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, {{0, "OggS"}, {28, "\x01vorbis"}}},
    {"opus", SF_FORMAT_OGG | SF_FORMAT_OPUS, {{0, "OggS"}, {28, "OpusHead"}}},
    {"mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, {{0, "\xff\xfb"}}}, // MPEG-1 Layer III frame sync
    {"w64", SF_FORMAT_W64 | SF_FORMAT_PCM_16, {{0, "riff"}, {24, "wave"}}},
    {"rf64", SF_FORMAT_RF64 | SF_FORMAT_PCM_16, {{0, "RF64"}, {8, "WAVE"}}},
    {"caf", SF_FORMAT_CAF | SF_FORMAT_PCM_16, {{0, "caff"}}},
    {"au", SF_FORMAT_AU | SF_FORMAT_PCM_16, {{0, ".snd"}}},
};

constexpr int kRate = 48000; // one that every container, Opus included, can hold
constexpr int kFrames = 9600;

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

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
        const std::string bytes = fileBytes(out);
        for (const auto& magic : container.magic) {
            EXPECT_EQ(bytes.substr(magic.offset, magic.bytes.size()), magic.bytes) << "at " << magic.offset;
        }
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

TEST(RenderContainers, FormatOptionOverridesTheNameWithAWarning) {
    TempDir dir;
    writeAudio(dir.path("in.wav"), SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, kRate, testSignal(2, 3000, kRate));
    RunResult run = runRender({"-q", "--format", "flac", dir.path("in.wav"), dir.path("out.wav")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readAudio(dir.path("out.wav")).info.format, SF_FORMAT_FLAC | SF_FORMAT_PCM_24);
    EXPECT_EQ(lines(run.err).size(), 1u) << "the warning; -q drops the note" << run.err;
    EXPECT_NE(run.err.find("warning: writing FLAC"), std::string::npos) << run.err;

    run = runRender({"--format=caf", dir.path("in.wav"), dir.path("out")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readAudio(dir.path("out")).info.format, SF_FORMAT_CAF | SF_FORMAT_FLOAT);

    // Float into FLAC, which has no float samples: 24-bit, with one line saying so.
    run = runRender({dir.path("in.wav"), dir.path("float.flac")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readAudio(dir.path("float.flac")).info.format, SF_FORMAT_FLAC | SF_FORMAT_PCM_24);
    EXPECT_EQ(lines(run.err).front(), "velmora-render: FLAC (Free Lossless Audio Codec) has no 32 bit float "
                                      "samples; writing Signed 24 bit PCM");
}
