#include "CVSTGUITimer.h"

const char* const CVSTGUITimer::kMsgTimer = "timer fired";

CVSTGUITimer::CVSTGUITimer(CBaseObject* timerTarget, uint32_t period, bool doStart)
    : target(timerTarget), fireTime(period) {
    if (doStart) {
        start();
    }
}

CVSTGUITimer::~CVSTGUITimer() {
    stop();
}

bool CVSTGUITimer::start() {
    if (!platformTimer) {
        platformTimer = defaultPlatform().createTimer(*this);
    }
    platformTimer->start(fireTime);
    running = true;
    return true;
}

bool CVSTGUITimer::stop() {
    if (platformTimer) {
        platformTimer->stop();
    }
    running = false;
    return true;
}

bool CVSTGUITimer::setFireTime(uint32_t newFireTime) {
    fireTime = newFireTime;
    if (running) {
        platformTimer->start(fireTime);
    }
    return true;
}

void CVSTGUITimer::fire() {
    if (target != nullptr) {
        target->notify(this, kMsgTimer);
    }
}

const void* CVSTGUITimer::timerOwner() const {
    return dynamic_cast<const void*>(target);
}
