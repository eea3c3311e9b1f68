// Rendering files through the real plug-in (default: Velmora.so beside the program). The knob rests
// at its centre unless a test moves it, and the centre is the dry zone: those renders must return
// the input exactly, now and once the filter processes.
#include "TestSupport.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>

using namespace render_test;

namespace {

struct FormatCase {
    const char* name;
    int format;
    const char* extension;
};

const FormatCase kFormats[] = {
    {"wav16", SF_FORMAT_WAV | SF_FORMAT_PCM_16, "wav"},
    {"wavfloat", SF_FORMAT_WAV | SF_FORMAT_FLOAT, "wav"},
    {"aiff24", SF_FORMAT_AIFF | SF_FORMAT_PCM_24, "aiff"},
    {"flac16", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, "flac"},
};

} // namespace

TEST(RenderFiles, MonoAndStereoKeepFormatLengthAndPassDryAtCentre) {
    for (const auto& format : kFormats) {
        for (int channels : {1, 2}) {
            SCOPED_TRACE(std::string(format.name) + (channels == 1 ? " mono" : " stereo"));
            TempDir dir;
            const std::string in = dir.path(std::string("in.") + format.extension);
            const std::string out = dir.path(std::string("out.") + format.extension);
            const int frames = 10007; // not a whole number of blocks
            writeAudio(in, format.format, channels, 48000, testSignal(channels, frames, 48000));
            const Audio input = readAudio(in);

            const RunResult run = runRender({"--quiet", in, out});
            ASSERT_EQ(run.status, 0) << run.err;
            EXPECT_EQ(run.err, "");
            const Audio output = readAudio(out);
            EXPECT_EQ(output.info.format, format.format);
            EXPECT_EQ(output.info.channels, 2);
            EXPECT_EQ(output.info.samplerate, 48000);
            ASSERT_EQ(output.info.frames, frames);
            // Mono feeds both plug-in inputs, so both outputs carry it.
            for (int i = 0; i < frames; ++i) {
                for (int c = 0; c < 2; ++c) {
                    const float expected =
                        input.samples[static_cast<size_t>(i * channels + (channels == 1 ? 0 : c))];
                    ASSERT_EQ(output.samples[static_cast<size_t>(i * 2 + c)], expected)
                        << "frame " << i << " channel " << c;
                }
            }
        }
    }
}

TEST(RenderFiles, FloatWavAtExplicitCentreIsBitIdentical) {
    TempDir dir;
    const int frames = 44100;
    writeAudio(dir.path("in.wav"), SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, 44100, testSignal(2, frames, 44100));
    const RunResult run = runRender({"--set", "knob=0.5", "--block", "100", "--plugin", VELMORA_PLUGIN,
                                     dir.path("in.wav"), dir.path("out.wav")});
    ASSERT_EQ(run.status, 0) << run.err;
    const Audio input = readAudio(dir.path("in.wav"));
    const Audio output = readAudio(dir.path("out.wav"));
    EXPECT_EQ(output.info.format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    ASSERT_EQ(output.samples.size(), input.samples.size());
    EXPECT_EQ(0,
              std::memcmp(output.samples.data(), input.samples.data(), input.samples.size() * sizeof(float)));
    // The summary line reports the audio length and speed.
    EXPECT_NE(run.err.find("1.00 s of audio"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("real time"), std::string::npos) << run.err;
}

TEST(RenderFiles, OutputReplacesAnExistingFileOnlyOnSuccess) {
    TempDir dir;
    writeAudio(dir.path("in.wav"), SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, 44100, testSignal(2, 2000, 44100));
    writeAudio(dir.path("old.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 8000, testSignal(1, 10, 8000));
    RunResult run = runRender({"-q", "--set", "wobble=1", dir.path("in.wav"), dir.path("old.wav")});
    ASSERT_NE(run.status, 0);
    EXPECT_EQ(readAudio(dir.path("old.wav")).info.frames, 10);
    run = runRender({"-q", dir.path("in.wav"), dir.path("old.wav")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readAudio(dir.path("old.wav")).info.frames, 2000);
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"in.wav", "old.wav"}));
}

TEST(RenderFiles, DemoWritesTwelveSecondsOfFloatStereoTheSameEveryTime) {
    TempDir dir;
    RunResult run = runRender({"-q", "--demo", dir.path("a.wav"), "--demo-input", dir.path("dry.wav")});
    ASSERT_EQ(run.status, 0) << run.err;
    run = runRender({"-q", "--demo", dir.path("b.wav")});
    ASSERT_EQ(run.status, 0) << run.err;
    const Audio a = readAudio(dir.path("a.wav"));
    const Audio b = readAudio(dir.path("b.wav"));
    const Audio dry = readAudio(dir.path("dry.wav"));
    EXPECT_EQ(a.info.format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    EXPECT_EQ(a.info.channels, 2);
    EXPECT_EQ(a.info.samplerate, 44100);
    EXPECT_EQ(a.info.frames, 12 * 44100);
    EXPECT_EQ(dry.info.frames, a.info.frames);
    EXPECT_TRUE(a.samples == b.samples);
    // The opening second has the knob at its centre, where the plug-in is dry.
    for (size_t i = 0; i < 44100 * 2; ++i)
        ASSERT_EQ(a.samples[i], dry.samples[i]) << i;
}

// Velmora tunes its filters to the file's rate: a low-pass around 1 kHz passes a 250 Hz tone (left)
// and cuts a 4 kHz one (right) by the same amounts at every rate. A plug-in that kept 44.1 kHz would
// be an octave off at 22.05 and 96 kHz and 1.5 dB off at 48 kHz.
TEST(RenderFiles, VelmoraTunesToTheFilesRate) {
    const double tones[2] = {250.0, 4000.0};
    auto gainsAt = [&tones](int rate) {
        TempDir dir;
        const size_t frames = static_cast<size_t>(rate) * 3 / 2;
        std::vector<float> input(frames * 2);
        for (size_t i = 0; i < input.size(); ++i) {
            input[i] = static_cast<float>(
                0.25 * std::sin(2.0 * M_PI * tones[i % 2] * static_cast<double>(i / 2) / rate));
        }
        writeAudio(dir.path("in.wav"), SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, rate, input);
        const RunResult run = runRender(
            {"-q", "--set", "knob=0.235", "--set", "reso=0", dir.path("in.wav"), dir.path("out.wav")});
        EXPECT_EQ(run.status, 0) << run.err;
        const Audio output = readAudio(dir.path("out.wav"));
        EXPECT_EQ(output.samples.size(), input.size());
        // Over the last second, when the knob's glide from the centre has settled.
        double energy[2][2] = {};
        for (size_t i = static_cast<size_t>(rate); i < std::min(input.size(), output.samples.size()); ++i) {
            energy[i % 2][0] += input[i] * input[i];
            energy[i % 2][1] += output.samples[i] * output.samples[i];
        }
        return std::vector<double>{10.0 * std::log10(energy[0][1] / energy[0][0]),
                                   10.0 * std::log10(energy[1][1] / energy[1][0])};
    };
    const std::vector<double> reference = gainsAt(44100);
    EXPECT_GT(reference[0], -1.5) << "the low tone passes";
    EXPECT_LT(reference[1], -15.0) << "the high tone is cut";
    for (int rate : {22050, 48000, 96000}) {
        const std::vector<double> gains = gainsAt(rate);
        for (size_t c = 0; c < 2; ++c) {
            EXPECT_NEAR(gains[c], reference[c], 0.5) << rate << " Hz, " << tones[c] << " Hz tone";
        }
    }
}
