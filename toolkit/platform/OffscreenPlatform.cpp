#include "OffscreenPlatform.h"

#include <algorithm>

class OffscreenTimer : public IPlatformTimer {
  public:
    explicit OffscreenTimer(IPlatformTimerCallback& timerCallback) : callback(timerCallback) {}
    ~OffscreenTimer() override { OffscreenPlatform::instance().forgetTimer(this); }

    void start(uint32_t milliseconds) override;
    void stop() override;

    IPlatformTimerCallback& callback;
};

struct OffscreenPlatform::TimerSlot {
    OffscreenTimer* timer;
    uint32_t period;
    uint64_t due;
};

void OffscreenTimer::start(uint32_t milliseconds) {
    OffscreenPlatform& platform = OffscreenPlatform::instance();
    const std::lock_guard<std::mutex> lock(platform.guard);
    // A period of 0 fires at every step of the clock.
    const uint32_t period = std::max<uint32_t>(milliseconds, 1);
    for (auto& slot : platform.timers) {
        if (slot.timer == this) {
            slot.period = period;
            slot.due = platform.now + period;
            return;
        }
    }
    platform.timers.push_back({this, period, platform.now + period});
}

void OffscreenTimer::stop() {
    OffscreenPlatform::instance().forgetTimer(this);
}

OffscreenFrame::OffscreenFrame(IPlatformFrameCallback& frameCallback, const CRect& size, void* parentWindow)
    : frame(frameCallback), width(pixelIndex(size.getWidth())), height(pixelIndex(size.getHeight())),
      parent(parentWindow) {}

double OffscreenFrame::systemScaleFactor() const {
    return OffscreenPlatform::instance().getSystemScaleFactor();
}

OffscreenFrame::~OffscreenFrame() {
    OffscreenPlatform::instance().forgetFrame(this);
}

void OffscreenFrame::invalidRect(const CRect& rect) {
    invalid.unite(rect);
    ++invalidCount;
}

void OffscreenFrame::setSize(int newWidth, int newHeight) {
    width = newWidth;
    height = newHeight;
}

const CPixelBuffer& OffscreenFrame::paint() {
    if (!invalid.isEmpty()) {
        frame.platformDrawRect(invalid);
    }
    invalid = CRect();
    invalidCount = 0;
    return frame.platformPixels();
}

const CPixelBuffer& OffscreenFrame::pixels() const {
    return frame.platformPixels();
}

CMouseEventResult OffscreenFrame::mouseDown(const CPoint& where, CButtonState buttons) {
    return frame.platformOnMouseDown(where, buttons);
}

CMouseEventResult OffscreenFrame::mouseMoved(const CPoint& where, CButtonState buttons) {
    return frame.platformOnMouseMoved(where, buttons);
}

CMouseEventResult OffscreenFrame::mouseUp(const CPoint& where, CButtonState buttons) {
    return frame.platformOnMouseUp(where, buttons);
}

bool OffscreenFrame::wheel(const CPoint& where, float distance, CButtonState buttons) {
    return frame.platformOnMouseWheel(where, distance, buttons);
}

bool OffscreenFrame::keyDown(VstKeyCode key) {
    return frame.platformOnKeyDown(key);
}

OffscreenPlatform& OffscreenPlatform::instance() {
    static OffscreenPlatform platform;
    return platform;
}

std::unique_ptr<IPlatformFrame> OffscreenPlatform::createFrame(IPlatformFrameCallback& frame,
                                                               const CRect& size, void* parent,
                                                               VSTGUIEditorInterface* /*editor*/) {
    auto created = std::make_unique<OffscreenFrame>(frame, size, parent);
    const std::lock_guard<std::mutex> lock(guard);
    frames.push_back(created.get());
    return created;
}

void OffscreenPlatform::setSystemScaleFactor(double factor) {
    const std::lock_guard<std::mutex> lock(guard);
    systemScale = factor;
}

double OffscreenPlatform::getSystemScaleFactor() const {
    const std::lock_guard<std::mutex> lock(guard);
    return systemScale;
}

std::unique_ptr<IPlatformTimer> OffscreenPlatform::createTimer(IPlatformTimerCallback& timer) {
    return std::make_unique<OffscreenTimer>(timer);
}

void OffscreenPlatform::openUrl(const char* url) {
    const std::lock_guard<std::mutex> lock(guard);
    openedUrls.emplace_back(url != nullptr ? url : "");
}

OffscreenFrame* OffscreenPlatform::lastFrame() const {
    const std::lock_guard<std::mutex> lock(guard);
    return frames.empty() ? nullptr : frames.back();
}

int OffscreenPlatform::frameCount() const {
    const std::lock_guard<std::mutex> lock(guard);
    return static_cast<int>(frames.size());
}

void OffscreenPlatform::forgetFrame(OffscreenFrame* frame) {
    const std::lock_guard<std::mutex> lock(guard);
    frames.erase(std::remove(frames.begin(), frames.end(), frame), frames.end());
}

void OffscreenPlatform::forgetTimer(IPlatformTimer* timer) {
    const std::lock_guard<std::mutex> lock(guard);
    timers.erase(std::remove_if(timers.begin(), timers.end(),
                                [timer](const TimerSlot& s) { return s.timer == timer; }),
                 timers.end());
}

void OffscreenPlatform::fireDue(bool everyRunningTimer) {
    {
        const std::lock_guard<std::mutex> lock(guard);
        firing.clear();
        for (auto& slot : timers) {
            if (everyRunningTimer || slot.due <= now) {
                firing.push_back(&slot.timer->callback);
                slot.due = std::max(slot.due, now) + slot.period;
            }
        }
    }
    // Outside the lock: a firing may start, stop or make timers.
    for (IPlatformTimerCallback* callback : firing) {
        callback->fire();
    }
}

void OffscreenPlatform::fireTimers() {
    fireDue(true);
}

void OffscreenPlatform::advance(uint32_t milliseconds) {
    for (uint32_t step = 0; step < milliseconds; ++step) {
        {
            const std::lock_guard<std::mutex> lock(guard);
            ++now;
        }
        fireDue(false);
    }
}

std::vector<uint32_t> OffscreenPlatform::runningTimerPeriods() const {
    const std::lock_guard<std::mutex> lock(guard);
    std::vector<uint32_t> periods;
    for (const TimerSlot& slot : timers) {
        periods.push_back(slot.period);
    }
    return periods;
}

std::vector<std::string> OffscreenPlatform::takeOpenedUrls() {
    const std::lock_guard<std::mutex> lock(guard);
    std::vector<std::string> taken;
    taken.swap(openedUrls);
    return taken;
}
