// Hints for the audio path's loops.
#pragma once

#if defined(__GNUC__)
// For a test that almost always comes out one way; keeps a branch where a select would lengthen a chain.
#define VELMORA_LIKELY(condition) __builtin_expect(!!(condition), 1)
#define VELMORA_UNLIKELY(condition) __builtin_expect(!!(condition), 0)
// The per-sample steps must be inlined into the sample loop: a call would take the filter state's
// address and move it from registers to memory, lengthening the sample-to-sample chain.
#define VELMORA_INLINE inline __attribute__((always_inline))
#else
#define VELMORA_LIKELY(condition) (condition)
#define VELMORA_UNLIKELY(condition) (condition)
#define VELMORA_INLINE inline
#endif
