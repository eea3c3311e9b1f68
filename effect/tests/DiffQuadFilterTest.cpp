// One sample of QuadFilter (four filters in SSE lanes, with its short form and its fallbacks) against two
// ticks of four scalar StateVariableFilters and the reset of a filter left non-finite, bit for bit.
// States are random and deliberately awkward: bands near zero, below 2^-60 and subnormal, band updates
// that nearly cancel, huge drives, resonances past 1, non-finite values; in every processor float mode.
#include "FloatMode.h"
#include "QuadFilter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace {

std::uint32_t bitsOf(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInfinity = std::numeric_limits<float>::infinity();

class StateMaker {
  public:
    explicit StateMaker(std::uint32_t seed) : random(seed) {}

    int below(int n) { return static_cast<int>(random() % static_cast<std::uint32_t>(n)); }
    float uniform(float low, float high) { return std::uniform_real_distribution<float>(low, high)(random); }

    // A magnitude spread evenly over binades 2^lowest .. 2^highest, with a random sign.
    float spread(int lowest, int highest) {
        const float magnitude = std::ldexp(uniform(1.0f, 2.0f), lowest + below(highest - lowest + 1));
        return below(2) == 0 ? magnitude : -magnitude;
    }

    float band() {
        const float odd[] = {0.0f,      -0.0f,    1.0f,     -1.0f,  0x1p-60f,
                             -0x1p-61f, 0x1p-35f, 4.5e-26f, 1e-40f, -1e-44f};
        return below(4) == 0 ? odd[below(10)] : spread(-140, 0);
    }

    float drive() {
        const float drives[] = {0.0f,  0.0f,  0.5f, 1.0f,      1024.0f, 3000.0f,
                                1e30f, -1.0f, kNaN, kInfinity, -0.0f};
        return drives[below(11)];
    }

    StateVariableFilter filter() {
        StateVariableFilter f;
        const float resonances[] = {0.01f, 0.5f, 0.9f, 1.0f, 1.01f, 30.0f, kInfinity};
        f.setCoefficients(std::exp(uniform(std::log(20.0f), std::log(17154.0f))), resonances[below(7)],
                          below(2) == 0 ? 44100.0f : 96000.0f);
        f.low = below(8) == 0 ? 0.0f : spread(-120, 8);
        f.band = band();
        f.high = uniform(-1.0f, 1.0f);
        f.notch = uniform(-1.0f, 1.0f);
        f.drive = drive();
        return f;
    }

    // An input for `f`: random, tiny, huge or non-finite, or one that makes the first tick's band update
    // nearly cancel, so that it may fall into the guard's range while the second does not. Sometimes the
    // low state is set to cancel too, so that the second tick's low shows the first band's last bits.
    float input(StateVariableFilter& f) {
        switch (below(6)) {
        case 0: {
            if (below(2) == 0) {
                f.band = spread(-30, -4);
                f.low = -(f.freqCoef * f.band);
            }
            const float b = f.band;
            return f.damping * b + (f.low + f.freqCoef * b) - b / f.freqCoef;
        }
        case 1:
            return spread(-140, -20);
        case 2: {
            const float odd[] = {kNaN, kInfinity, -kInfinity, 1e30f, 0.0f, -0.0f, 1e-42f};
            return odd[below(7)];
        }
        default:
            return spread(-12, 2);
        }
    }

  private:
    std::mt19937 random;
};

struct ScalarTicks {
    float low1, low2, high1, high2;
};

// Two ticks as the straightforward processing runs them, and its reset of a non-finite filter.
ScalarTicks twoTicks(StateVariableFilter& f, float input) {
    ScalarTicks ticks{};
    f.tick(input);
    ticks.low1 = f.low;
    ticks.high1 = f.high;
    f.tick(input);
    ticks.low2 = f.low;
    ticks.high2 = f.high;
    if (!std::isfinite(f.low) || !std::isfinite(f.band)) {
        f.low = 0.0f;
        f.band = 0.0f;
        f.high = 0.0f;
        f.notch = 0.0f;
    }
    return ticks;
}

float lane(__m128 v, int index) {
    alignas(16) float lanes[4];
    _mm_store_ps(lanes, v);
    return lanes[index];
}

// Runs `samples` samples through a QuadFilter and through the four scalar filters; empty when every
// tick's low and high and the final state agree bit for bit.
template <bool kDrive>
std::string compareSamples(StateVariableFilter (&filters)[4], const float (&inputs)[2], int samples,
                           bool allowShortForm) {
    QuadFilter quad;
    quad.load(filters[0], filters[1], filters[2], filters[3], allowShortForm);
    StateVariableFilter stored[4] = {filters[0], filters[1], filters[2], filters[3]};
    for (int n = 0; n < samples; ++n) {
        const QuadTicks ticks = quad.sample<kDrive>(_mm_setr_ps(inputs[0], inputs[1], inputs[0], inputs[1]));
        for (int i = 0; i < 4; ++i) {
            const ScalarTicks scalar = twoTicks(filters[i], inputs[i % 2]);
            const float pairs[4][2] = {{lane(ticks.low1, i), scalar.low1},
                                       {lane(ticks.low2, i), scalar.low2},
                                       {lane(ticks.high1, i), scalar.high1},
                                       {lane(ticks.high2, i), scalar.high2}};
            for (const auto& pair : pairs) {
                if (bitsOf(pair[0]) != bitsOf(pair[1])) {
                    return "sample " + std::to_string(n) + ", lane " + std::to_string(i) + ": tick output " +
                           std::to_string(pair[0]) + " instead of " + std::to_string(pair[1]);
                }
            }
        }
    }
    quad.store(stored[0], stored[1], stored[2], stored[3]);
    for (int i = 0; i < 4; ++i) {
        const float shipped[4] = {stored[i].low, stored[i].band, stored[i].high, stored[i].notch};
        const float reference[4] = {filters[i].low, filters[i].band, filters[i].high, filters[i].notch};
        for (int field = 0; field < 4; ++field) {
            if (bitsOf(shipped[field]) != bitsOf(reference[field])) {
                return "lane " + std::to_string(i) + ", state field " + std::to_string(field) + ": " +
                       std::to_string(shipped[field]) + " instead of " + std::to_string(reference[field]);
            }
        }
    }
    return {};
}

} // namespace

