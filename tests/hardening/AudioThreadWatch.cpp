// The interposers behind AudioThreadWatch.h. Each one counts the call when the calling thread is
// watched, then hands it on unchanged to the function it hides: the sanitizer's interceptor when the
// program runs under one (so its bookkeeping stays whole), the C library's otherwise.
//
// Nothing here may allocate, lock or throw: these functions run inside every allocation of the process.
#include "AudioThreadWatch.h"

#include <dlfcn.h>
#include <malloc.h>
#include <pthread.h>
#include <sched.h>
#include <semaphore.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <new>

namespace audiowatch {
namespace {

std::atomic<long> counters[kCallKinds];

// Set while the thread is watched; a plain thread-local in the executable needs no allocation to reach.
thread_local int watchDepth = 0;
// Set while an interposer forwards, so calls the real function makes on its own are not counted twice.
thread_local int forwarding = 0;

inline void note(Call call) {
    if (watchDepth > 0 && forwarding == 0) {
        counters[call].fetch_add(1, std::memory_order_relaxed);
    }
}

struct Forwarding {
    Forwarding() { ++forwarding; }
    ~Forwarding() { --forwarding; }
};

// dlsym may itself ask for memory before the allocation functions are found; a small static arena
// serves those few early requests and is never given back.
alignas(64) char bootstrapArena[64 * 1024];
std::atomic<std::size_t> bootstrapUsed{0};
std::atomic<bool> resolving{false};

void* bootstrapAllocate(std::size_t size) {
    const std::size_t rounded = (size + 63) & ~std::size_t{63};
    const std::size_t offset = bootstrapUsed.fetch_add(rounded);
    if (offset + rounded > sizeof bootstrapArena) {
        std::abort();
    }
    return bootstrapArena + offset;
}

bool fromBootstrap(const void* pointer) {
    const char* p = static_cast<const char*>(pointer);
    return p >= bootstrapArena && p < bootstrapArena + sizeof bootstrapArena;
}

} // namespace
} // namespace audiowatch

// The sanitizers' interceptors, when a sanitizer runtime is linked in; null otherwise.
#define AUDIOWATCH_INTERCEPTOR(ret, name, ...)                                                               \
    extern "C" ret __interceptor_##name(__VA_ARGS__) __attribute__((weak));
AUDIOWATCH_INTERCEPTOR(void*, malloc, size_t)
AUDIOWATCH_INTERCEPTOR(void*, calloc, size_t, size_t)
AUDIOWATCH_INTERCEPTOR(void*, realloc, void*, size_t)
AUDIOWATCH_INTERCEPTOR(void, free, void*)
AUDIOWATCH_INTERCEPTOR(void*, aligned_alloc, size_t, size_t)
AUDIOWATCH_INTERCEPTOR(int, posix_memalign, void**, size_t, size_t)
AUDIOWATCH_INTERCEPTOR(void*, memalign, size_t, size_t)
AUDIOWATCH_INTERCEPTOR(void*, valloc, size_t)
#undef AUDIOWATCH_INTERCEPTOR

