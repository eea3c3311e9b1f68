#include "Lv2UiHost.h"

#include <cstring>

namespace {

bool named(const LV2_Feature& feature, const char* uri) {
    return feature.URI != nullptr && std::strcmp(feature.URI, uri) == 0;
}

} // namespace

Lv2UiHost Lv2UiHost::read(LV2UI_Write_Function write, LV2UI_Controller controller,
                          const LV2_Feature* const* features) {
    Lv2UiHost host;
    host.write = write;
    host.controller = controller;
    for (const LV2_Feature* const* entry = features; entry != nullptr && *entry != nullptr; ++entry) {
        const LV2_Feature& feature = **entry;
        if (named(feature, LV2_UI__parent)) {
            host.parent = feature.data;
        } else if (named(feature, LV2_UI__idleInterface)) {
            // The feature carries no data: offering it is the host's promise to call idle().
            host.idleInterface = true;
        } else if (named(feature, LV2_UI__resize) && feature.data != nullptr) {
            host.resize = *static_cast<const LV2UI_Resize*>(feature.data);
        } else if (named(feature, LV2_UI__touch) && feature.data != nullptr) {
            host.touch = *static_cast<const LV2UI_Touch*>(feature.data);
        }
    }
    return host;
}
