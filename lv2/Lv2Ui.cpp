#include "Lv2Ui.h"

#include "AEffGUIEditor.h"
#include "CFrame.h"
#include "CorvelEdit.h"
#include "Lv2Ports.h"
#include "X11Frame.h"

#include <cstring>

namespace {

// Control port of an effect parameter.
std::uint32_t portOf(VstInt32 parameter) {
    return kFirstControl + static_cast<std::uint32_t>(parameter);
}

bool isParameter(VstInt32 index) {
    return index >= 0 && index < kNumParams;
}

} // namespace

std::unique_ptr<Lv2Ui> Lv2Ui::create(const Lv2UiHost& host) {
    if (!host.sufficient()) {
        // Without a parent there is nowhere to show the editor, and without idle calls nothing would
        // ever serve its window: no events, no timer, no paint.
        return nullptr;
    }
    std::unique_ptr<Lv2Ui> ui(new Lv2Ui(host));
    if (ui->window == 0) {
        // A parent that is no window, or no display: the host had better show its own controls.
        return nullptr;
    }
    ui->requestSize();
    return ui;
}

Lv2Ui::Lv2Ui(const Lv2UiHost& offered) : host(offered), model(std::make_unique<CorvelEdit>(&modelHost)) {
    model->getAeffect()->user = this;
    editor = static_cast<AEffGUIEditor*>(model->getEditor());
    // The host's scale, where it gives one; a factor the editor does not take leaves the system's.
    if (host.scaleFactor != 0.0f) {
        editor->setContentScaleFactor(host.scaleFactor);
    }
    editor->open(host.parent);
    // The X11 platform is the only one this library links.
    if (CFrame* frame = editor->getFrame()) {
        window = static_cast<X11Frame*>(frame->getPlatformFrame())->getWindow();
    }
}

Lv2Ui::~Lv2Ui() = default;

void Lv2Ui::requestSize() {
    ERect* rect = nullptr;
    if (host.resize.ui_resize != nullptr && editor->getRect(&rect)) {
        host.resize.ui_resize(host.resize.handle, rect->right - rect->left, rect->bottom - rect->top);
    }
}

void Lv2Ui::portEvent(std::uint32_t port, std::uint32_t size, std::uint32_t format, const void* buffer) {
    if (format != 0 || size != sizeof(float) || buffer == nullptr || port < kFirstControl ||
        port >= kPortCount) {
        return;
    }
    float value = 0.0f;
    std::memcpy(&value, buffer, sizeof(value));
    model->setParameter(static_cast<VstInt32>(port - kFirstControl), value);
    // Only idle() paints: what the change left dirty shows at the next call, not a timer period later.
    if (CFrame* frame = editor->getFrame()) {
        frame->idle();
    }
}

int Lv2Ui::idle() {
    if (CFrame* frame = editor->getFrame()) {
        frame->getPlatformFrame()->hostIdle();
    }
    return 0;
}

VstIntPtr VSTCALLBACK Lv2Ui::modelHost(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr, void*,
                                       float opt) {
    // Null while the model is being made: it calls nothing then, and would get nothing.
    auto* ui = effect != nullptr ? static_cast<Lv2Ui*>(effect->user) : nullptr;
    if (ui == nullptr || !isParameter(index)) {
        return 0;
    }
    const Lv2UiHost& host = ui->host;
    switch (opcode) {
    case audioMasterAutomate:
        if (host.write != nullptr) {
            host.write(host.controller, portOf(index), sizeof(float), 0, &opt);
        }
        break;
    case audioMasterBeginEdit:
    case audioMasterEndEdit:
        if (host.touch.touch != nullptr) {
            host.touch.touch(host.touch.handle, portOf(index), opcode == audioMasterBeginEdit);
        }
        break;
    default:
        break;
    }
    return 0;
}