namespace audiowatch {
namespace {

template <typename F> F nextDefinition(F interceptor, const char* name) {
    if (interceptor != nullptr) {
        return interceptor;
    }
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

struct AllocationFunctions {
    void* (*malloc)(size_t) = nullptr;
    void* (*calloc)(size_t, size_t) = nullptr;
    void* (*realloc)(void*, size_t) = nullptr;
    void (*free)(void*) = nullptr;
    void* (*alignedAlloc)(size_t, size_t) = nullptr;
    int (*posixMemalign)(void**, size_t, size_t) = nullptr;
    void* (*memalign)(size_t, size_t) = nullptr;
    void* (*valloc)(size_t) = nullptr;
};

AllocationFunctions realAllocation;

// Finds the hidden allocation functions; the first allocation of the process gets here, long before a
// second thread exists.
const AllocationFunctions& real() {
    if (realAllocation.free == nullptr && !resolving.exchange(true)) {
        AllocationFunctions found;
        found.malloc = nextDefinition(&__interceptor_malloc, "malloc");
        found.calloc = nextDefinition(&__interceptor_calloc, "calloc");
        found.realloc = nextDefinition(&__interceptor_realloc, "realloc");
        found.alignedAlloc = nextDefinition(&__interceptor_aligned_alloc, "aligned_alloc");
        found.posixMemalign = nextDefinition(&__interceptor_posix_memalign, "posix_memalign");
        found.memalign = nextDefinition(&__interceptor_memalign, "memalign");
        found.valloc = nextDefinition(&__interceptor_valloc, "valloc");
        found.free = nextDefinition(&__interceptor_free, "free");
        realAllocation = found;
        resolving.store(false);
    }
    return realAllocation;
}

// Finds the function a non-allocating interposer hides; looked up once per function, in practice on
// the first call, which the test program makes long before it watches a thread.
template <typename F> F realFunction(F& slot, const char* name) {
    F function = __atomic_load_n(&slot, __ATOMIC_ACQUIRE);
    if (function == nullptr) {
        function = reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
        if (function == nullptr) {
            std::abort();
        }
        __atomic_store_n(&slot, function, __ATOMIC_RELEASE);
    }
    return function;
}

#define AUDIOWATCH_REAL(name)                                                                                \
    static decltype(&::name) slot_##name = nullptr;                                                          \
    const auto real_##name = realFunction(slot_##name, #name)

void* allocate(std::size_t size) {
    const Forwarding forward;
    return real().malloc(size == 0 ? 1 : size);
}

void* allocateAligned(std::size_t size, std::size_t alignment) {
    const Forwarding forward;
    void* pointer = nullptr;
    if (alignment < sizeof(void*)) {
        alignment = sizeof(void*);
    }
    if (real().posixMemalign(&pointer, alignment, size == 0 ? 1 : size) != 0) {
        return nullptr;
    }
    return pointer;
}

void release(void* pointer) {
    if (pointer == nullptr || fromBootstrap(pointer)) {
        return;
    }
    const Forwarding forward;
    real().free(pointer);
}

} // namespace

const char* callName(Call call) {
    static const char* const names[kCallKinds] = {"malloc",
                                                  "calloc",
                                                  "realloc",
                                                  "aligned allocation",
                                                  "free",
                                                  "operator new",
                                                  "operator delete",
                                                  "mutex lock",
                                                  "mutex trylock",
                                                  "read-write lock",
                                                  "spin lock",
                                                  "condition variable",
                                                  "semaphore",
                                                  "read",
                                                  "write",
                                                  "sleep",
                                                  "sched_yield",
                                                  "syscall",
                                                  "mmap/munmap"};
    return names[call];
}

Counts counts() {
    Counts result{};
    for (int i = 0; i < kCallKinds; ++i) {
        result[static_cast<std::size_t>(i)] = counters[i].load(std::memory_order_relaxed);
    }
    return result;
}

void resetCounts() {
    for (auto& counter : counters) {
        counter.store(0, std::memory_order_relaxed);
    }
}

long total(const Counts& counts) {
    long sum = 0;
    for (long count : counts) {
        sum += count;
    }
    return sum;
}

WatchThisThread::WatchThisThread() {
    ++watchDepth;
}
WatchThisThread::~WatchThisThread() {
    --watchDepth;
}

} // namespace audiowatch

using namespace audiowatch;

// C allocation.

extern "C" void* malloc(size_t size) noexcept {
    if (resolving.load(std::memory_order_relaxed) && realAllocation.malloc == nullptr) {
        return bootstrapAllocate(size);
    }
    note(kMalloc);
    const Forwarding forward;
    return real().malloc(size);
}

extern "C" void* calloc(size_t count, size_t size) noexcept {
    if (resolving.load(std::memory_order_relaxed) && realAllocation.calloc == nullptr) {
        return bootstrapAllocate(count * size); // the arena is zeroed and never reused
    }
    note(kCalloc);
    const Forwarding forward;
    return real().calloc(count, size);
}

extern "C" void* realloc(void* pointer, size_t size) noexcept {
    note(kRealloc);
    const Forwarding forward;
    if (fromBootstrap(pointer)) {
        // Grown out of the arena: the old block's size is unknown, but it cannot reach past the arena.
        void* moved = real().malloc(size);
        const std::size_t available =
            static_cast<std::size_t>(bootstrapArena + sizeof bootstrapArena - static_cast<char*>(pointer));
        if (moved != nullptr) {
            std::memcpy(moved, pointer, size < available ? size : available);
        }
        return moved;
    }
    return real().realloc(pointer, size);
}

extern "C" void free(void* pointer) noexcept {
    if (pointer == nullptr) {
        return;
    }
    note(kFree);
    release(pointer);
}

extern "C" void* aligned_alloc(size_t alignment, size_t size) noexcept {
    note(kAlignedAlloc);
    const Forwarding forward;
    return real().alignedAlloc(alignment, size);
}

extern "C" int posix_memalign(void** pointer, size_t alignment, size_t size) noexcept {
    note(kAlignedAlloc);
    const Forwarding forward;
    return real().posixMemalign(pointer, alignment, size);
}

extern "C" void* memalign(size_t alignment, size_t size) noexcept {
    note(kAlignedAlloc);
    const Forwarding forward;
    return real().memalign(alignment, size);
}

extern "C" void* valloc(size_t size) noexcept {
    note(kAlignedAlloc);
    const Forwarding forward;
    return real().valloc(size);
}

// C++ allocation: every replaceable form.

void* operator new(std::size_t size) {
    note(kNew);
    if (void* pointer = allocate(size)) {
        return pointer;
    }
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    note(kNew);
    if (void* pointer = allocate(size)) {
        return pointer;
    }
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    note(kNew);
    return allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    note(kNew);
    return allocate(size);
}
void* operator new(std::size_t size, std::align_val_t alignment) {
    note(kNew);
    if (void* pointer = allocateAligned(size, static_cast<std::size_t>(alignment))) {
        return pointer;
    }
    throw std::bad_alloc();
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
    note(kNew);
    if (void* pointer = allocateAligned(size, static_cast<std::size_t>(alignment))) {
        return pointer;
    }
    throw std::bad_alloc();
}
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    note(kNew);
    return allocateAligned(size, static_cast<std::size_t>(alignment));
}
void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    note(kNew);
    return allocateAligned(size, static_cast<std::size_t>(alignment));
}

