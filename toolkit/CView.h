// A rectangle of the window that draws itself and may take the mouse and the keyboard.
// [GUI thread]
#pragma once

#include "CBaseObject.h"
#include "CButtonState.h"
#include "CGeometry.h"
#include "VstStructures.h"

class CDrawContext;
class CFrame;

class CView : public CBaseObject {
  public:
    explicit CView(const CRect& size);

    virtual void draw(CDrawContext* /*context*/) {}

    virtual CMouseEventResult onMouseDown(CPoint& /*where*/, const CButtonState& /*buttons*/) {
        return kMouseEventNotImplemented;
    }
    virtual CMouseEventResult onMouseMoved(CPoint& /*where*/, const CButtonState& /*buttons*/) {
        return kMouseEventNotImplemented;
    }
    virtual CMouseEventResult onMouseUp(CPoint& /*where*/, const CButtonState& /*buttons*/) {
        return kMouseEventNotImplemented;
    }
    // `distance` in wheel steps; true when the view used it.
    virtual bool onWheel(const CPoint& /*where*/, const float& /*distance*/,
                         const CButtonState& /*buttons*/) {
        return false;
    }
    // 1 when the view used the key, -1 when not.
    virtual int32_t onKeyDown(VstKeyCode& /*keyCode*/) { return -1; }
    virtual int32_t onKeyUp(VstKeyCode& /*keyCode*/) { return -1; }
    // Whether a click makes this view the keyboard's target.
    virtual bool wantsFocus() const { return false; }

    // Asks the window to repaint the view now and clears the dirty mark.
    void invalid();
    void invalidRect(const CRect& rect);
    // A dirty view is repainted at the frame's next idle.
    virtual void setDirty(bool state = true) { dirty = state; }
    bool isDirty() const { return dirty; }

    void setMouseEnabled(bool state) { mouseEnabled = state; }
    bool getMouseEnabled() const { return mouseEnabled; }

    const CRect& getViewSize() const { return size; }
    CFrame* getFrame() const { return frame; }

    // Called by the container that takes the view, and when it lets it go.
    virtual void attached(CFrame* parentFrame) { frame = parentFrame; }
    virtual void removed() { frame = nullptr; }

  protected:
    CRect size;
    CFrame* frame = nullptr;

  private:
    bool dirty = false;
    bool mouseEnabled = true;
};
