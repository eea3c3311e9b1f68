// The Win32 platform: frames are child windows of the host's window (an HWND), timers are thread timers
// firing through the host's message loop, and the web page opens through the shell.
#pragma once

#include "Platform.h"

class Win32Platform : public IPlatform {
  public:
    static Win32Platform& instance();

    std::unique_ptr<IPlatformFrame> createFrame(IPlatformFrameCallback& frame, const CRect& size,
                                                void* parent, VSTGUIEditorInterface* editor) override;
    std::unique_ptr<IPlatformTimer> createTimer(IPlatformTimerCallback& timer) override;
    void openUrl(const char* url) override;
};