#define AUDIOWATCH_DELETE(pointer)                                                                           \
    if ((pointer) != nullptr) {                                                                              \
        note(kDelete);                                                                                       \
        release(pointer);                                                                                    \
    }

void operator delete(void* pointer) noexcept {
    AUDIOWATCH_DELETE(pointer)
}
void operator delete[](void* pointer) noexcept {
    AUDIOWATCH_DELETE(pointer)
}
void operator delete(void* pointer, const std::nothrow_t&) noexcept {
    AUDIOWATCH_DELETE(pointer)
}
void operator delete[](void* pointer, const std::nothrow_t&) noexcept {
    AUDIOWATCH_DELETE(pointer)
}
void operator delete(void* pointer, std::size_t) noexcept {
    AUDIOWATCH_DELETE(pointer)
}
void operator delete[](void* pointer, std::size_t) noexcept {
    AUDIOWATCH_DELETE(pointer)
}
void operator delete(void* pointer, std::align_val_t) noexcept {
    AUDIOWATCH_DELETE(pointer)
}
void operator delete[](void* pointer, std::align_val_t) noexcept {
    AUDIOWATCH_DELETE(pointer)
}
void operator delete(void* pointer, std::size_t, std::align_val_t) noexcept {
    AUDIOWATCH_DELETE(pointer)
}
void operator delete[](void* pointer, std::size_t, std::align_val_t) noexcept {
    AUDIOWATCH_DELETE(pointer)
}
void operator delete(void* pointer, std::align_val_t, const std::nothrow_t&) noexcept {
    AUDIOWATCH_DELETE(pointer)
}
void operator delete[](void* pointer, std::align_val_t, const std::nothrow_t&) noexcept {
    AUDIOWATCH_DELETE(pointer)
}

#undef AUDIOWATCH_DELETE

// Locks and waits.

#define AUDIOWATCH_FORWARD(call, name, ...)                                                                  \
    AUDIOWATCH_REAL(name);                                                                                   \
    note(call);                                                                                              \
    const Forwarding forward;                                                                                \
    return real_##name(__VA_ARGS__)

