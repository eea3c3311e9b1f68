// Output at another rate than the input's: resampled after the plug-in, which keeps running at the
// input's rate, to the length and level the input has at the new rate.
#include "TestSupport.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace render_test;

namespace {

struct RateCase {
    int inputRate;
    const char* extension;
    const char* rate; // --rate, or null
    bool lowPass;     // Velmora's low-pass near 1 kHz, else the knob's dry centre
    int outputRate;
    bool noted; // a line says that the format needs the new rate
};

// Run at a wrong rate, the low-pass would cut the 4 kHz tone an octave off.
const RateCase kCases[] = {
    {44100, "opus", nullptr, false, 48000, true}, {96000, "mp3", nullptr, true, 48000, true},
    {88200, "mp3", nullptr, false, 44100, true},  {48000, "flac", "44100", false, 44100, false},
    {22050, "wav", "96000", true, 96000, false},
};
constexpr double kTones[2] = {250.0, 4000.0};
constexpr double kSeconds = 1.5;
constexpr double kSettledFrom = 1.0; // the knob's glide from the centre is over

// Each channel's level in dB over the settled part.
std::vector<double> levels(const Audio& audio) {
    double energy[2] = {};
    const size_t first = static_cast<size_t>(kSettledFrom * audio.info.samplerate) * 2;
    for (size_t i = first; i < audio.samples.size(); ++i) {
        energy[i % 2] += audio.samples[i] * audio.samples[i];
    }
    const double frames = static_cast<double>(audio.samples.size() - first) / 2;
    return {10.0 * std::log10(energy[0] / frames), 10.0 * std::log10(energy[1] / frames)};
}

} // namespace

TEST(RenderRates, ResampledOutputKeepsLengthAndLevel) {
    for (const auto& rateCase : kCases) {
        SCOPED_TRACE(std::to_string(rateCase.inputRate) + " Hz into ." + rateCase.extension);
        TempDir dir;
        const int frames = static_cast<int>(kSeconds * rateCase.inputRate);
        std::vector<float> input(static_cast<size_t>(frames) * 2);
        for (size_t i = 0; i < input.size(); ++i) {
            input[i] = static_cast<float>(0.25 * std::sin(2.0 * M_PI * kTones[i % 2] *
                                                          static_cast<double>(i / 2) / rateCase.inputRate));
        }
        writeAudio(dir.path("in.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_24, 2, rateCase.inputRate, input);
        std::vector<std::string> args = {"-q"};
        if (rateCase.lowPass) {
            args.insert(args.end(), {"--set", "knob=0.235", "--set", "reso=0"});
        }
        // The same settings at the input's rate, for the level the output should have.
        std::vector<std::string> referenceArgs = args;
        referenceArgs.insert(referenceArgs.end(), {dir.path("in.wav"), dir.path("reference.w64")});
        ASSERT_EQ(runRender(referenceArgs).status, 0);
        if (rateCase.rate != nullptr) {
            args.insert(args.end(), {"--rate", rateCase.rate});
        }
        args.insert(args.end(), {dir.path("in.wav"), dir.path(std::string("out.") + rateCase.extension)});
        const RunResult run = runRender(args);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err.find("resampling the plug-in's output to " + std::to_string(rateCase.outputRate) +
                               " Hz\n") != std::string::npos,
                  rateCase.noted)
            << run.err;
        EXPECT_EQ(lines(run.err).size(), rateCase.noted ? 1u : 0u) << run.err;

        const Audio output = readAudio(dir.path(std::string("out.") + rateCase.extension));
        EXPECT_EQ(output.info.samplerate, rateCase.outputRate);
        EXPECT_EQ(output.info.frames, std::lround(kSeconds * rateCase.outputRate));
        const std::vector<double> expected = levels(readAudio(dir.path("reference.w64")));
        const std::vector<double> got = levels(output);
        for (size_t c = 0; c < 2; ++c) {
            EXPECT_NEAR(got[c], expected[c], 0.5) << kTones[c] << " Hz tone";
        }
    }
}
