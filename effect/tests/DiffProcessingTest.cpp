// The shipped processing against the straightforward form (tests/support/CorvelReference), bit for bit:
// every sample of every buffer a block touches and, after every block, the whole processing state.
// Scenarios are random: knob jumps and glides across the zones and onto their bounds, drive and
// resonance from 0 to 1 and beyond, odd block sizes and buffer layouts, silence, subnormals, values
// around the band guard's threshold, huge values, NaN and infinities, other processor float modes.
//
// CI runs a bounded slice; VELMORA_DIFF_SCENARIOS=N runs N random scenarios instead.
#include "CorvelProbe.h"
#include "CorvelReference.h"

#include <gtest/gtest.h>

#include <xmmintrin.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kDefaultScenarios = 100;
constexpr int kBlocksPerScenario = 90;

std::uint32_t bitsOf(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

float fromBits(std::uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::string describe(float value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.9g (0x%08x)", static_cast<double>(value), bitsOf(value));
    return text;
}

// Where a block's four channel pointers lie: a buffer of the pool and an offset into it.
struct Layout {
    const char* name;
    int buffer[4]; // input left, input right, output left, output right
    int offset[4];
};

const Layout kLayouts[] = {
    {"separate", {0, 1, 2, 3}, {0, 0, 0, 0}},
    {"in place", {0, 1, 0, 1}, {0, 0, 0, 0}},
    {"in place with the channels swapped", {0, 1, 1, 0}, {0, 0, 0, 0}},
    {"one input buffer for both channels", {0, 0, 2, 3}, {0, 0, 0, 0}},
    {"one output buffer for both channels", {0, 1, 2, 2}, {0, 0, 0, 0}},
    {"outputs one sample behind the inputs", {0, 1, 0, 1}, {1, 1, 0, 0}},
    {"outputs one sample ahead of the inputs", {0, 1, 0, 1}, {0, 0, 1, 1}},
};

constexpr int kPoolBuffers = 4;
constexpr std::size_t kPoolSlack = 2; // room for the offsets
using Pool = std::vector<float>[kPoolBuffers];

// Every float of the processing state, named.
std::vector<std::pair<std::string, float>> stateFloats(const CorvelDsp& dsp) {
    std::vector<std::pair<std::string, float>> fields = {
        {"knobSmoothed", dsp.knobSmoothed},
        {"dspSampleRate", dsp.dspSampleRate},
        {"lowPassMapper value", dsp.lowPassMapper.getValue()},
        {"highPassMapper value", dsp.highPassMapper.getValue()},
    };
    const std::pair<const char*, const StateVariableFilter*> filters[] = {
        {"lowPassLeft", &dsp.lowPassLeft},
        {"lowPassRight", &dsp.lowPassRight},
        {"highPassLeft", &dsp.highPassLeft},
        {"highPassRight", &dsp.highPassRight}};
    for (const auto& [name, f] : filters) {
        const std::pair<const char*, float> values[] = {{"low", f->low},
                                                        {"band", f->band},
                                                        {"high", f->high},
                                                        {"notch", f->notch},
                                                        {"freqCoef", f->freqCoef},
                                                        {"cutoffHz", f->cutoffHz},
                                                        {"drive", f->drive.load()},
                                                        {"damping", f->damping},
                                                        {"oversampling", f->oversampling}};
        for (const auto& [field, value] : values) {
            fields.emplace_back(std::string(name) + "." + field, value);
        }
    }
    return fields;
}

// Empty when both states agree bit for bit; else the first difference.
std::string compareState(const CorvelDsp& shipped, const CorvelDsp& reference) {
    if (shipped.refreshCounter != reference.refreshCounter) {
        return "refreshCounter: shipped " + std::to_string(shipped.refreshCounter) + ", reference " +
               std::to_string(reference.refreshCounter);
    }
    const auto a = stateFloats(shipped);
    const auto b = stateFloats(reference);
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (bitsOf(a[i].second) != bitsOf(b[i].second)) {
            return a[i].first + ": shipped " + describe(a[i].second) + ", reference " + describe(b[i].second);
        }
    }
    return {};
}

// One effect run by the shipped processing through its host entry, and a copy of its processing state
// run by the straightforward form with the same parameter values.
class Twin {
  public:
    Twin() : reference(effect.dspState()) {}

    void setParameter(VstInt32 index, float value) {
        effect.setParameter(index, value);
        if (index == kDrive) {
            for (StateVariableFilter* filter : {&reference.lowPassLeft, &reference.lowPassRight,
                                                &reference.highPassLeft, &reference.highPassRight}) {
                filter->drive = value;
            }
        }
    }

    void setSampleRate(float rate) {
        effect.setSampleRate(rate);
        effect.suspend();
        reference.dspSampleRate = effect.dspState().dspSampleRate;
    }

    template <class Change> void changeBoth(Change change) {
        change(effect.dspState());
        change(reference);
    }

    // Runs one block through both forms, each on its own copy of the buffers; empty when they agree,
    // else the first difference.
    std::string process(const Layout& layout, const Pool& contents, VstInt32 frames,
                        std::uint64_t& compared) {
        Pool shipped;
        Pool straightforward;
        for (int b = 0; b < kPoolBuffers; ++b) {
            shipped[b] = contents[b];
            straightforward[b] = contents[b];
        }
        const auto pointers = [&layout](Pool& pool, int first) {
            return std::vector<float*>{pool[layout.buffer[first]].data() + layout.offset[first],
                                       pool[layout.buffer[first + 1]].data() + layout.offset[first + 1]};
        };
        std::vector<float*> shippedIn = pointers(shipped, 0), shippedOut = pointers(shipped, 2);
        std::vector<float*> referenceIn = pointers(straightforward, 0),
                            referenceOut = pointers(straightforward, 2);

        const CorvelControls controls = effect.controls();
        effect.processReplacing(shippedIn.data(), shippedOut.data(), frames);
        processCorvelReference(reference, controls, referenceIn.data(), referenceOut.data(), frames);

        for (int b = 0; b < kPoolBuffers; ++b) {
            for (std::size_t i = 0; i < contents[b].size(); ++i) {
                if (bitsOf(shipped[b][i]) != bitsOf(straightforward[b][i])) {
                    std::ostringstream message;
                    message << "buffer " << b << " sample " << i << ": shipped " << describe(shipped[b][i])
                            << ", reference " << describe(straightforward[b][i]);
                    return message.str();
                }
            }
        }
        compared += frames > 0 ? static_cast<std::uint64_t>(frames) : 0u;
        return compareState(effect.dspState(), reference);
    }

    CorvelProbe effect;
    CorvelDsp reference;
};

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInfinity = std::numeric_limits<float>::infinity();

// Values that come in between the ordinary samples now and then: NaNs of both signs and other
// payloads, a signalling NaN, infinities, the largest and the smallest floats, the guard's threshold.
const float kOddSamples[] = {
    kNaN,
    fromBits(0xFFC00000u),
    fromBits(0x7FC12345u),
    fromBits(0x7F800001u),
    fromBits(0xFFA00005u),
    kInfinity,
    -kInfinity,
    std::numeric_limits<float>::max(),
    -std::numeric_limits<float>::max(),
    std::numeric_limits<float>::denorm_min(),
    -0.0f,
    0.0f,
    0x1p-35f,
    -0x1p-35f,
    0x1.000002p-35f,
    0x1p-34f,
    1.0f,
    -1.0f,
    1e20f,
};

// The kinds of input a buffer gets: noise of these amplitudes (0: silence; the threshold amplitude is
// scaled around 2^-35 each time), or sparse impulses, or a constant.
const float kNoiseAmplitudes[] = {0.5f, 0.5f, 0.5f, 0.5f, 1e4f, 1e30f, 0x1p-35f, 1e-30f, 1e-40f, 0.0f, 0.0f};
constexpr int kImpulses = -1;
constexpr int kConstant = -2;

class ScenarioMaker {
  public:
    explicit ScenarioMaker(std::uint32_t seed) : random(seed) {}

    int below(int n) { return static_cast<int>(random() % static_cast<std::uint32_t>(n)); }
    float uniform(float low, float high) { return std::uniform_real_distribution<float>(low, high)(random); }

    template <class T, std::size_t N> T pick(const T (&values)[N]) {
        return values[below(static_cast<int>(N))];
    }

    VstInt32 blockSize() {
        const int roll = below(100);
        if (roll < 4) {
            const VstInt32 nothing[] = {0, -1, -512, std::numeric_limits<VstInt32>::min()};
            return pick(nothing);
        }
        if (roll < 14) {
            return 1 + below(4);
        }
        if (roll < 24) {
            const VstInt32 nearRefresh[] = {23, 24, 25, 26, 49, 50, 51};
            return pick(nearRefresh);
        }
        return roll < 92 ? 5 + below(700) : 705 + below(4096 - 704);
    }

    // From `special` with the given chance in percent, from `impossible` with 4 in 100, else uniform.
    template <std::size_t N, std::size_t M>
    float value(int chance, const float (&special)[N], const float (&impossible)[M]) {
        const int roll = below(100);
        if (roll < chance) {
            return pick(special);
        }
        return roll < chance + 4 ? pick(impossible) : uniform(0.0f, 1.0f);
    }

    float knob() {
        const float bounds[] = {0.45f, 0.55f,       0.5f,        0.0f, 1.0f,  0.65f, 0.6499999f,
                                0.4f,  0.44999999f, 0.55000001f, 0.6f, -0.2f, 1.3f};
        const float impossible[] = {kNaN, kInfinity, -kInfinity, 1e30f, -1e30f};
        return value(30, bounds, impossible);
    }

    float drive() {
        const float ends[] = {0.0f, 0.0f, 1.0f};
        const float impossible[] = {-0.0f, kNaN, kInfinity, -1.0f, 1e6f, 1e-30f, 1e30f};
        return value(50, ends, impossible);
    }

    float resonance() {
        const float ends[] = {0.0f, 1.0f};
        const float impossible[] = {kNaN, kInfinity, -kInfinity, -0.5f, 2.0f, 1e30f};
        return value(40, ends, impossible);
    }

    float sampleRate() {
        const float rates[] = {44100.0f, 48000.0f, 96000.0f, 22050.0f, 8000.0f, 192000.0f};
        return pick(rates);
    }

    int signal() { return below(10) == 0 ? (below(2) == 0 ? kImpulses : kConstant) : below(11); }

    void fill(std::vector<float>& samples, int signal) {
        const float constant = uniform(-1.0f, 1.0f);
        float amplitude = signal >= 0 ? kNoiseAmplitudes[signal] : 0.0f;
        if (amplitude == 0x1p-35f) {
            amplitude *= uniform(0.25f, 4.0f);
        }
        for (float& sample : samples) {
            if (signal == kImpulses) {
                sample = below(50) == 0 ? uniform(-1.0f, 1.0f) : 0.0f;
            } else {
                sample = signal == kConstant ? constant : amplitude * uniform(-1.0f, 1.0f);
            }
        }
        if (below(4) == 0) {
            const int oddEvery = 1 + below(300);
            for (float& sample : samples) {
                if (below(oddEvery) == 0) {
                    sample = pick(kOddSamples);
                }
            }
        }
    }

    const Layout& layout() {
        const int roll = below(100);
        if (roll < 85) {
            return kLayouts[roll < 45 ? 0 : 1];
        }
        return kLayouts[2 + below(static_cast<int>(sizeof kLayouts / sizeof kLayouts[0]) - 2)];
    }

  private:
    std::mt19937 random;
};

// Sets the processor's floating-point mode (rounding, flush-to-zero, denormals-are-zero) for its lifetime.
class FloatModeScope {
  public:
    explicit FloatModeScope(unsigned int mode) : saved(_mm_getcsr()) {
        _mm_setcsr((saved & ~0xE040u) | mode);
    }
    ~FloatModeScope() { _mm_setcsr(saved); }
    FloatModeScope(const FloatModeScope&) = delete;
    FloatModeScope& operator=(const FloatModeScope&) = delete;

  private:
    unsigned int saved;
};

// Modes a scenario may switch between from block to block: remembered coefficients must not be carried
// over from another mode. Nearest, down, up, towards zero, and flush-to-zero with denormals-are-zero.
const unsigned int kFloatModes[] = {0x0000u, 0x2000u, 0x4000u, 0x6000u, 0x8040u};

// Runs one random scenario; empty when both forms agreed throughout.
std::string runScenario(std::uint32_t seed, std::uint64_t& compared, bool switchFloatModes) {
    ScenarioMaker maker(seed);
    Twin twin;
    std::ostringstream history;
    for (int block = 0; block < kBlocksPerScenario; ++block) {
        if (maker.below(100) < 25) {
            const float knob = maker.knob();
            twin.setParameter(kKnob, knob);
            history << " knob=" << knob;
            if (maker.below(4) == 0) {
                // Onto the target at once, as if it had been there for long; or exactly onto a bound.
                const float at = maker.below(2) == 0 ? knob : (maker.below(2) == 0 ? 0.45f : 0.55f);
                twin.changeBoth([at](CorvelDsp& dsp) { dsp.knobSmoothed = at; });
                history << " smoothed=" << at;
            }
        }
        if (maker.below(100) < 12) {
            const float drive = maker.drive();
            twin.setParameter(kDrive, drive);
            history << " drive=" << drive;
        }
        if (maker.below(100) < 2) {
            // One filter's drive apart from the others: each lane has its own.
            const float drive = maker.drive();
            const int which = maker.below(4);
            twin.changeBoth([drive, which](CorvelDsp& dsp) {
                StateVariableFilter* const filters[4] = {&dsp.lowPassLeft, &dsp.lowPassRight,
                                                         &dsp.highPassLeft, &dsp.highPassRight};
                filters[which]->drive = drive;
            });
            history << " drive[" << which << "]=" << drive;
        }
        if (maker.below(100) < 12) {
            const float resonance = maker.resonance();
            twin.setParameter(kReso, resonance);
            history << " reso=" << resonance;
        }
        if (maker.below(100) < 2) {
            const float rate = maker.sampleRate();
            twin.setSampleRate(rate);
            history << " rate=" << rate;
        }
        if (maker.below(100) < 3) {
            const VstInt32 counter = maker.below(34) - 4;
            twin.changeBoth([counter](CorvelDsp& dsp) { dsp.refreshCounter = counter; });
            history << " counter=" << counter;
        }

        const VstInt32 frames = maker.blockSize();
        const Layout& layout = maker.layout();
        Pool contents;
        const int signal = maker.signal();
        for (auto& buffer : contents) {
            buffer.resize(static_cast<std::size_t>(frames > 0 ? frames : 1) + kPoolSlack);
            maker.fill(buffer, maker.below(5) == 0 ? maker.signal() : signal);
        }
        const unsigned int floatMode = switchFloatModes ? maker.pick(kFloatModes) : _mm_getcsr() & 0xE040u;
        std::string difference;
        {
            const FloatModeScope mode(floatMode);
            difference = twin.process(layout, contents, frames, compared);
        }
        if (!difference.empty()) {
            std::ostringstream message;
            message << "seed " << seed << ", block " << block << ", float mode " << std::hex << floatMode
                    << std::dec << " (" << frames << " frames, " << layout.name << "): " << difference
                    << "\n  history:" << history.str();
            return message.str();
        }
        history << " |" << frames;
    }
    return {};
}

int scenarioCount() {
    const char* text = std::getenv("VELMORA_DIFF_SCENARIOS");
    const int count = text != nullptr ? std::atoi(text) : 0;
    return count > 0 ? count : kDefaultScenarios;
}

// Runs `scenarios` scenarios from `firstSeed` on; fails on the first difference.
void runScenarios(std::uint32_t firstSeed, int scenarios, const char* what, bool switchFloatModes = false) {
    std::uint64_t compared = 0;
    for (int n = 0; n < scenarios; ++n) {
        const std::string difference =
            runScenario(firstSeed + static_cast<std::uint32_t>(n), compared, switchFloatModes);
        ASSERT_TRUE(difference.empty()) << difference;
    }
    std::printf("[ compared ] %llu stereo samples in %d scenarios (%s)\n",
                static_cast<unsigned long long>(compared), scenarios, what);
    EXPECT_GT(compared, 0u);
}

} // namespace

