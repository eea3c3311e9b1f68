// A frame's window on X11: a child of the host's window on a display connection of its own, and ONE
// thread of its own that serves the window's events and its editor's repaint timer.
//
// The thread must not touch the toolkit while the opening thread still builds the frame, so it starts
// when the editor's timer is (re)started after the frame exists (the end of the editor's open). It stops
// and is joined when that timer is restarted or stopped from another thread (the start of close) or when
// the frame goes, whichever comes first. While it serves, it is the editor's GUI thread; whoever stops
// it becomes the GUI thread again.
#pragma once

#include "Platform.h"
#include "ThreadIdentity.h"
#include "X11Input.h"
#include "X11Surface.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include <xcb/xcb.h>

class X11Timer;

class X11Frame : public IPlatformFrame {
  public:
    // [GUI thread] Connects and makes the window. A null or bad parent, or no display, gives a frame
    // that shows nothing, silently.
    X11Frame(IPlatformFrameCallback& frame, const CRect& size, void* parent, VSTGUIEditorInterface* editor);
    ~X11Frame() override;
    X11Frame(const X11Frame&) = delete;
    X11Frame& operator=(const X11Frame&) = delete;

    // [GUI thread]
    void invalidRect(const CRect& rect) override;

    // [any thread] The complete editor object whose timer this frame serves (null for none).
    const void* getOwner() const { return owner; }
    bool serves(const X11Timer& timer) const { return servedTimer.load() == &timer; }
    // [the owner's threads] Its timer was started, stopped or is going; see the class comment.
    void timerStarted(X11Timer& timer);
    void timerStopped(X11Timer& timer);
    void timerGone(X11Timer& timer);

    // The window (0 for none), for tests and tools.
    xcb_window_t getWindow() const { return window; }
    bool isServing() const { return server.joinable(); }

  private:
    using Clock = std::chrono::steady_clock;

    bool onServingThread() const { return servingThread.load() == currentThread(); }
    void startServing(X11Timer& timer);
    void stopServing();
    void serve();
    void fireTimerIfDue();
    int millisecondsToWait() const;
    void handle(const xcb_generic_event_t& event);
    void handleButton(const xcb_button_press_event_t& event, bool pressed);
    void paint();

    IPlatformFrameCallback& frame;
    VSTGUIEditorInterface* editor;
    const void* owner;
    CRect bounds;
    xcb_connection_t* connection = nullptr;
    xcb_window_t window = 0;
    std::unique_ptr<x11::Keyboard> keyboard;
    std::unique_ptr<x11::Surface> surface;
    CRect invalid;

    std::atomic<X11Timer*> servedTimer{nullptr};
    Clock::time_point due;
    std::thread server;
    std::atomic<ThreadToken> servingThread{kNoThread};
    std::atomic<bool> stopRequested{false};
    // The serving thread's own mark, cleared when the frame goes from inside a callback.
    bool* servingAlive = nullptr;
    // Wakes the serving thread from its wait when it must stop.
    int wakeFd = -1;
};
