// The LV2 plug-in sounds exactly like the VST build: the same programme through both, block by block
// with the same control values, gives the same bits, at the block sizes hosts use (lv2apply's one frame
// among them), in place, at other sample rates, with the knob moving between runs and with non-finite
// and out-of-range values in the control and audio ports. lv2apply itself is compared with
// velmora-render. Unconnected ports read as defaults or give silence, never a crash.
#include "Lv2Ports.h"
#include "Lv2TestHost.h"
#include "Lv2Uris.h"
#include "TestSupport.h"

#include "Automation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

using namespace lv2test;

namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// The knob sweeps both sides and stops in the dry centre; drive and resonance as lv2apply is run below.
Controls sweep(double seconds) {
    static const render::Envelope knob =
        render::parseEnvelope("0:0.5,0.1:0.1,0.3:0.9,0.45:0.6,0.55:0.5,0.7:0.3");
    return {knob.valueAt(seconds), 0.3f, 0.7f};
}

// What a careless host may write: a new mix of non-finite and out-of-range values every 50 ms.
Controls hostile(double seconds) {
    static const float kValues[] = {kNaN, 0.2f, kInf, -kInf, 0.9f, -0.5f, 1.5f};
    constexpr int kCount = sizeof kValues / sizeof kValues[0];
    const int step = static_cast<int>(seconds * 20.0);
    return {kValues[step % kCount], kValues[(step + 3) % kCount], kValues[(step + 5) % kCount]};
}

struct SoundCase {
    const char* name;
    double hostRate; // as instantiate and effSetSampleRate get it; 0 is mended to 44100
    int block;
    bool inPlace; // the LV2 instance's outputs are its inputs
    Schedule schedule;
    bool poisoned = false; // NaN and infinite samples in the input
};

double programmeRate(const SoundCase& c) {
    return c.hostRate > 0.0 ? c.hostRate : 44100.0;
}

// Different in each channel (a sine sweep left, noise right); the hostile case adds NaN and infinite
// samples.
std::vector<float> programme(const SoundCase& c) {
    const int rate = static_cast<int>(programmeRate(c));
    std::vector<float> stereo = render_test::testSignal(2, rate * 4 / 5, rate);
    if (c.poisoned) {
        for (std::size_t i = 1000; i < stereo.size(); i += 7919) {
            stereo[i] = i % 3 == 0 ? kNaN : (i % 3 == 1 ? kInf : -kInf);
        }
    }
    return stereo;
}

// Where two signals first differ bit for bit (NaN patterns included), or their size if nowhere.
std::size_t firstDifference(const std::vector<float>& a, const std::vector<float>& b) {
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
        if (std::memcmp(&a[i], &b[i], sizeof(float)) != 0) {
            return i;
        }
    }
    return a.size() == b.size() ? a.size() : std::min(a.size(), b.size());
}

void expectSameBits(const std::vector<float>& lv2, const std::vector<float>& vst) {
    const std::size_t at = firstDifference(lv2, vst);
    ASSERT_EQ(lv2.size(), vst.size());
    EXPECT_EQ(at, lv2.size()) << "frame " << at / 2 << (at % 2 ? " right" : " left") << ": LV2 " << lv2[at]
                              << ", VST " << vst[at];
}

void PrintTo(const SoundCase& c, std::ostream* out) {
    *out << c.name;
}

class Lv2Sound : public testing::TestWithParam<SoundCase> {};

const SoundCase kSoundCases[] = {
    {"Block1", 48000.0, 1, false, sweep},
    {"Block64", 48000.0, 64, false, sweep},
    {"Block4096", 48000.0, 4096, false, sweep},
    {"InPlace", 44100.0, 64, true, sweep},
    {"Rate22050", 22050.0, 4096, false, sweep},
    {"RateZero", 0.0, 64, false, sweep},
    {"HostileValues", 48000.0, 64, false, hostile, true},
    {"HostileValuesInPlaceBlock1", 44100.0, 1, true, hostile, true},
};

} // namespace

TEST_P(Lv2Sound, SameBitsAsTheVstBuild) {
    const SoundCase& c = GetParam();
    const std::vector<float> input = programme(c);
    VstInstance vst(c.hostRate, c.block);
    const std::vector<float> expected = play(vst, input, programmeRate(c), c.block, c.schedule);
    Bundle bundle;
    Lv2Instance lv2(bundle, c.hostRate);
    lv2.connectControls();
    lv2.activate();
    expectSameBits(play(lv2, input, programmeRate(c), c.block, c.schedule, c.inPlace), expected);
    EXPECT_NE(firstDifference(expected, input), input.size()) << "the filter was never heard";
}

INSTANTIATE_TEST_SUITE_P(Cases, Lv2Sound, testing::ValuesIn(kSoundCases),
                         [](const testing::TestParamInfo<SoundCase>& info) { return info.param.name; });

