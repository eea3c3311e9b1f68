// A repeating timer on X11. It fires only where its editor's open window is served (see X11Frame): on
// the window's own thread, or in the host's idle calls. A timer that no open window serves never fires,
// so a closed editor holds no thread.
#pragma once

#include "Platform.h"

#include <atomic>

class X11Timer : public IPlatformTimer {
  public:
    explicit X11Timer(IPlatformTimerCallback& callback);
    ~X11Timer() override;

    // [the owner's threads]
    void start(uint32_t milliseconds) override;
    void stop() override;

    IPlatformTimerCallback& getCallback() const { return callback; }
    uint32_t getPeriod() const { return period.load(); }
    bool isRunning() const { return running.load(); }

  private:
    IPlatformTimerCallback& callback;
    std::atomic<uint32_t> period{0};
    std::atomic<bool> running{false};
};
