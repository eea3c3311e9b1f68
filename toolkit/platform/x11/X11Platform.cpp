#include "X11Platform.h"

#include "DesktopOpener.h"
#include "X11Frame.h"
#include "X11Timer.h"

#include <algorithm>

X11Platform& X11Platform::instance() {
    static X11Platform platform;
    return platform;
}

std::unique_ptr<IPlatformFrame> X11Platform::createFrame(IPlatformFrameCallback& frame, const CRect& size,
                                                         void* parent, VSTGUIEditorInterface* editor) {
    return std::make_unique<X11Frame>(frame, size, parent, editor);
}

std::unique_ptr<IPlatformTimer> X11Platform::createTimer(IPlatformTimerCallback& timer) {
    return std::make_unique<X11Timer>(timer);
}

void X11Platform::openUrl(const char* url) {
    openWithDesktop(url);
}

X11Frame* X11Platform::frameOf(const void* owner) {
    if (owner == nullptr) {
        return nullptr;
    }
    const std::lock_guard<std::mutex> lock(guard);
    const auto found = std::find_if(frames.rbegin(), frames.rend(),
                                    [owner](const X11Frame* frame) { return frame->getOwner() == owner; });
    return found != frames.rend() ? *found : nullptr;
}

X11Frame* X11Platform::frameServing(const X11Timer& timer) {
    const std::lock_guard<std::mutex> lock(guard);
    const auto found = std::find_if(frames.begin(), frames.end(),
                                    [&timer](const X11Frame* frame) { return frame->serves(timer); });
    return found != frames.end() ? *found : nullptr;
}

void X11Platform::add(X11Frame* frame) {
    const std::lock_guard<std::mutex> lock(guard);
    frames.push_back(frame);
}

void X11Platform::remove(X11Frame* frame) {
    const std::lock_guard<std::mutex> lock(guard);
    frames.erase(std::remove(frames.begin(), frames.end(), frame), frames.end());
}
