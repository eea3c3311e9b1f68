// A platform without a window system: frames draw into their pixels only when asked, input is injected
// as events, timers fire when told. What tests, tools and headless builds use.
#pragma once

#include "Platform.h"

#include <mutex>
#include <string>
#include <vector>

class OffscreenFrame : public IPlatformFrame {
  public:
    OffscreenFrame(IPlatformFrameCallback& frame, const CRect& size, void* parent);
    ~OffscreenFrame() override;

    void invalidRect(const CRect& rect) override;
    void setSize(int width, int height) override;
    // What OffscreenPlatform::setSystemScaleFactor set last, as a window moved between monitors reads.
    double systemScaleFactor() const override;
    // The window's size in pixels.
    int getWidth() const { return width; }
    int getHeight() const { return height; }
    // What was invalidated since the last paint: its bounding rectangle and how many requests.
    const CRect& getInvalidRect() const { return invalid; }
    int getInvalidCount() const { return invalidCount; }
    // Draws what was invalidated, as a window's paint would, and answers the pixels.
    const CPixelBuffer& paint();
    const CPixelBuffer& pixels() const;
    void* getParent() const { return parent; }

    // Input, as a window system delivers it.
    CMouseEventResult mouseDown(const CPoint& where, CButtonState buttons);
    CMouseEventResult mouseMoved(const CPoint& where, CButtonState buttons);
    CMouseEventResult mouseUp(const CPoint& where, CButtonState buttons);
    bool wheel(const CPoint& where, float distance, CButtonState buttons = 0);
    bool keyDown(VstKeyCode key);

  private:
    IPlatformFrameCallback& frame;
    int width;
    int height;
    void* parent;
    CRect invalid;
    int invalidCount = 0;
};

class OffscreenPlatform : public IPlatform {
  public:
    static OffscreenPlatform& instance();

    std::unique_ptr<IPlatformFrame> createFrame(IPlatformFrameCallback& frame, const CRect& size,
                                                void* parent, VSTGUIEditorInterface* editor) override;
    std::unique_ptr<IPlatformTimer> createTimer(IPlatformTimerCallback& timer) override;
    void openUrl(const char* url) override;

    // The newest frame that still exists, or null; and how many exist.
    OffscreenFrame* lastFrame() const;
    int frameCount() const;
    // Fires every running timer once. Timers fire on the calling thread; none may be destroyed on
    // another thread meanwhile.
    void fireTimers();
    // Moves a clock on and fires each running timer as often as its period falls due meanwhile.
    void advance(uint32_t milliseconds);
    // The periods of the running timers, oldest first.
    std::vector<uint32_t> runningTimerPeriods() const;
    // The addresses opened since the last call.
    std::vector<std::string> takeOpenedUrls();
    // What the system's display scale reads from now on (0 at the start: it says nothing).
    void setSystemScaleFactor(double factor);
    double getSystemScaleFactor() const;

  private:
    friend class OffscreenFrame;
    friend class OffscreenTimer;
    struct TimerSlot;

    void forgetFrame(OffscreenFrame* frame);
    void forgetTimer(IPlatformTimer* timer);
    void fireDue(bool everyRunningTimer);

    mutable std::mutex guard;
    std::vector<OffscreenFrame*> frames;
    std::vector<TimerSlot> timers;
    std::vector<IPlatformTimerCallback*> firing;
    std::vector<std::string> openedUrls;
    uint64_t now = 0;
    double systemScale = 0;
};