TEST(DiffQuadFilter, LanesFollowTheScalarFilterInEveryFloatMode) {
    const unsigned int modes[] = {0x0000u, 0x2000u, 0x4000u, 0x6000u, 0x8040u};
    for (unsigned int mode : modes) {
        const unsigned int saved = _mm_getcsr();
        _mm_setcsr((saved & ~0xE040u) | mode);
        StateMaker maker(mode + 1);
        std::string difference;
        int round = 0;
        for (; round < 40000 && difference.empty(); ++round) {
            StateVariableFilter filters[4] = {maker.filter(), maker.filter(), maker.filter(), maker.filter()};
            if (maker.below(3) == 0) {
                // All four with one drive, as setParameter leaves them, zero included.
                const float drive = maker.drive();
                for (StateVariableFilter& f : filters) {
                    f.drive = drive;
                }
            }
            const float inputs[2] = {maker.input(filters[0]), maker.input(filters[1])};
            const int samples = 1 + maker.below(3);
            StateVariableFilter copies[4] = {filters[0], filters[1], filters[2], filters[3]};
            // The shipped form runs without the drive term only when every drive is zero.
            const bool driveIsZero =
                _mm_movemask_ps(_mm_cmpneq_ps(
                    _mm_setr_ps(filters[0].drive, filters[1].drive, filters[2].drive, filters[3].drive),
                    _mm_setzero_ps())) == 0;
            difference = driveIsZero ? compareSamples<false>(filters, inputs, samples, roundsToNearest(mode))
                                     : compareSamples<true>(filters, inputs, samples, roundsToNearest(mode));
            if (difference.empty()) {
                difference = compareSamples<true>(copies, inputs, samples, roundsToNearest(mode));
            }
        }
        _mm_setcsr(saved);
        ASSERT_TRUE(difference.empty())
            << "float mode " << std::hex << mode << std::dec << ", round " << round << ": " << difference;
    }
}
