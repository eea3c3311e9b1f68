#include "X11Platform.h"

#include "DesktopOpener.h"
#include "X11Frame.h"
#include "X11Timer.h"

#include <algorithm>

X11Platform::X11Platform(Serving how) : serving(how) {}

X11Platform::~X11Platform() {
    for (auto& entry : finished) {
        entry.second.join();
    }
}

X11Platform& X11Platform::instance() {
    return static_cast<X11Platform&>(defaultPlatform());
}

std::unique_ptr<IPlatformFrame> X11Platform::createFrame(IPlatformFrameCallback& frame, const CRect& size,
                                                         void* parent, VSTGUIEditorInterface* editor) {
    return std::make_unique<X11Frame>(frame, size, parent, editor, serving == Serving::hostIdle);
}

std::unique_ptr<IPlatformTimer> X11Platform::createTimer(IPlatformTimerCallback& timer) {
    return std::make_unique<X11Timer>(timer);
}

void X11Platform::openUrl(const char* url) {
    openWithDesktop(url);
}

void X11Platform::waitForClosedWindows(const void* owner) {
    std::vector<std::thread> joining;
    {
        std::unique_lock<std::mutex> lock(guard);
        frameGone.wait(lock, [&] {
            return std::none_of(frames.begin(), frames.end(), [owner](const X11Frame* frame) {
                return frame->getOwner() == owner && frame->isClosing();
            });
        });
        for (auto entry = finished.begin(); entry != finished.end();) {
            if (entry->first == owner) {
                joining.push_back(std::move(entry->second));
                entry = finished.erase(entry);
            } else {
                ++entry;
            }
        }
    }
    for (std::thread& thread : joining) {
        thread.join();
    }
}

X11Frame* X11Platform::frameOf(const void* owner) {
    if (owner == nullptr) {
        return nullptr;
    }
    const std::lock_guard<std::mutex> lock(guard);
    const auto found = std::find_if(frames.rbegin(), frames.rend(), [owner](const X11Frame* frame) {
        return frame->getOwner() == owner && !frame->isClosing();
    });
    return found != frames.rend() ? *found : nullptr;
}

void X11Platform::timerGone(const X11Timer& timer) {
    const std::lock_guard<std::mutex> lock(guard);
    for (X11Frame* frame : frames) {
        frame->timerGone(timer);
    }
}

void X11Platform::add(X11Frame* frame) {
    const std::lock_guard<std::mutex> lock(guard);
    frames.push_back(frame);
}

void X11Platform::remove(X11Frame* frame, std::thread finishing) {
    {
        const std::lock_guard<std::mutex> lock(guard);
        frames.erase(std::remove(frames.begin(), frames.end(), frame), frames.end());
        if (finishing.joinable()) {
            finished.emplace_back(frame->getOwner(), std::move(finishing));
        }
    }
    frameGone.notify_all();
}
