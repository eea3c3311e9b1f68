// What the toolkit needs of the editor that owns a frame: where gestures are reported.
#pragma once

#include <cstdint>

class CFrame;

class VSTGUIEditorInterface {
  public:
    virtual ~VSTGUIEditorInterface() = default;

    // [GUI thread] A gesture on the control with this tag begins or ends.
    virtual void beginEdit(int32_t /*index*/) {}
    virtual void endEdit(int32_t /*index*/) {}

    virtual CFrame* getFrame() const { return frame; }

  protected:
    CFrame* frame = nullptr;
};
