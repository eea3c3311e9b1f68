// What an LV2 host offers the UI, read once from instantiate's arguments: where values go, the window
// to live in, and the optional services, each copied so nothing depends on the host's own storage.
#pragma once

#include <lv2/ui/ui.h>

struct Lv2UiHost {
    // [the host's UI thread] Absent or malformed features count as not offered.
    static Lv2UiHost read(LV2UI_Write_Function write, LV2UI_Controller controller,
                          const LV2_Feature* const* features);

    // Whether the host gives all the UI needs: a window to live in and idle calls to serve it.
    bool sufficient() const { return parent != nullptr && idleInterface; }

    LV2UI_Write_Function write = nullptr;
    LV2UI_Controller controller = nullptr;
    // The host's X11 window, its id carried in the pointer's value.
    void* parent = nullptr;
    bool idleInterface = false;
    LV2UI_Resize resize{};
    LV2UI_Touch touch{};
    // The host's display scale (the ui:scaleFactor option, which needs urid:map to be read); 0 for none.
    float scaleFactor = 0.0f;
};
