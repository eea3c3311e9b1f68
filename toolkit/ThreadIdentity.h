// Which thread is running, cheaply and on any thread (the audio thread included): no allocation, no
// lock, no system call. A token, not a handle: only good for comparing.
#pragma once

#include <cstdint>

#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <pthread.h>
#endif

using ThreadToken = uint64_t;

// No thread has this token.
constexpr ThreadToken kNoThread = 0;

inline ThreadToken currentThread() {
#if defined(_WIN32)
    // Not std::this_thread: the threading runtime allocates for a thread it did not start.
    return GetCurrentThreadId();
#else
    return static_cast<ThreadToken>(pthread_self());
#endif
}