TEST(DiffProcessing, RandomScenariosMatchTheStraightforwardForm) {
    runScenarios(1, scenarioCount(), "round to nearest");
}

TEST(DiffProcessing, FlushToZeroAndDenormalsAreZeroChangeNothingBetweenTheForms) {
    // Hosts often set both; the short form and the zero cubic term must still agree sample for sample.
    const FloatModeScope mode(0x8040u);
    runScenarios(10001, 6, "flush to zero, denormals are zero");
}

TEST(DiffProcessing, DirectedRoundingMatchesToo) {
    // The guard is no identity under directed rounding; the shipped form must notice and use it.
    for (unsigned int rounding : {0x2000u, 0x4000u, 0x6000u}) {
        const FloatModeScope mode(rounding);
        runScenarios(20001 + rounding, 2, "directed rounding");
    }
}

TEST(DiffProcessing, FloatModeChangingBetweenBlocks) {
    runScenarios(30001, 6, "float mode changing between blocks", true);
}

TEST(DiffProcessing, KnobSettledOnEachZoneBoundAndInsideEachZone) {
    // Blocks of many lengths with the knob at rest: the settled runs, including their one refresh.
    std::uint64_t compared = 0;
    for (float knob :
         {0.0f, 0.2f, 0.4499999f, 0.45f, 0.5f, 0.55f, 0.5500001f, 0.6f, 0.6499999f, 0.65f, 1.0f}) {
        for (float drive : {0.0f, 0.5f}) {
            Twin twin;
            twin.setParameter(kKnob, knob);
            twin.setParameter(kDrive, drive);
            twin.setParameter(kReso, 0.7f);
            twin.changeBoth([knob](CorvelDsp& dsp) { dsp.knobSmoothed = knob; });
            ScenarioMaker maker(static_cast<std::uint32_t>(knob * 1000.0f) + (drive > 0.0f ? 7u : 0u));
            for (VstInt32 frames : {512, 1, 24, 25, 26, 4096, 3, 700}) {
                Pool contents;
                for (auto& buffer : contents) {
                    buffer.resize(static_cast<std::size_t>(frames) + kPoolSlack);
                    maker.fill(buffer, 0);
                }
                const std::string difference = twin.process(kLayouts[frames % 2], contents, frames, compared);
                ASSERT_TRUE(difference.empty())
                    << "knob " << knob << ", drive " << drive << ", " << frames << " frames: " << difference;
            }
        }
    }
    EXPECT_GT(compared, 0u);
}
