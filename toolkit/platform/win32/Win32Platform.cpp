#include "Win32Platform.h"

#include "Win32Frame.h"
#include "Win32Timer.h"

#include <shellapi.h>

Win32Platform& Win32Platform::instance() {
    static Win32Platform platform;
    return platform;
}

std::unique_ptr<IPlatformFrame> Win32Platform::createFrame(IPlatformFrameCallback& frame, const CRect& size,
                                                           void* parent, VSTGUIEditorInterface* /*editor*/) {
    return std::make_unique<Win32Frame>(frame, size, parent);
}

std::unique_ptr<IPlatformTimer> Win32Platform::createTimer(IPlatformTimerCallback& timer) {
    return std::make_unique<Win32Timer>(timer);
}

void Win32Platform::openUrl(const char* url) {
    if (url != nullptr && *url != '\0') {
        ShellExecuteA(nullptr, "open", url, nullptr, nullptr, SW_SHOWNORMAL);
    }
}
