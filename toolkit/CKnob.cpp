#include "CKnob.h"

#include "CBitmap.h"
#include "CColor.h"
#include "CDrawContext.h"

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
// Value 0 at the lower left, 1 at the lower right: 225 degrees down to -45 (counter-clockwise from
// the right, y up).
constexpr double kStartAngle = 1.25 * kPi;
constexpr double kRangeAngle = 1.5 * kPi;

float wheelStep(bool fine, float increment) {
    return fine ? increment * 0.1f : increment;
}

} // namespace

CKnob::CKnob(const CRect& knobSize, CControlListener* knobListener, int32_t knobTag, CBitmap* knobBackground,
             CBitmap* knobHandle, const CPoint& knobOffset)
    : CControl(knobSize, knobListener, knobTag, knobBackground), offset(knobOffset) {
    exchangeReference(handle, knobHandle);
}

CKnob::~CKnob() {
    exchangeReference(handle, static_cast<CBitmap*>(nullptr));
}

CPoint CKnob::valueToPoint(float forValue) const {
    double v = forValue;
    if (!(v >= 0.0)) {
        v = 0.0;
    } else if (v > 1.0) {
        v = 1.0;
    }
    const double angle = kStartAngle - v * kRangeAngle;
    const CPoint centre = size.getCenter();
    const double radius = std::min(size.getWidth(), size.getHeight()) / 2 - kInset;
    return CPoint(centre.x + radius * std::cos(angle), centre.y - radius * std::sin(angle));
}

void CKnob::draw(CDrawContext* context) {
    if (CBitmap* picture = getBackground()) {
        picture->draw(context, size, offset);
    }
    drawHandle(context);
}

void CKnob::drawHandle(CDrawContext* context) {
    if (handle != nullptr) {
        const CPoint tip = valueToPoint(value);
        const CCoord half = handle->getWidth() / 2;
        const CCoord halfHeight = handle->getHeight() / 2;
        handle->draw(context, CRect(tip.x - half, tip.y - halfHeight, tip.x + half, tip.y + halfHeight));
        return;
    }
    CPoint tip = valueToPoint(value);
    CPoint centre = size.getCenter();
    // A grey line, then a white one a pixel right of it and a pixel higher: a lit edge.
    context->setFrameColor(kGreyCColor);
    context->drawLine(tip, centre);
    context->setFrameColor(kWhiteCColor);
    context->drawLine(tip.offset(1, -1), centre.offset(1, -1));
}

CMouseEventResult CKnob::onMouseDown(CPoint& where, const CButtonState& buttons) {
    if (!(buttons & kLButton)) {
        return kMouseEventNotHandled;
    }
    if (buttons & kDefaultValueModifier) {
        beginEdit();
        setValue(getDefaultValue());
        valueChanged();
        if (isDirty()) {
            invalid();
        }
        endEdit();
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    }
    beginEdit();
    firstPoint = where;
    startValue = boundedValue();
    zoomHeld = (buttons & kZoomModifier) != 0;
    return kMouseEventHandled;
}

CMouseEventResult CKnob::onMouseMoved(CPoint& where, const CButtonState& buttons) {
    if (!isEditing()) {
        return kMouseEventNotHandled;
    }
    const bool zoom = (buttons & kZoomModifier) != 0;
    if (zoom != zoomHeld) {
        // The speed changes from here on, not retroactively.
        firstPoint = where;
        startValue = boundedValue();
        zoomHeld = zoom;
    }
    const float range = zoom ? kDragRange * zoomFactor : kDragRange;
    const auto distance = static_cast<float>((where.x - firstPoint.x) + (firstPoint.y - where.y));
    const float old = value;
    value = startValue + distance / range;
    bounceValue();
    if (!(value == old)) {
        valueChanged();
        invalid();
    }
    return kMouseEventHandled;
}

CMouseEventResult CKnob::onMouseUp(CPoint& /*where*/, const CButtonState& /*buttons*/) {
    if (!isEditing()) {
        return kMouseEventNotHandled;
    }
    endEdit();
    return kMouseEventHandled;
}

void CKnob::stepValue(float step) {
    if (!std::isfinite(step)) {
        return;
    }
    beginEdit();
    const float old = value;
    value += step;
    bounceValue();
    if (!(value == old)) {
        valueChanged();
        invalid();
    }
    endEdit();
}

bool CKnob::onWheel(const CPoint& /*where*/, const float& distance, const CButtonState& buttons) {
    stepValue(distance * wheelStep((buttons & kZoomModifier) != 0, wheelInc));
    return true;
}

int32_t CKnob::onKeyDown(VstKeyCode& keyCode) {
    const float step = wheelStep((keyCode.modifier & MODIFIER_SHIFT) != 0, wheelInc);
    switch (keyCode.virt) {
    case VKEY_UP:
    case VKEY_RIGHT:
        stepValue(step);
        return 1;
    case VKEY_DOWN:
    case VKEY_LEFT:
        stepValue(-step);
        return 1;
    default:
        return -1;
    }
}
