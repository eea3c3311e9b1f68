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
    shown->idle();
    inIdleStuff = false;
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
