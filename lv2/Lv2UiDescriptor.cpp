// The UI library's one export, lv2ui_descriptor, and the C functions of its descriptor. Every one is
// called on the host's UI thread; nothing may unwind into the host, which is C code.
#include "Lv2Ui.h"
#include "Lv2Uris.h"

#include <cstring>

namespace {

Lv2Ui* uiOf(LV2UI_Handle handle) {
    return static_cast<Lv2Ui*>(handle);
}

// [UI thread] The plug-in and bundle arguments are not needed: this UI belongs to one plug-in.
LV2UI_Handle instantiate(const LV2UI_Descriptor*, const char*, const char*, LV2UI_Write_Function write,
                         LV2UI_Controller controller, LV2UI_Widget* widget,
                         const LV2_Feature* const* features) {
    if (widget == nullptr) {
        return nullptr;
    }
    try {
        std::unique_ptr<Lv2Ui> ui = Lv2Ui::create(Lv2UiHost::read(write, controller, features));
        if (ui == nullptr) {
            return nullptr;
        }
        *widget = ui->widget();
        return ui.release();
    } catch (...) {
        return nullptr;
    }
}

// [UI thread]
void cleanup(LV2UI_Handle handle) {
    delete uiOf(handle);
}

// [UI thread]
void portEvent(LV2UI_Handle handle, uint32_t port, uint32_t size, uint32_t format, const void* buffer) {
    if (handle != nullptr) {
        uiOf(handle)->portEvent(port, size, format, buffer);
    }
}

// [UI thread]
int idle(LV2UI_Handle handle) {
    return handle != nullptr ? uiOf(handle)->idle() : 0;
}

const LV2UI_Idle_Interface kIdleInterface = {idle};

// [any thread]
const void* extensionData(const char* uri) {
    if (uri != nullptr && std::strcmp(uri, LV2_UI__idleInterface) == 0) {
        return &kIdleInterface;
    }
    return nullptr;
}

const LV2UI_Descriptor kDescriptor = {kVelmoraUiUri, instantiate, cleanup, portEvent, extensionData};

} // namespace

LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
    return index == 0 ? &kDescriptor : nullptr;
}
