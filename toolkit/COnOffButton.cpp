#include "COnOffButton.h"

#include "CBitmap.h"

COnOffButton::COnOffButton(const CRect& buttonSize, CControlListener* buttonListener, int32_t buttonTag,
                           CBitmap* buttonBackground)
    : CControl(buttonSize, buttonListener, buttonTag, buttonBackground) {}

void COnOffButton::draw(CDrawContext* context) {
    if (CBitmap* picture = getBackground()) {
        picture->draw(context, size, CPoint(0, isOn() ? size.getHeight() : 0));
    }
}

CMouseEventResult COnOffButton::onMouseDown(CPoint& /*where*/, const CButtonState& buttons) {
    if (!(buttons & kLButton)) {
        return kMouseEventNotHandled;
    }
    beginEdit();
    value = isOn() ? vmin : vmax;
    invalid();
    valueChanged();
    endEdit();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}
