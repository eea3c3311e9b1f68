// A frame's window on Windows: a child of the host's window, painted from the frame's pixels with the
// GDI DIB functions, feeding the frame mouse, wheel and keys. Its messages come through the host's
// message loop on the thread that made it. [GUI thread]
#pragma once

#include "Platform.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

class Win32Frame : public IPlatformFrame {
  public:
    // A null or bad parent gives a frame that shows nothing.
    Win32Frame(IPlatformFrameCallback& frame, const CRect& size, void* parent);
    ~Win32Frame() override;
    Win32Frame(const Win32Frame&) = delete;
    Win32Frame& operator=(const Win32Frame&) = delete;

    void invalidRect(const CRect& rect) override;

    // The window (null for none), for tests and tools.
    HWND getWindow() const { return window; }
    // The window class's name in this build of the library.
    static const char* className();

    // The class's window procedure. [GUI thread]
    static LRESULT CALLBACK messageArrived(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  private:
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void paint();
    void mouseDown(WPARAM keyState, LPARAM position);
    void mouseUp(UINT message, WPARAM keyState, LPARAM position);

    IPlatformFrameCallback& frame;
    HWND window = nullptr;
    // A press whose release the frame still expects.
    bool tracking = false;
    // A key on its way to the host's window.
    bool forwardingKey = false;
};
