#include "GoldenScenario.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr int kSampleRate = 44100;
constexpr int kTotalFrames = 8 * kSampleRate;
constexpr int kMaxBlock = 4096;
constexpr int kBlockSizes[] = {1, 7, 64, 333, 512, 1000, 13, 4096, 2, 257, 128, 999};

struct ParameterMove {
    int frame;
    VstInt32 index;
    float value;
};

// knob 0, drive 1, reso 2. Each move lands at the first block that starts at or after its frame.
constexpr ParameterMove kMoves[] = {
    {0, 0, 0.0f},       // glide from the centre into the low-pass side
    {30000, 1, 0.5f},   // drive
    {50000, 2, 0.9f},   // strong resonance
    {70000, 0, 0.44f},  // resonance fade just below the centre
    {90000, 0, 0.6f},   // high-pass crossfade
    {120000, 0, 1.0f},  // pure high-pass at the top
    {140000, 2, 1.0f},  // resonance 1: no damping
    {160000, 1, 1.0f},  // full drive
    {180000, 0, 0.5f},  // back to the dry centre
    {210000, 2, 0.0f},  // changed while dry: heard only after leaving it
    {230000, 0, 0.2f},  // low-pass again
    {260000, 1, 0.0f},  // drive off
    {280000, 0, 0.55f}, // exactly on the centre's upper bound
    {300000, 0, 0.75f}, // high-pass
    {330000, 2, 0.5f},  //
    {340000, 0, 0.45f}, // exactly on the centre's lower bound
};

// The sample rate changes to 48000 at this frame, in the usual host sequence.
constexpr int kRateChangeFrame = 200000;

// Deterministic input: a saw and noise in each channel, from integer arithmetic and exact float steps.
struct SignalSource {
    std::uint32_t state = 0x12345678u;
    float sawLeft = 0.0f;
    float sawRight = 0.0f;

    float noise() {
        state = state * 1664525u + 1013904223u;
        return static_cast<float>(static_cast<std::int32_t>(state >> 8) - (1 << 23)) / 8388608.0f;
    }

    void next(float& left, float& right) {
        sawLeft += 0.0125f; // about 551 Hz
        if (sawLeft >= 1.0f) {
            sawLeft -= 2.0f;
        }
        sawRight += 0.003125f; // about 138 Hz
        if (sawRight >= 1.0f) {
            sawRight -= 2.0f;
        }
        left = 0.5f * sawLeft + 0.25f * noise();
        right = 0.5f * sawRight + 0.25f * noise();
    }
};

VstIntPtr dispatch(AEffect* effect, VstInt32 opcode, VstIntPtr value = 0, float opt = 0.0f) {
    return effect->dispatcher(effect, opcode, 0, value, nullptr, opt);
}

} // namespace

GoldenRun runGoldenScenario(AEffect* effect) {
    GoldenRun run;
    run.left.reserve(kTotalFrames);
    run.right.reserve(kTotalFrames);

    dispatch(effect, effOpen);
    dispatch(effect, effMainsChanged, 0);
    dispatch(effect, effSetSampleRate, 0, static_cast<float>(kSampleRate));
    dispatch(effect, effSetBlockSize, kMaxBlock);
    dispatch(effect, effMainsChanged, 1);

    std::vector<float> inLeft(kMaxBlock), inRight(kMaxBlock), outLeft(kMaxBlock), outRight(kMaxBlock);
    SignalSource source;
    std::size_t nextMove = 0;
    bool rateChanged = false;
    int frame = 0;
    for (int block = 0; frame < kTotalFrames; ++block) {
        const int wanted = kBlockSizes[block % (sizeof(kBlockSizes) / sizeof(kBlockSizes[0]))];
        const int frames = wanted < kTotalFrames - frame ? wanted : kTotalFrames - frame;

        while (nextMove < sizeof(kMoves) / sizeof(kMoves[0]) && kMoves[nextMove].frame <= frame) {
            effect->setParameter(effect, kMoves[nextMove].index, kMoves[nextMove].value);
            ++nextMove;
        }
        if (!rateChanged && frame >= kRateChangeFrame) {
            dispatch(effect, effMainsChanged, 0);
            dispatch(effect, effSetSampleRate, 0, 48000.0f);
            dispatch(effect, effMainsChanged, 1);
            rateChanged = true;
        }

        for (int i = 0; i < frames; ++i) {
            source.next(inLeft[i], inRight[i]);
        }
        // Every third block runs in place, as many hosts do.
        const bool inPlace = block % 3 == 2;
        float* inputs[2] = {inLeft.data(), inRight.data()};
        float* outputs[2] = {inPlace ? inLeft.data() : outLeft.data(),
                             inPlace ? inRight.data() : outRight.data()};
        effect->processReplacing(effect, inputs, outputs, frames);
        run.left.insert(run.left.end(), outputs[0], outputs[0] + frames);
        run.right.insert(run.right.end(), outputs[1], outputs[1] + frames);
        frame += frames;
    }
    dispatch(effect, effMainsChanged, 0);
    run.digest = digestSamples(run.left, run.right);
    return run;
}

std::uint64_t digestSamples(const std::vector<float>& left, const std::vector<float>& right) {
    std::uint64_t hash = 0xcbf29ce484222325ull;
    auto feed = [&hash](const std::vector<float>& samples) {
        for (float sample : samples) {
            std::uint32_t bits;
            std::memcpy(&bits, &sample, sizeof bits);
            for (int byte = 0; byte < 4; ++byte) {
                hash ^= (bits >> (8 * byte)) & 0xFFu;
                hash *= 0x100000001b3ull;
            }
        }
    };
    feed(left);
    feed(right);
    return hash;
}

bool readDigestFile(const std::string& path, std::uint64_t& digest) {
    std::FILE* file = std::fopen(path.c_str(), "r");
    if (file == nullptr) {
        return false;
    }
    unsigned long long value = 0;
    const bool ok = std::fscanf(file, "%16llx", &value) == 1;
    std::fclose(file);
    digest = value;
    return ok;
}

bool writeDigestFile(const std::string& path, std::uint64_t digest) {
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (file == nullptr) {
        return false;
    }
    std::fprintf(file, "%016llx\n", static_cast<unsigned long long>(digest));
    return std::fclose(file) == 0;
}
