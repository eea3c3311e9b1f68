// A momentary button: while the mouse button is held it reads 1 with the pointer inside and 0 outside;
// the listener hears only of the release, as 1 then 0 when it happens inside, as 0 alone outside.
// Without a picture it draws nothing.
// [GUI thread]
#pragma once

#include "CControl.h"

class CKickButton : public CControl {
  public:
    CKickButton(const CRect& size, CControlListener* listener, int32_t tag, CCoord heightOfOneImage,
                CBitmap* background, const CPoint& offset = CPoint(0, 0));

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;

  private:
    void showPressed(bool pressed);

    CCoord heightOfOneImage;
    CPoint offset;
};
