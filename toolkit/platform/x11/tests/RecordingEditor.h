// A test's editor for a bare frame: records gestures and values in order and the timer's firings, and
// whether any ran off the editor's GUI thread; idles the frame at each firing.
#pragma once

#include "CControl.h"
#include "CControlListener.h"
#include "CFrame.h"
#include "CVSTGUITimer.h"
#include "VSTGUIEditorInterface.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

// A recording editor: gestures and values in order, timer firings and on which thread they ran.
class RecordingEditor : public CBaseObject, public VSTGUIEditorInterface, public CControlListener {
  public:
    void beginEdit(int32_t tag) override { record("begin " + std::to_string(tag)); }
    void endEdit(int32_t tag) override { record("end " + std::to_string(tag)); }
    void valueChanged(CControl* control) override { record("value " + std::to_string(control->getTag())); }
    CMessageResult notify(CBaseObject* /*sender*/, const char* message) override {
        if (message != CVSTGUITimer::kMsgTimer) {
            return kMessageUnknown;
        }
        const std::lock_guard<std::mutex> lock(guard);
        ++firings;
        firedOffGuiThread = firedOffGuiThread || !isGuiThread();
        if (CFrame* shown = frame.load(); shown != nullptr && closeFromTimer) {
            frame = nullptr;
            shown->forget();
        } else if (shown != nullptr) {
            shown->idle();
        }
        changed.notify_all();
        return kMessageNotified;
    }

    void setFrame(CFrame* newFrame) { frame = newFrame; }
    bool hasFrame() {
        const std::lock_guard<std::mutex> lock(guard);
        return frame != nullptr;
    }
    // Waits (at most 2 s) for an event, and answers every event so far. With `serve`: a window that
    // only its host's idle calls serve, served every few milliseconds meanwhile.
    std::vector<std::string> waitFor(const std::string& event, const std::function<void()>& serve = {}) {
        const auto arrived = [&] { return !events.empty() && events.back() == event; };
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        std::unique_lock<std::mutex> lock(guard);
        while (!arrived() && std::chrono::steady_clock::now() < end) {
            if (serve) {
                lock.unlock();
                serve();
                lock.lock();
            }
            changed.wait_for(lock, std::chrono::milliseconds(serve ? 5 : 100));
        }
        std::vector<std::string> taken;
        taken.swap(events);
        return taken;
    }
    // Waits (at most 5 s) until the timer fired `count` times in all.
    bool waitForFirings(int count) {
        std::unique_lock<std::mutex> lock(guard);
        return changed.wait_for(lock, std::chrono::seconds(5), [&] { return firings >= count; });
    }
    int firingCount() {
        const std::lock_guard<std::mutex> lock(guard);
        return firings;
    }
    bool anyFiringOffGuiThread() {
        const std::lock_guard<std::mutex> lock(guard);
        return firedOffGuiThread;
    }
    // The next firing destroys the frame, on the window's own thread.
    std::atomic<bool> closeFromTimer{false};

  private:
    void record(std::string event) {
        const std::lock_guard<std::mutex> lock(guard);
        events.push_back(std::move(event));
        changed.notify_all();
    }

    std::mutex guard;
    std::condition_variable changed;
    std::vector<std::string> events;
    int firings = 0;
    bool firedOffGuiThread = false;
};
