#include "AEffGUIEditor.h"

#include "AudioEffectX.h"
#include "CFrame.h"
#include "Platform.h"

AEffGUIEditor::AEffGUIEditor(AudioEffect* owner) : AEffEditor(owner) {
    if (owner != nullptr) {
        owner->setEditor(this);
    }
}

AEffGUIEditor::~AEffGUIEditor() {
    close();
    waitForWindowThreads();
}

bool AEffGUIEditor::getRect(ERect** ppRect) {
    if (ppRect == nullptr) {
        return false;
    }
    *ppRect = &rect;
    return true;
}

bool AEffGUIEditor::open(void* ptr) {
    systemWindow = ptr;
    setGuiThread(currentThread());
    return true;
}

void AEffGUIEditor::close() {
    if (CFrame* closing = frame.exchange(nullptr)) {
        closing->close();
    }
    systemWindow = nullptr;
}

void AEffGUIEditor::waitForWindowThreads() {
    defaultPlatform().waitForClosedWindows(dynamic_cast<const void*>(this));
}

void AEffGUIEditor::idle() {
    CFrame* shown = frame.load();
    if (inIdleStuff || shown == nullptr) {
        return;
    }
    inIdleStuff = true;
    followScale(shown);
    shown->idle();
    inIdleStuff = false;
}

void AEffGUIEditor::setUnscaledSize(CCoord width, CCoord height) {
    unscaledWidth = width;
    unscaledHeight = height;
    changeScale(scaleFactor);
}

bool AEffGUIEditor::setContentScaleFactor(float factor) {
    if (!isScaleFactor(factor)) {
        return false;
    }
    hostChoseScale = true;
    changeScale(factor);
    CFrame* shown = frame.load();
    if (shown != nullptr) {
        // The window's own thread takes it up at its next timer firing if it cannot be had now.
        const auto resize = [&] { shown->setScaleFactor(factor); };
        if (isGuiThread()) {
            resize();
        } else {
            shown->getPlatformFrame()->withWindow(resize);
        }
    }
    return true;
}

void AEffGUIEditor::adoptSystemScale(CFrame* newFrame) {
    const double system = newFrame->getPlatformFrame()->systemScaleFactor();
    if (!hostChoseScale && isScaleFactor(system)) {
        changeScale(system);
    }
    newFrame->setScaleFactor(scaleFactor);
}

void AEffGUIEditor::changeScale(double factor) {
    scaleFactor = factor;
    const auto width = static_cast<VstInt16>(scaledPixel(unscaledWidth, factor));
    const auto height = static_cast<VstInt16>(scaledPixel(unscaledHeight, factor));
    const bool resized = width != rect.right - rect.left || height != rect.bottom - rect.top;
    rect.top = 0;
    rect.left = 0;
    rect.bottom = height;
    rect.right = width;
    auto* effectX = dynamic_cast<AudioEffectX*>(effect);
    char sizeWindow[] = "sizeWindow";
    if (resized && frame.load() != nullptr && effectX != nullptr && effectX->canHostDo(sizeWindow) == 1) {
        effectX->sizeWindow(width, height);
    }
}

void AEffGUIEditor::followScale(CFrame* shown) {
    // Only Windows reports a new system scale while a window is open, and there the timer fires on the
    // host's GUI thread.
    const double system = shown->getPlatformFrame()->systemScaleFactor();
    if (!hostChoseScale && isScaleFactor(system) && system != scaleFactor) {
        changeScale(system);
    }
    shown->setScaleFactor(scaleFactor);
}

bool AEffGUIEditor::onKeyDown(VstKeyCode& keyCode) {
    return keyToFrame(keyCode, true);
}

bool AEffGUIEditor::onKeyUp(VstKeyCode& keyCode) {
    return keyToFrame(keyCode, false);
}

bool AEffGUIEditor::keyToFrame(VstKeyCode& keyCode, bool down) {
    CFrame* shown = frame.load();
    if (shown == nullptr) {
        return false;
    }
    bool used = false;
    const auto offer = [&] { used = (down ? shown->onKeyDown(keyCode) : shown->onKeyUp(keyCode)) == 1; };
    if (isGuiThread()) {
        offer();
    } else {
        // The views belong to a thread of the platform's own, which may lend them; nothing else may
        // touch them from here.
        shown->getPlatformFrame()->withWindow(offer);
    }
    return used;
}

void AEffGUIEditor::beginEdit(int32_t index) {
    if (auto* effectX = dynamic_cast<AudioEffectX*>(effect)) {
        effectX->beginEdit(index);
    }
}

void AEffGUIEditor::endEdit(int32_t index) {
    if (auto* effectX = dynamic_cast<AudioEffectX*>(effect)) {
        effectX->endEdit(index);
    }
}
