#include "Lv2UiHost.h"

#include <lv2/atom/atom.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

#include <cstring>

namespace {

bool named(const LV2_Feature& feature, const char* uri) {
    return feature.URI != nullptr && std::strcmp(feature.URI, uri) == 0;
}

// The ui:scaleFactor option, a float, among the host's options; 0 when there is none.
float scaleFactorOption(const LV2_Options_Option* options, const LV2_URID_Map* map) {
    if (options == nullptr || map == nullptr || map->map == nullptr) {
        return 0.0f;
    }
    const LV2_URID key = map->map(map->handle, LV2_UI__scaleFactor);
    const LV2_URID floatType = map->map(map->handle, LV2_ATOM__Float);
    for (const LV2_Options_Option* option = options; option->key != 0; ++option) {
        if (option->key == key && option->type == floatType && option->size == sizeof(float) &&
            option->value != nullptr) {
            float factor = 0.0f;
            std::memcpy(&factor, option->value, sizeof(factor));
            return factor;
        }
    }
    return 0.0f;
}

} // namespace

Lv2UiHost Lv2UiHost::read(LV2UI_Write_Function write, LV2UI_Controller controller,
                          const LV2_Feature* const* features) {
    Lv2UiHost host;
    const LV2_Options_Option* options = nullptr;
    const LV2_URID_Map* map = nullptr;
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
        } else if (named(feature, LV2_OPTIONS__options)) {
            options = static_cast<const LV2_Options_Option*>(feature.data);
        } else if (named(feature, LV2_URID__map)) {
            map = static_cast<const LV2_URID_Map*>(feature.data);
        }
    }
    host.scaleFactor = scaleFactorOption(options, map);
    return host;
}
