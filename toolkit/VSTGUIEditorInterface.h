// What the toolkit needs of the editor that owns a frame: where gestures are reported, and which thread
// serves its window.
#pragma once

#include "ThreadIdentity.h"

#include <atomic>
#include <cstdint>

class CFrame;

class VSTGUIEditorInterface {
  public:
    virtual ~VSTGUIEditorInterface() = default;

    // [GUI thread] A gesture on the control with this tag begins or ends.
    virtual void beginEdit(int32_t /*index*/) {}
    virtual void endEdit(int32_t /*index*/) {}

    virtual CFrame* getFrame() const { return frame.load(); }

    // [any thread] Whether the caller is the thread that draws the editor's window and fires its timer:
    // the one that opened it, or a thread of the platform's own that serves the window.
    bool isGuiThread() const { return guiThread.load(std::memory_order_acquire) == currentThread(); }
    // [GUI thread] Hands the window over to another thread.
    void setGuiThread(ThreadToken thread) { guiThread.store(thread, std::memory_order_release); }

  protected:
    // The window while open. Atomic: the thread that serves the window may still read it while the host's
    // thread closes the window.
    std::atomic<CFrame*> frame{nullptr};

  private:
    std::atomic<ThreadToken> guiThread{kNoThread};
};
