#include "Win32Dpi.h"

namespace win32 {

namespace {

constexpr double kUnscaledDpi = 96.0;

struct DpiFunctions {
    UINT(WINAPI* dpiForWindow)(HWND) = nullptr;
    DPI_AWARENESS_CONTEXT(WINAPI* windowAwareness)(HWND) = nullptr;
    DPI_AWARENESS_CONTEXT(WINAPI* setThreadAwareness)(DPI_AWARENESS_CONTEXT) = nullptr;
};

template <typename Function> void find(HMODULE module, const char* name, Function& function) {
    // Through void*: GetProcAddress's own type is a function of no arguments.
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

const DpiFunctions& dpiFunctions() {
    static const DpiFunctions functions = [] {
        DpiFunctions found;
        // The DLL imports user32 itself: it is loaded for as long as we are.
        if (const HMODULE user32 = GetModuleHandleA("user32.dll")) {
            find(user32, "GetDpiForWindow", found.dpiForWindow);
            find(user32, "GetWindowDpiAwarenessContext", found.windowAwareness);
            find(user32, "SetThreadDpiAwarenessContext", found.setThreadAwareness);
        }
        return found;
    }();
    return functions;
}

} // namespace

double windowScaleFactor(HWND window) {
    const DpiFunctions& functions = dpiFunctions();
    const UINT dpi = functions.dpiForWindow != nullptr ? functions.dpiForWindow(window) : 0;
    return dpi / kUnscaledDpi;
}

ParentAwareness::ParentAwareness(HWND parent) {
    const DpiFunctions& functions = dpiFunctions();
    if (functions.windowAwareness == nullptr || functions.setThreadAwareness == nullptr) {
        return;
    }
    if (const DPI_AWARENESS_CONTEXT awareness = functions.windowAwareness(parent)) {
        previous = functions.setThreadAwareness(awareness);
    }
}

ParentAwareness::~ParentAwareness() {
    if (previous != nullptr) {
        dpiFunctions().setThreadAwareness(previous);
    }
}

} // namespace win32
