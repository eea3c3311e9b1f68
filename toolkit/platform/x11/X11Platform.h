// The X11 platform (XCB only: errors come back per request, and nothing process-wide is ever installed
// in the host): frames are child windows of the host's window (an X11 window id carried in the pointer),
// each served by a thread of its own; the web page opens with the desktop's opener.
#pragma once

#include "Platform.h"

#include <mutex>
#include <vector>

class X11Frame;
class X11Timer;

class X11Platform : public IPlatform {
  public:
    static X11Platform& instance();

    std::unique_ptr<IPlatformFrame> createFrame(IPlatformFrameCallback& frame, const CRect& size,
                                                void* parent, VSTGUIEditorInterface* editor) override;
    std::unique_ptr<IPlatformTimer> createTimer(IPlatformTimerCallback& timer) override;
    void openUrl(const char* url) override;

    // [any thread] The newest frame of an editor, and the frame serving a timer; null for none.
    X11Frame* frameOf(const void* owner);
    X11Frame* frameServing(const X11Timer& timer);
    // [any thread] Frames register while they exist.
    void add(X11Frame* frame);
    void remove(X11Frame* frame);

  private:
    std::mutex guard;
    std::vector<X11Frame*> frames;
};
