// A frame's window on Windows: a child of the host's window, painted from the frame's pixels with the
// GDI DIB functions, feeding the frame mouse, wheel and keys. Its messages come through the host's
// message loop on the thread that made it. [GUI thread]
//
// Keys. Windows sends keys only to the window with the keyboard focus, so a click gives the editor the
// focus (for the arrows on the clicked knob) and the editor hands it back to the window that had it as
// soon as the pointer leaves. The host's accelerators never reach the editor: its message loop
// translates them first. See handleKey for where the other keys go.
#pragma once

#include "Platform.h"

#include <bitset>

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
    void setSize(int width, int height) override;
    // The host's window's DPI over 96, as it is now: it changes when the host moves to another monitor.
    double systemScaleFactor() const override;

    // The window (null for none), for tests and tools.
    HWND getWindow() const { return window; }
    // The window class's name in this build of the library.
    static const char* className();

    // The class's window procedure. [GUI thread]
    static LRESULT CALLBACK messageArrived(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  private:
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleKey(UINT message, WPARAM wParam, LPARAM lParam);
    void paint();
    void mouseDown(WPARAM keyState, LPARAM position);
    void mouseUp(UINT message, WPARAM keyState, LPARAM position);
    // The keyboard focus back to the window that had it before a click gave it to the editor.
    void handBackFocus();

    IPlatformFrameCallback& frame;
    HWND parentWindow = nullptr;
    HWND window = nullptr;
    // A press whose release the frame still expects.
    bool tracking = false;
    // A key on its way to the host's window.
    bool forwardingKey = false;
    // Where the keyboard focus was before a click took it; null while the editor does not hold it.
    HWND focusBefore = nullptr;
    // Keys whose press the editor kept: their release is the editor's too.
    std::bitset<256> keptKeys;
};
