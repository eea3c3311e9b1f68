// Records what controls tell their editor and listener, in order: "begin 0", "value 0 0.5", "end 0".
#pragma once

#include "CControl.h"
#include "CControlListener.h"
#include "VSTGUIEditorInterface.h"

#include <cstdio>
#include <string>
#include <vector>

class GestureLog : public VSTGUIEditorInterface, public CControlListener {
  public:
    void beginEdit(int32_t tag) override { events.push_back("begin " + std::to_string(tag)); }
    void endEdit(int32_t tag) override { events.push_back("end " + std::to_string(tag)); }
    void valueChanged(CControl* control) override {
        char text[64];
        std::snprintf(text, sizeof(text), "value %d %g", control->getTag(),
                      static_cast<double>(control->getValue()));
        events.emplace_back(text);
    }

    std::vector<std::string> take() {
        std::vector<std::string> taken;
        taken.swap(events);
        return taken;
    }

  private:
    std::vector<std::string> events;
};
