// A two-state button over a picture of two halves: the upper one shown at the minimum, the lower one
// from the middle of the range up. A click toggles it.
// [GUI thread]
#pragma once

#include "CControl.h"

class COnOffButton : public CControl {
  public:
    COnOffButton(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background);

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;

  private:
    bool isOn() const { return value >= (vmin + vmax) / 2; }
};