// The proof with the tools a user has: lv2apply runs one frame per call with a null feature list.
TEST(Lv2Apply, SameSamplesAsVelmoraRenderOneFrameAtATime) {
    render_test::TempDir dir;
    const int rate = 48000;
    const std::vector<float> input = render_test::testSignal(2, rate / 2, rate);
    render_test::writeAudio(dir.path("in.wav"), SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, rate, input);

    std::vector<std::string> environment{"LV2_PATH=" VELMORA_LV2_PATH};
    if (*LV2APPLY_PRELOAD != '\0') {
        // A sanitizer build of the plug-in in a program built without: its runtime must come first.
        environment.insert(environment.end(),
                           {"LD_PRELOAD=" LV2APPLY_PRELOAD, "ASAN_OPTIONS=detect_leaks=0"});
    }
    const render_test::RunResult lv2 =
        render_test::runProgram(LV2APPLY,
                                {"-c", "knob", "0.2", "-c", "drive", "0.3", "-c", "reso", "0.7", "-i",
                                 dir.path("in.wav"), "-o", dir.path("lv2.wav"), kVelmoraPluginUri},
                                environment);
    ASSERT_EQ(lv2.status, 0) << lv2.err;
    const render_test::RunResult vst = render_test::runRender(
        {"-q", "--plugin", VELMORA_PLUGIN, "--block", "1", "--set", "knob=0.2", "--set", "drive=0.3", "--set",
         "reso=0.7", dir.path("in.wav"), dir.path("vst.wav")});
    ASSERT_EQ(vst.status, 0) << vst.err;

    const render_test::Audio lv2Out = render_test::readAudio(dir.path("lv2.wav"));
    const render_test::Audio vstOut = render_test::readAudio(dir.path("vst.wav"));
    EXPECT_EQ(lv2Out.info.format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    EXPECT_EQ(lv2Out.info.samplerate, rate);
    expectSameBits(lv2Out.samples, vstOut.samples);
    EXPECT_NE(firstDifference(vstOut.samples, input), input.size()) << "the filter was never heard";
}

// Control ports never connected read as the parameters' defaults, and so does one disconnected again.
TEST(Lv2Ports, UnconnectedControlsReadAsTheDefaults) {
    SoundCase c{"Defaults", 44100.0, 512, false, nullptr};
    const std::vector<float> input = programme(c);
    const auto half = static_cast<std::ptrdiff_t>(input.size() / 2);
    const std::vector<float> first(input.begin(), input.begin() + half);
    const std::vector<float> second(input.begin() + half, input.end());
    VstInstance vst(c.hostRate, c.block);
    AEffect& record = vst.vst().effect();
    Controls values{0.2f, record.getParameter(&record, kDrive), record.getParameter(&record, kReso)};
    const float defaultKnob = record.getParameter(&record, kKnob);
    c.schedule = [&values](double) { return values; };

    Bundle bundle;
    Lv2Instance lv2(bundle, c.hostRate);
    float knob = values.knob;
    lv2.connect(kFirstControl + kKnob, &knob);
    lv2.activate();
    const std::vector<float> expected = play(vst, first, c.hostRate, c.block, c.schedule);
    expectSameBits(play(lv2, first, c.hostRate, c.block, c.schedule), expected);
    EXPECT_NE(firstDifference(expected, first), first.size()) << "the knob at 0.2 was never heard";

    lv2.connect(kFirstControl + kKnob, nullptr);
    values.knob = defaultKnob;
    expectSameBits(play(lv2, second, c.hostRate, c.block, c.schedule),
                   play(vst, second, c.hostRate, c.block, c.schedule));
}

// Until all four audio ports are connected, the connected outputs get silence and the effect stays
// where it was: connected afterwards, the instance sounds as a fresh one.
TEST(Lv2Ports, UnconnectedAudioGivesSilenceAndLeavesTheEffectAlone) {
    const SoundCase c{"Connect", 44100.0, 1024, false, [](double) { return Controls{0.2f, 0.3f, 0.7f}; }};
    const std::vector<float> input = programme(c);
    VstInstance vst(c.hostRate, c.block);
    const std::vector<float> expected = play(vst, input, programmeRate(c), c.block, c.schedule);
    Bundle bundle;
    for (std::uint32_t missing = kInputLeft; missing < kFirstControl; ++missing) {
        SCOPED_TRACE("port " + std::to_string(missing) + " unconnected");
        Lv2Instance lv2(bundle, c.hostRate);
        lv2.connectControls();
        lv2.activate();
        std::vector<float> ports[kFirstControl];
        for (std::uint32_t port = kInputLeft; port < kFirstControl; ++port) {
            ports[port].assign(64, 1.0f);
            lv2.connect(port, port == missing ? nullptr : ports[port].data());
        }
        lv2.controls = c.schedule(0.0);
        lv2.run(64);
        for (std::uint32_t port = kInputLeft; port < kFirstControl; ++port) {
            const float expectedSample = port >= kOutputLeft && port != missing ? 0.0f : 1.0f;
            EXPECT_EQ(ports[port], std::vector<float>(64, expectedSample)) << "port " << port;
        }
        expectSameBits(play(lv2, input, c.hostRate, c.block, c.schedule), expected);
    }
}