extern "C" int pthread_mutex_lock(pthread_mutex_t* mutex) noexcept {
    AUDIOWATCH_FORWARD(kMutexLock, pthread_mutex_lock, mutex);
}
extern "C" int pthread_mutex_trylock(pthread_mutex_t* mutex) noexcept {
    AUDIOWATCH_FORWARD(kMutexTryLock, pthread_mutex_trylock, mutex);
}
extern "C" int pthread_mutex_timedlock(pthread_mutex_t* mutex, const struct timespec* until) noexcept {
    AUDIOWATCH_FORWARD(kMutexLock, pthread_mutex_timedlock, mutex, until);
}
extern "C" int pthread_rwlock_rdlock(pthread_rwlock_t* lock) noexcept {
    AUDIOWATCH_FORWARD(kReadWriteLock, pthread_rwlock_rdlock, lock);
}
extern "C" int pthread_rwlock_wrlock(pthread_rwlock_t* lock) noexcept {
    AUDIOWATCH_FORWARD(kReadWriteLock, pthread_rwlock_wrlock, lock);
}
extern "C" int pthread_spin_lock(pthread_spinlock_t* lock) noexcept {
    AUDIOWATCH_FORWARD(kSpinLock, pthread_spin_lock, lock);
}
extern "C" int pthread_cond_wait(pthread_cond_t* condition, pthread_mutex_t* mutex) {
    AUDIOWATCH_FORWARD(kConditionVariable, pthread_cond_wait, condition, mutex);
}
extern "C" int pthread_cond_timedwait(pthread_cond_t* condition, pthread_mutex_t* mutex,
                                      const struct timespec* until) {
    AUDIOWATCH_FORWARD(kConditionVariable, pthread_cond_timedwait, condition, mutex, until);
}
extern "C" int pthread_cond_signal(pthread_cond_t* condition) noexcept {
    AUDIOWATCH_FORWARD(kConditionVariable, pthread_cond_signal, condition);
}
extern "C" int pthread_cond_broadcast(pthread_cond_t* condition) noexcept {
    AUDIOWATCH_FORWARD(kConditionVariable, pthread_cond_broadcast, condition);
}
extern "C" int sem_wait(sem_t* semaphore) {
    AUDIOWATCH_FORWARD(kSemaphore, sem_wait, semaphore);
}
extern "C" int sem_timedwait(sem_t* semaphore, const struct timespec* until) {
    AUDIOWATCH_FORWARD(kSemaphore, sem_timedwait, semaphore, until);
}
extern "C" int sem_post(sem_t* semaphore) noexcept {
    AUDIOWATCH_FORWARD(kSemaphore, sem_post, semaphore);
}

// System-call wrappers.

extern "C" ssize_t read(int fd, void* buffer, size_t size) {
    AUDIOWATCH_FORWARD(kRead, read, fd, buffer, size);
}
extern "C" ssize_t write(int fd, const void* buffer, size_t size) {
    AUDIOWATCH_FORWARD(kWrite, write, fd, buffer, size);
}
extern "C" int nanosleep(const struct timespec* duration, struct timespec* remaining) {
    AUDIOWATCH_FORWARD(kSleep, nanosleep, duration, remaining);
}
extern "C" int clock_nanosleep(clockid_t clock, int flags, const struct timespec* duration,
                               struct timespec* remaining) {
    AUDIOWATCH_FORWARD(kSleep, clock_nanosleep, clock, flags, duration, remaining);
}
extern "C" int usleep(useconds_t microseconds) {
    AUDIOWATCH_FORWARD(kSleep, usleep, microseconds);
}
extern "C" unsigned int sleep(unsigned int seconds) {
    AUDIOWATCH_FORWARD(kSleep, sleep, seconds);
}
extern "C" int sched_yield() noexcept {
    AUDIOWATCH_REAL(sched_yield);
    note(kYield);
    const Forwarding forward;
    return real_sched_yield();
}
extern "C" void* mmap(void* address, size_t length, int protection, int flags, int fd,
                      off_t offset) noexcept {
    AUDIOWATCH_FORWARD(kMemoryMap, mmap, address, length, protection, flags, fd, offset);
}
extern "C" int munmap(void* address, size_t length) noexcept {
    AUDIOWATCH_FORWARD(kMemoryMap, munmap, address, length);
}

// Every system call number takes at most six register arguments; the extra ones read here are simply
// not used by calls that take fewer.
extern "C" long syscall(long number, ...) noexcept {
    va_list list;
    va_start(list, number);
    long arguments[6];
    for (long& argument : arguments) {
        argument = va_arg(list, long);
    }
    va_end(list);
    AUDIOWATCH_FORWARD(kSyscall, syscall, number, arguments[0], arguments[1], arguments[2], arguments[3],
                       arguments[4], arguments[5]);
}
