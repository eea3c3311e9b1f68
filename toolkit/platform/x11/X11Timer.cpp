#include "X11Timer.h"

#include "X11Frame.h"
#include "X11Platform.h"

X11Timer::X11Timer(IPlatformTimerCallback& timerCallback) : callback(timerCallback) {}

X11Timer::~X11Timer() {
    running = false;
    X11Platform::instance().timerGone(*this);
}

void X11Timer::start(uint32_t milliseconds) {
    period = milliseconds;
    running = true;
    if (X11Frame* frame = X11Platform::instance().frameOf(callback.timerOwner())) {
        frame->timerStarted(*this);
    }
}

void X11Timer::stop() {
    running = false;
}
