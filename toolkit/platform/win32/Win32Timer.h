// A repeating timer on Windows: a thread timer (SetTimer without a window) of the thread that starts
// it, firing through that thread's message loop, normally the host's GUI thread.
#pragma once

#include "Platform.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

class Win32Timer : public IPlatformTimer {
  public:
    explicit Win32Timer(IPlatformTimerCallback& callback);
    ~Win32Timer() override;

    // [the thread that owns it]
    void start(uint32_t milliseconds) override;
    void stop() override;

  private:
    static void CALLBACK fired(HWND window, UINT message, UINT_PTR id, DWORD time);

    IPlatformTimerCallback& callback;
    UINT_PTR id = 0;
};
