#include "Win32Timer.h"

#include <map>
#include <mutex>

namespace {

// Thread timers carry no pointer of ours: their ids lead to the timers. Editors on several threads may
// start and stop timers at once.
std::mutex guard;
std::map<UINT_PTR, Win32Timer*>& timers() {
    static std::map<UINT_PTR, Win32Timer*> byId;
    return byId;
}

} // namespace

Win32Timer::Win32Timer(IPlatformTimerCallback& timerCallback) : callback(timerCallback) {}

Win32Timer::~Win32Timer() {
    stop();
}

void Win32Timer::start(uint32_t milliseconds) {
    stop();
    // USER clamps periods below its minimum (10 ms) itself.
    id = SetTimer(nullptr, 0, milliseconds, &Win32Timer::fired);
    if (id != 0) {
        const std::lock_guard<std::mutex> lock(guard);
        timers()[id] = this;
    }
}

void Win32Timer::stop() {
    if (id == 0) {
        return;
    }
    KillTimer(nullptr, id);
    const std::lock_guard<std::mutex> lock(guard);
    timers().erase(id);
    id = 0;
}

void CALLBACK Win32Timer::fired(HWND /*window*/, UINT /*message*/, UINT_PTR id, DWORD /*time*/) {
    Win32Timer* timer = nullptr;
    {
        const std::lock_guard<std::mutex> lock(guard);
        const auto found = timers().find(id);
        if (found != timers().end()) {
            timer = found->second;
        }
    }
    // Outside the lock: a firing may start, stop or make timers.
    if (timer != nullptr) {
        timer->callback.fire();
    }
}
