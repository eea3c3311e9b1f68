// A repeating timer that notifies its target with kMsgTimer. It runs from start() to stop() or to the
// release of its last reference; setFireTime changes the period of a running timer at once.
// [GUI thread]
#pragma once

#include "CBaseObject.h"
#include "Platform.h"

#include <memory>

class CVSTGUITimer : public CBaseObject, private IPlatformTimerCallback {
  public:
    // "timer fired"; compare by identity.
    static const char* const kMsgTimer;

    CVSTGUITimer(CBaseObject* target, uint32_t fireTime = 100, bool doStart = false);
    ~CVSTGUITimer() override;

    bool start();
    bool stop();
    bool setFireTime(uint32_t newFireTime);
    uint32_t getFireTime() const { return fireTime; }
    bool isRunning() const { return running; }

  private:
    void fire() override;
    const void* timerOwner() const override;

    CBaseObject* target;
    uint32_t fireTime;
    bool running = false;
    std::unique_ptr<IPlatformTimer> platformTimer;
};
