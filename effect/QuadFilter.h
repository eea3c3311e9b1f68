// The effect's four filters ticked together, one per SSE lane: low-pass left, low-pass right, high-pass
// left, high-pass right. IEEE add, subtract and multiply round the same in a vector lane as in scalar
// code, so each lane follows StateVariableFilter::tick bit for bit as long as every operation keeps
// the written order (and the build keeps contraction off).
#pragma once

#include "BandGuard.h"
#include "BranchHints.h"
#include "StateVariableFilter.h"

#include <emmintrin.h>

// Each lane's low and high after the first and after the second tick of a sample, as read before a
// non-finite filter is reset.
struct QuadTicks {
    __m128 low1;
    __m128 low2;
    __m128 high1;
    __m128 high2;
};

struct QuadFilter {
    __m128 low;
    __m128 band;
    __m128 high;
    __m128 notch;
    __m128 freqCoef;
    __m128 damping;
    __m128 drive;
    // The previous sample's bands needed no guard: try the short form first.
    bool unguarded;
    // Off when the processor does not round to nearest: then every sample takes the exact form.
    bool shortFormAllowed;
    // Round to nearest and every |drive| <= 2^10: a band below 2^-60 then makes a cubic term that rounds
    // to zero (|band^3 drive| < 2^-170, far below half the smallest subnormal), in every rounding step.
    bool tinyCubicIsZero;

    static constexpr int kTinyBandBits = 0x21800000; // 2^-60

    void load(const StateVariableFilter& a, const StateVariableFilter& b, const StateVariableFilter& c,
              const StateVariableFilter& d, bool allowShortForm) {
        low = _mm_setr_ps(a.low, b.low, c.low, d.low);
        band = _mm_setr_ps(a.band, b.band, c.band, d.band);
        high = _mm_setr_ps(a.high, b.high, c.high, d.high);
        notch = _mm_setr_ps(a.notch, b.notch, c.notch, d.notch);
        // Read once for the block: a drive set from another thread during the block counts from the next.
        drive = _mm_setr_ps(a.drive.load(), b.drive.load(), c.drive.load(), d.drive.load());
        loadCoefficients(a, b, c, d);
        shortFormAllowed = allowShortForm;
        unguarded = allowShortForm;
        const __m128 driveMagnitude = _mm_and_ps(drive, _mm_castsi128_ps(_mm_set1_epi32(0x7FFFFFFF)));
        tinyCubicIsZero =
            allowShortForm && _mm_movemask_ps(_mm_cmple_ps(driveMagnitude, _mm_set1_ps(1024.0f))) == 0xF;
    }

    void loadCoefficients(const StateVariableFilter& a, const StateVariableFilter& b,
                          const StateVariableFilter& c, const StateVariableFilter& d) {
        freqCoef = _mm_setr_ps(a.freqCoef, b.freqCoef, c.freqCoef, d.freqCoef);
        damping = _mm_setr_ps(a.damping, b.damping, c.damping, d.damping);
    }

    void store(StateVariableFilter& a, StateVariableFilter& b, StateVariableFilter& c,
               StateVariableFilter& d) const {
        alignas(16) float lanes[4][4];
        _mm_store_ps(lanes[0], low);
        _mm_store_ps(lanes[1], band);
        _mm_store_ps(lanes[2], high);
        _mm_store_ps(lanes[3], notch);
        StateVariableFilter* const filters[4] = {&a, &b, &c, &d};
        for (int lane = 0; lane < 4; ++lane) {
            filters[lane]->low = lanes[0][lane];
            filters[lane]->band = lanes[1][lane];
            filters[lane]->high = lanes[2][lane];
            filters[lane]->notch = lanes[3][lane];
        }
    }

    // True unless some lane's drive might be other than zero.
    bool driveIsZero() const { return _mm_movemask_ps(_mm_cmpneq_ps(drive, _mm_setzero_ps())) == 0; }

