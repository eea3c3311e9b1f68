// The toolkit's one seam to a window system: a window showing a frame's pixels and feeding it input,
// timers, and opening a web address. The offscreen platform serves tests and headless use; the Win32
// and X11 back ends plug in behind the same interface. Which one a program gets is decided when it is
// linked (defaultPlatform).
#pragma once

#include "CButtonState.h"
#include "CGeometry.h"
#include "VstStructures.h"

#include <cstdint>
#include <functional>
#include <memory>

class CPixelBuffer;
class VSTGUIEditorInterface;

// What a window asks of the frame it shows. Positions and rectangles are the window's pixels. [GUI thread]
class IPlatformFrameCallback {
  public:
    virtual ~IPlatformFrameCallback() = default;
    // Draws `rect` into the frame's pixels, which the window then shows.
    virtual void platformDrawRect(const CRect& rect) = 0;
    virtual const CPixelBuffer& platformPixels() const = 0;
    virtual CMouseEventResult platformOnMouseDown(const CPoint& where, CButtonState buttons) = 0;
    virtual CMouseEventResult platformOnMouseMoved(const CPoint& where, CButtonState buttons) = 0;
    virtual CMouseEventResult platformOnMouseUp(const CPoint& where, CButtonState buttons) = 0;
    // `distance` in wheel steps, positive away from the user.
    virtual bool platformOnMouseWheel(const CPoint& where, float distance, CButtonState buttons) = 0;
    virtual bool platformOnKeyDown(VstKeyCode& key) = 0;
    virtual bool platformOnKeyUp(VstKeyCode& key) = 0;
    // Removes and releases every view, then releases the frame: the end of a close (see
    // IPlatformFrame::handOverClose).
    virtual void platformClose() = 0;
};

// A frame's window inside the host's, sized and addressed in pixels. Destroying it removes the window.
// [GUI thread]
class IPlatformFrame {
  public:
    virtual ~IPlatformFrame() = default;
    // `rect` must be drawn and shown again soon.
    virtual void invalidRect(const CRect& rect) = 0;
    // The window takes a new size, its top left corner staying where it is.
    virtual void setSize(int width, int height) = 0;
    // The display scale the system asks of windows like this one (the host's window's DPI over 96 on
    // Windows, Xft.dpi over 96 on X11); 0 when the system says nothing.
    virtual double systemScaleFactor() const { return 0; }

    // [a host thread that is not the window's GUI thread] Runs `job` with the window's views to itself
    // and answers true. Only a platform that serves the window on a thread of its own can: it runs the
    // job while that thread waits, and answers false without running it when the window cannot be had
    // within a moment (its thread is inside a call to the host). Elsewhere: false.
    virtual bool withWindow(const std::function<void()>& /*job*/) { return false; }
    // [the host's GUI thread] Asked as the frame closes. True: the window's own thread, inside a call to
    // the host at the moment, finishes the close itself (IPlatformFrameCallback::platformClose) as soon as
    // that call returns, so the host never waits for its own call. False: the caller closes now.
    virtual bool handOverClose() { return false; }
    // [GUI thread] For a platform whose windows the host serves from its idle calls: handles the
    // window's waiting events, fires its editor's timer when due and repaints. Nothing elsewhere.
    virtual void hostIdle() {}
};

class IPlatformTimerCallback {
  public:
    virtual ~IPlatformTimerCallback() = default;
    virtual void fire() = 0;
    // The complete object the timer notifies (null for none): a platform that serves each window on a
    // thread of its own fires the timers of the window's editor (the same object) on that thread.
    virtual const void* timerOwner() const = 0;
};

// A repeating timer. [the thread that owns it]
class IPlatformTimer {
  public:
    virtual ~IPlatformTimer() = default;
    // (Re)starts with the given period; a running timer takes the new period.
    virtual void start(uint32_t milliseconds) = 0;
    virtual void stop() = 0;
};

class IPlatform {
  public:
    virtual ~IPlatform() = default;
    // `parent` is the host's window (a window handle or an X11 window id), `size` the window's in pixels.
    // Never null: a window that cannot be made gives a frame that shows nothing.
    virtual std::unique_ptr<IPlatformFrame> createFrame(IPlatformFrameCallback& frame, const CRect& size,
                                                        void* parent, VSTGUIEditorInterface* editor) = 0;
    virtual std::unique_ptr<IPlatformTimer> createTimer(IPlatformTimerCallback& timer) = 0;
    // Opens a web address in the user's browser, without waiting and without reporting failure.
    virtual void openUrl(const char* url) = 0;
    // [GUI thread] Waits until no thread of the platform's own still runs code for `owner`'s closed
    // windows (see IPlatformFrame::handOverClose): before the editor, or what it calls, goes.
    virtual void waitForClosedWindows(const void* /*owner*/) {}
};

// The platform of this build: defined by the platform library the program links.
IPlatform& defaultPlatform();
