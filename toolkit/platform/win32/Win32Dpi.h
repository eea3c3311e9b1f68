// Display scale on Windows: the DPI of a window (Windows 10 1607 and later), through functions looked up
// at run time, so the DLL still loads, and draws at scale 1, where they are missing. [GUI thread]
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace win32 {

// The scale the system gives `window`, its DPI over 96: 1 for a window that is not DPI-aware (the system
// stretches it), the monitor's for a per-monitor-aware one. 0 when the system cannot say.
double windowScaleFactor(HWND window);

// While it lives, windows this thread makes take the DPI awareness of `parent`, so the editor's window
// and the host's share one DPI and neither is stretched behind the other's back. The thread's own
// awareness comes back after; the process's is never touched.
class ParentAwareness {
  public:
    explicit ParentAwareness(HWND parent);
    ~ParentAwareness();
    ParentAwareness(const ParentAwareness&) = delete;
    ParentAwareness& operator=(const ParentAwareness&) = delete;

  private:
    DPI_AWARENESS_CONTEXT previous = nullptr;
};

} // namespace win32
