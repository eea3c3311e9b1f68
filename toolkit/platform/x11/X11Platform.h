// The X11 platform (XCB only: errors come back per request, and nothing process-wide is ever installed
// in the host): frames are child windows of the host's window (an X11 window id carried in the pointer),
// served each by a thread of its own, or by the host's idle calls where the plug-in interface wants every
// call on the host's GUI thread; the web page opens with the desktop's opener.
#pragma once

#include "Platform.h"

#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

class X11Frame;
class X11Timer;

class X11Platform : public IPlatform {
  public:
    enum class Serving { ownThread, hostIdle };

    explicit X11Platform(Serving serving);
    // Joins the threads that finished closing windows: none runs the library's code after unloading.
    ~X11Platform() override;
    X11Platform(const X11Platform&) = delete;
    X11Platform& operator=(const X11Platform&) = delete;

    // The platform the program or library was linked with.
    static X11Platform& instance();

    std::unique_ptr<IPlatformFrame> createFrame(IPlatformFrameCallback& frame, const CRect& size,
                                                void* parent, VSTGUIEditorInterface* editor) override;
    std::unique_ptr<IPlatformTimer> createTimer(IPlatformTimerCallback& timer) override;
    void openUrl(const char* url) override;
    void waitForClosedWindows(const void* owner) override;

    // [any thread] The newest frame of an editor; null for none.
    X11Frame* frameOf(const void* owner);
    // [any thread] A timer is going: no frame may fire it again.
    void timerGone(const X11Timer& timer);
    // [any thread] Frames register while they exist; one that goes from its own serving thread leaves
    // that thread here, to be joined.
    void add(X11Frame* frame);
    void remove(X11Frame* frame, std::thread finishing);

  private:
    const Serving serving;
    std::mutex guard;
    std::condition_variable frameGone;
    std::vector<X11Frame*> frames;
    std::vector<std::pair<const void*, std::thread>> finished;
};
