// A rotary knob over a background picture, with a line handle that sweeps 270 degrees clockwise from
// the lower left (minimum) through straight up to the lower right (maximum).
//
// Gestures: a linear drag where horizontal and vertical movement both count (right and up increase),
// 200 pixels covering the range, times the zoom factor while Shift is held; Control-click sets the
// default value; a wheel notch or an arrow key (after a click gave the knob the focus) steps 0.1, 0.01
// with Shift.
// [GUI thread]
#pragma once

#include "CControl.h"

class CKnob : public CControl {
  public:
    // A null `handle` draws the line handle.
    CKnob(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background, CBitmap* handle,
          const CPoint& offset = CPoint(0, 0));
    ~CKnob() override;

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) override;
    int32_t onKeyDown(VstKeyCode& keyCode) override;
    bool wantsFocus() const override { return true; }

    void setZoomFactor(float factor) { zoomFactor = factor; }
    float getZoomFactor() const { return zoomFactor; }

    // Where the handle's outer end points for a value (kept within the range for drawing).
    CPoint valueToPoint(float forValue) const;

  protected:
    void drawHandle(CDrawContext* context);
    // One step of the value from a wheel notch or a key, kept in range; tells the listener.
    void stepValue(float step);

    CPoint offset;

  private:
    // Pixels a drag must cover for the whole range.
    static constexpr float kDragRange = 200.0f;
    // From the rim inwards to the handle's outer end.
    static constexpr CCoord kInset = 3;

    CBitmap* handle = nullptr;
    float zoomFactor = 1.5f;
    CPoint firstPoint;
    float startValue = 0;
    bool zoomHeld = false;
};