    // One sample: two ticks with the same input in every lane (in = left, right, left, right).
    // kDrive false requires driveIsZero().
    template <bool kDrive> VELMORA_INLINE QuadTicks sample(__m128 in) {
        if (VELMORA_LIKELY(unguarded)) {
            // Both ticks without guard and clip, kept if neither would have changed a band. Finite band
            // updates also mean a finite low (a non-finite low makes the update non-finite), so no filter
            // is reset either.
            const __m128 notch1 = _mm_sub_ps(in, _mm_mul_ps(damping, band));
            const __m128 low1 = _mm_add_ps(low, _mm_mul_ps(freqCoef, band));
            const __m128 high1 = _mm_sub_ps(notch1, low1);
            const __m128 update1 = bandUpdate<kDrive>(high1, band);
            __m128 notch2 = _mm_sub_ps(in, _mm_mul_ps(damping, update1));
            __m128 low2 = _mm_add_ps(low1, _mm_mul_ps(freqCoef, update1));
            __m128 high2 = _mm_sub_ps(notch2, low2);
            __m128 update2 = bandUpdate<kDrive>(high2, update1);
            bool kept = allLeftAlone(update1, update2);
            if (!VELMORA_LIKELY(kept) && allUnguardedFinite(update1)) {
                // A resonant filter near the top of its range overshoots the clip on the first of its two
                // ticks now and then (the parked low-pass pair on the high-pass side): clip that band and
                // run the second tick again, still without the guard.
                const __m128 band1 = clip(update1);
                notch2 = _mm_sub_ps(in, _mm_mul_ps(damping, band1));
                low2 = _mm_add_ps(low1, _mm_mul_ps(freqCoef, band1));
                high2 = _mm_sub_ps(notch2, low2);
                update2 = bandUpdate<kDrive>(high2, band1);
                kept = allLeftAlone(update2, update2);
            }
            if (VELMORA_LIKELY(kept)) {
                low = low2;
                band = update2;
                high = high2;
                notch = notch2;
                return {low1, low2, high1, high2};
            }
        }
        return exactSample(in);
    }

  private:
    // high * freqCoef + band - band * drive * band * band, in that order. With every drive zero the
    // cubic term is a signed zero for a finite band, which leaves every non-zero sum as it is. A zero sum,
    // or a non-finite one (from a non-finite band), is outside the short form's range: that sample is
    // redone in the exact form.
    template <bool kDrive> VELMORA_INLINE __m128 bandUpdate(__m128 highNow, __m128 bandBefore) const {
        const __m128 linear = _mm_add_ps(_mm_mul_ps(highNow, freqCoef), bandBefore);
        if (!kDrive) {
            return linear;
        }
        const __m128 cubic = _mm_mul_ps(_mm_mul_ps(_mm_mul_ps(bandBefore, drive), bandBefore), bandBefore);
        return _mm_sub_ps(linear, cubic);
    }

    // The tick as written, guard and clip included; returns the band before them in `update`.
    VELMORA_INLINE void exactTick(__m128 in, __m128& update) {
        notch = _mm_sub_ps(in, _mm_mul_ps(damping, band));
        low = _mm_add_ps(low, _mm_mul_ps(freqCoef, band));
        high = _mm_sub_ps(notch, low);
        const __m128 linear = _mm_add_ps(_mm_mul_ps(high, freqCoef), band);
        // A decaying band (silence) makes the cubic products underflow, which costs a microcode assist
        // per operation on many processors. Where the term rounds to zero anyway, a signed zero in place
        // of the band gives that same zero, sign included, without touching a subnormal.
        __m128 factor = band;
        if (tinyCubicIsZero) {
            const __m128i magnitude = _mm_and_si128(_mm_castps_si128(band), _mm_set1_epi32(0x7FFFFFFF));
            const __m128 tiny = _mm_castsi128_ps(_mm_cmpgt_epi32(_mm_set1_epi32(kTinyBandBits), magnitude));
            factor = _mm_andnot_ps(_mm_and_ps(tiny, _mm_castsi128_ps(_mm_set1_epi32(0x7FFFFFFF))), band);
        }
        const __m128 cubic = _mm_mul_ps(_mm_mul_ps(_mm_mul_ps(factor, drive), factor), factor);
        update = _mm_sub_ps(linear, cubic);
        band = guardAndClip(update);
    }

    VELMORA_INLINE QuadTicks exactSample(__m128 in) {
        QuadTicks ticks;
        __m128 update1;
        __m128 update2;
        exactTick(in, update1);
        ticks.low1 = low;
        ticks.high1 = high;
        exactTick(in, update2);
        ticks.low2 = low;
        ticks.high2 = high;
        // Back to the short form once the bands are in its range again.
        unguarded = shortFormAllowed && allLeftAlone(update1, update2);
        // A filter whose low or band is no longer finite starts afresh, so that one non-finite input does
        // not poison it for good. The sample's output was read before.
        const __m128i exponent = _mm_set1_epi32(0x7F800000);
        const __m128i lowNonFinite =
            _mm_cmpeq_epi32(_mm_and_si128(_mm_castps_si128(low), exponent), exponent);
        const __m128i bandNonFinite =
            _mm_cmpeq_epi32(_mm_and_si128(_mm_castps_si128(band), exponent), exponent);
        const __m128 reset = _mm_castsi128_ps(_mm_or_si128(lowNonFinite, bandNonFinite));
        low = _mm_andnot_ps(reset, low);
        band = _mm_andnot_ps(reset, band);
        high = _mm_andnot_ps(reset, high);
        notch = _mm_andnot_ps(reset, notch);
        return ticks;
    }
};
