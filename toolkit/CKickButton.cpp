#include "CKickButton.h"

#include "CBitmap.h"

CKickButton::CKickButton(const CRect& buttonSize, CControlListener* buttonListener, int32_t buttonTag,
                         CCoord pictureHeight, CBitmap* buttonBackground, const CPoint& pictureOffset)
    : CControl(buttonSize, buttonListener, buttonTag, buttonBackground), heightOfOneImage(pictureHeight),
      offset(pictureOffset) {}

void CKickButton::draw(CDrawContext* context) {
    if (CBitmap* picture = getBackground()) {
        const bool pressed = value >= (vmin + vmax) / 2;
        picture->draw(context, size, CPoint(offset.x, offset.y + (pressed ? heightOfOneImage : 0)));
    }
}

void CKickButton::showPressed(bool pressed) {
    const float shown = pressed ? vmax : vmin;
    if (!(value == shown)) {
        value = shown;
        invalid();
    }
}

CMouseEventResult CKickButton::onMouseDown(CPoint& /*where*/, const CButtonState& buttons) {
    if (!(buttons & kLButton)) {
        return kMouseEventNotHandled;
    }
    beginEdit();
    showPressed(true);
    return kMouseEventHandled;
}

CMouseEventResult CKickButton::onMouseMoved(CPoint& where, const CButtonState& /*buttons*/) {
    if (!isEditing()) {
        return kMouseEventNotHandled;
    }
    showPressed(size.pointInside(where));
    return kMouseEventHandled;
}

CMouseEventResult CKickButton::onMouseUp(CPoint& where, const CButtonState& /*buttons*/) {
    if (!isEditing()) {
        return kMouseEventNotHandled;
    }
    if (size.pointInside(where)) {
        value = vmax;
        valueChanged();
    }
    value = vmin;
    valueChanged();
    invalid();
    endEdit();
    return kMouseEventHandled;
}
