// Counts what a thread must never do while it runs audio: allocate or free memory, take or wait on a
// lock, sleep, yield, or enter the kernel through the usual wrappers. The counting replaces the C and
// C++ allocation functions and interposes the lock, sleep and system-call wrappers of the C library for
// the whole test program, but counts only calls made on a thread that is being watched.
//
// What is counted (see AudioThreadWatch.cpp for the exact list): malloc, calloc, realloc, free,
// aligned_alloc, posix_memalign, memalign, valloc, every form of operator new and delete (plain, array,
// nothrow, aligned, sized); pthread mutex lock/trylock/timedlock, read-write locks, spin locks,
// condition variables, semaphores; read, write, nanosleep, clock_nanosleep, usleep, sleep, sched_yield,
// syscall (through which futex and anything else without a wrapper go), mmap, munmap. Not counted:
// system calls issued as raw instructions (the C library's own internal calls) and clock_gettime, which
// the kernel's vDSO answers without a system call.
#pragma once

#include <array>
#include <cstddef>

namespace audiowatch {

enum Call : int {
    kMalloc,
    kCalloc,
    kRealloc,
    kAlignedAlloc,
    kFree,
    kNew,
    kDelete,
    kMutexLock,
    kMutexTryLock,
    kReadWriteLock,
    kSpinLock,
    kConditionVariable,
    kSemaphore,
    kRead,
    kWrite,
    kSleep,
    kYield,
    kSyscall,
    kMemoryMap,
    kCallKinds
};

const char* callName(Call call);

using Counts = std::array<long, kCallKinds>;

// Everything counted on watched threads since the last reset.
Counts counts();
void resetCounts();
long total(const Counts& counts);

// Watches the calling thread for as long as it lives. Nests.
class WatchThisThread {
  public:
    WatchThisThread();
    ~WatchThisThread();
    WatchThisThread(const WatchThisThread&) = delete;
    WatchThisThread& operator=(const WatchThisThread&) = delete;
};

} // namespace audiowatch
