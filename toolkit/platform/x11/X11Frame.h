// A frame's window on X11: a child of the host's window on a display connection of its own, served
// either by ONE thread of its own (a VST 2.4 host: it may never send idle calls) or by the host's idle
// calls on its GUI thread (hosts whose plug-in interface asks for that, see X11Platform).
//
// The serving thread must not touch the toolkit while the opening thread still builds the frame, so it
// starts when the editor's timer is (re)started after the frame exists (the end of the editor's open),
// and then it is the editor's GUI thread. It holds the window's lock while it runs toolkit code. A host
// thread gets the window through that lock (withWindow, a close), never waiting long: a gesture may
// call the host, and a host may be waiting for that very thread. A close that cannot have the window
// at once hands the rest of the close to the serving thread, which finishes it when its call returns.
//
// Keys. The editor never takes the X input focus from the host. Key events the server delivers to its
// window (the pointer is over it) or that a host sends it are offered to the focused control; see
// handleKey for where the others go.
#pragma once

#include "Platform.h"
#include "ThreadIdentity.h"
#include "X11Input.h"
#include "X11Surface.h"

#include <atomic>
#include <bitset>
#include <chrono>
#include <memory>
#include <mutex>
#include <thread>

#include <xcb/xcb.h>

class X11Timer;

class X11Frame : public IPlatformFrame {
  public:
    // [GUI thread] Connects and makes the window. A null or bad parent, or no display, gives a frame
    // that shows nothing, silently.
    X11Frame(IPlatformFrameCallback& frame, const CRect& size, void* parent, VSTGUIEditorInterface* editor,
             bool servedByHost);
    ~X11Frame() override;
    X11Frame(const X11Frame&) = delete;
    X11Frame& operator=(const X11Frame&) = delete;

    // [GUI thread]
    void invalidRect(const CRect& rect) override;
    void setSize(int width, int height) override;
    // Xft.dpi as the root window's resources gave it when the window was made.
    double systemScaleFactor() const override { return systemScale; }
    void hostIdle() override;
    // [the host's GUI thread]
    bool withWindow(const std::function<void()>& job) override;
    bool handOverClose() override;

    // [any thread] The complete editor object whose timer this frame serves (null for none).
    const void* getOwner() const { return owner; }
    // Whether the serving thread still has a close to finish.
    bool isClosing() const { return closeHandedOver.load(); }
    // [the owner's threads] Its timer was (re)started, or is going.
    void timerStarted(X11Timer& timer);
    void timerGone(const X11Timer& timer);

    // The window (0 for none), for the LV2 UI (its widget), tests and tools.
    xcb_window_t getWindow() const { return window; }
    bool isServing() const { return server.joinable(); }

  private:
    using Clock = std::chrono::steady_clock;

    bool onServingThread() const { return servingThread.load() == currentThread(); }
    void startServing();
    // [not the serving thread] Stops the serving thread and takes the GUI thread's role back.
    void stopServing();
    void serve();
    // One round: waiting events, the timer when due, the repaint. Answers how long until the next round
    // is due (-1: only when something happens). [the thread serving the window, with the window's lock]
    int serveOnce(const bool& alive);
    void fireTimerIfDue();
    void handle(const xcb_generic_event_t& event);
    void handleButton(const xcb_button_press_event_t& event, bool pressed);
    void handleKey(const xcb_key_press_event_t& event, bool pressed);
    void forwardToHost(xcb_key_press_event_t event);
    void paint();

    IPlatformFrameCallback& frame;
    VSTGUIEditorInterface* editor;
    const void* owner;
    const bool servedByHost;
    CRect bounds;
    double systemScale = 0;
    xcb_connection_t* connection = nullptr;
    const xcb_screen_t* screen = nullptr;
    xcb_window_t parentWindow = 0;
    xcb_window_t window = 0;
    std::unique_ptr<x11::Keyboard> keyboard;
    std::unique_ptr<x11::Surface> surface;
    CRect invalid;
    // Keys whose press the editor kept: their release is the editor's too.
    std::bitset<256> keptKeys;

    std::atomic<const X11Timer*> servedTimer{nullptr};
    // Set by whoever (re)starts the timer; the serving thread takes the new period from the next round.
    std::atomic<bool> timerChanged{false};
    Clock::time_point due;

    // Shared with the serving thread, which may outlive the frame by the return from its last callback.
    std::shared_ptr<std::mutex> windowLock = std::make_shared<std::mutex>();
    std::thread server;
    std::atomic<ThreadToken> servingThread{kNoThread};
    std::atomic<bool> stopRequested{false};
    std::atomic<bool> closeHandedOver{false};
    // The running round's own mark, cleared when the frame goes from inside one of its callbacks.
    bool* servingAlive = nullptr;
    // Wakes the serving thread from its wait.
    int wakeFd = -1;
};
