#include "AEffGUIEditor.h"

#include "AudioEffectX.h"
#include "CFrame.h"

AEffGUIEditor::AEffGUIEditor(AudioEffect* owner) : AEffEditor(owner) {
    if (owner != nullptr) {
        owner->setEditor(this);
    }
}

AEffGUIEditor::~AEffGUIEditor() {
    if (frame != nullptr) {
        frame->forget();
        frame = nullptr;
    }
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
    if (frame != nullptr) {
        frame->forget();
        frame = nullptr;
    }
    systemWindow = nullptr;
}

void AEffGUIEditor::idle() {
    if (inIdleStuff || frame == nullptr) {
        return;
    }
    inIdleStuff = true;
    frame->idle();
    inIdleStuff = false;
}

bool AEffGUIEditor::onKeyDown(VstKeyCode& keyCode) {
    // A host thread other than the window's may not touch the controls; such a window gets its keys
    // from the window system itself.
    return isGuiThread() && frame != nullptr && frame->onKeyDown(keyCode) == 1;
}

bool AEffGUIEditor::onKeyUp(VstKeyCode& keyCode) {
    return isGuiThread() && frame != nullptr && frame->onKeyUp(keyCode) == 1;
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
