#include "FilterRuns.h"

namespace {

// 0.5 * first + 0.5 * second, which rounds differently from 0.5 * (first + second).
__m128 mean(__m128 first, __m128 second) {
    const __m128 half = _mm_set1_ps(0.5f);
    return _mm_add_ps(_mm_mul_ps(half, first), _mm_mul_ps(half, second));
}

// The low-pass zone hears lanes 0 and 1, the high-pass zones lanes 2 and 3.
void storeLowLanes(__m128 out, float* left, float* right) {
    _mm_store_ss(left, out);
    _mm_store_ss(right, _mm_shuffle_ps(out, out, _MM_SHUFFLE(1, 1, 1, 1)));
}

void storeHighLanes(__m128 out, float* left, float* right) {
    _mm_store_ss(left, _mm_movehl_ps(out, out));
    _mm_store_ss(right, _mm_shuffle_ps(out, out, _MM_SHUFFLE(3, 3, 3, 3)));
}

struct LowPassOutput {
    __m128 operator()(const QuadTicks& ticks, __m128 /*in*/) const { return mean(ticks.low1, ticks.low2); }
    static void store(__m128 out, float* left, float* right) { storeLowLanes(out, left, right); }
    static bool takesMix() { return false; }
    void setMix(float /*m*/) {}
};

struct HighPassOutput {
    __m128 operator()(const QuadTicks& ticks, __m128 /*in*/) const { return mean(ticks.high1, ticks.high2); }
    static void store(__m128 out, float* left, float* right) { storeHighLanes(out, left, right); }
    static bool takesMix() { return false; }
    void setMix(float /*m*/) {}
};

// (1 - m) * in + m * high-pass, in that order.
struct FadeOutput {
    __m128 mix;
    __m128 dry;
    explicit FadeOutput(float m) { setMix(m); }
    __m128 operator()(const QuadTicks& ticks, __m128 in) const {
        return _mm_add_ps(_mm_mul_ps(dry, in), _mm_mul_ps(mix, mean(ticks.high1, ticks.high2)));
    }
    static void store(__m128 out, float* left, float* right) { storeHighLanes(out, left, right); }
    static bool takesMix() { return true; }
    void setMix(float m) {
        mix = _mm_set1_ps(m);
        dry = _mm_set1_ps(1.0f - m);
    }
};

// Local copies of the buffer pointers: stores to the output cannot change them, so they stay in registers.
struct Channels {
    const float* inLeft;
    const float* inRight;
    float* outLeft;
    float* outRight;
    explicit Channels(const StereoIo& io)
        : inLeft(io.inLeft), inRight(io.inRight), outLeft(io.outLeft), outRight(io.outRight) {}

    __m128 input(VstInt32 i) const {
        const float left = inLeft[i];
        const float right = inRight[i];
        return _mm_setr_ps(left, right, left, right);
    }
};

template <bool kDrive, class Output>
void run(QuadFilter& filters, const StereoIo& io, VstInt32 begin, VstInt32 end, Output output) {
    // A local copy: stores to the output buffers cannot reach it, so it stays in registers.
    QuadFilter local = filters;
    const Channels channels(io);
    for (VstInt32 i = begin; i < end; ++i) {
        const __m128 in = channels.input(i);
        const QuadTicks ticks = local.sample<kDrive>(in);
        Output::store(output(ticks, in), channels.outLeft + i, channels.outRight + i);
    }
    filters = local;
}

template <bool kDrive, class Output>
GlideStop glide(QuadFilter& filters, const StereoIo& io, VstInt32 begin, VstInt32 end, float first,
                const KnobGlide& knob, KnobZone zone, Output output) {
    QuadFilter local = filters;
    const Channels channels(io);
    float position = first;
    GlideStop stop{end, first, first};
    for (VstInt32 i = begin;;) {
        if (Output::takesMix()) {
            output.setMix(fadeMix(position));
        }
        const __m128 in = channels.input(i);
        const QuadTicks ticks = local.sample<kDrive>(in);
        Output::store(output(ticks, in), channels.outLeft + i, channels.outRight + i);
        if (++i == end) {
            stop = {end, position, position};
            break;
        }
        const float next = knob.step(position);
        if (zoneOf(next) != zone) {
            stop = {i, position, next};
            break;
        }
        position = next;
    }
    filters = local;
    return stop;
}

template <class Output>
void runWithDrive(QuadFilter& filters, const StereoIo& io, VstInt32 begin, VstInt32 end,
                  const Output& output) {
    if (filters.driveIsZero()) {
        run<false>(filters, io, begin, end, output);
    } else {
        run<true>(filters, io, begin, end, output);
    }
}

template <class Output>
GlideStop glideWithDrive(QuadFilter& filters, const StereoIo& io, VstInt32 begin, VstInt32 end, float first,
                         const KnobGlide& knob, KnobZone zone, const Output& output) {
    if (filters.driveIsZero()) {
        return glide<false>(filters, io, begin, end, first, knob, zone, output);
    }
    return glide<true>(filters, io, begin, end, first, knob, zone, output);
}

} // namespace

void runFilterZone(KnobZone zone, QuadFilter& filters, const StereoIo& io, VstInt32 begin, VstInt32 end,
                   float mix) {
    switch (zone) {
    case KnobZone::LowPass:
        runWithDrive(filters, io, begin, end, LowPassOutput{});
        break;
    case KnobZone::HighPass:
        runWithDrive(filters, io, begin, end, HighPassOutput{});
        break;
    case KnobZone::HighPassFade:
        runWithDrive(filters, io, begin, end, FadeOutput(mix));
        break;
    case KnobZone::Dry:
        break;
    }
}

GlideStop runGlidingZone(KnobZone zone, QuadFilter& filters, const StereoIo& io, VstInt32 begin, VstInt32 end,
                         float first, const KnobGlide& glide) {
    switch (zone) {
    case KnobZone::LowPass:
        return glideWithDrive(filters, io, begin, end, first, glide, zone, LowPassOutput{});
    case KnobZone::HighPass:
        return glideWithDrive(filters, io, begin, end, first, glide, zone, HighPassOutput{});
    case KnobZone::HighPassFade:
        return glideWithDrive(filters, io, begin, end, first, glide, zone, FadeOutput(fadeMix(first)));
    case KnobZone::Dry:
        break;
    }
    return copyGlidingDry(io, begin, end, first, glide);
}

GlideStop copyGlidingDry(const StereoIo& io, VstInt32 begin, VstInt32 end, float first,
                         const KnobGlide& glide) {
    const Channels channels(io);
    float position = first;
    for (VstInt32 i = begin;;) {
        const float left = channels.inLeft[i];
        const float right = channels.inRight[i];
        channels.outLeft[i] = left;
        channels.outRight[i] = right;
        if (++i == end) {
            return {end, position, position};
        }
        const float next = glide.step(position);
        if (zoneOf(next) != KnobZone::Dry) {
            return {i, position, next};
        }
        position = next;
    }
}
