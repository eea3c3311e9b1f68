#include "CAnimKnob.h"

#include "CBitmap.h"

CAnimKnob::CAnimKnob(const CRect& knobSize, CControlListener* knobListener, int32_t knobTag, int32_t pictures,
                     CCoord pictureHeight, CBitmap* knobBackground, const CPoint& knobOffset)
    : CKnob(knobSize, knobListener, knobTag, knobBackground, nullptr, knobOffset), subPixmaps(pictures),
      heightOfOneImage(pictureHeight) {}

int32_t CAnimKnob::frameIndex(float forValue) const {
    if (subPixmaps <= 1 || !(forValue > 0.0f)) {
        return 0;
    }
    if (forValue >= 1.0f) {
        return subPixmaps - 1;
    }
    return static_cast<int32_t>(forValue * static_cast<float>(subPixmaps - 1) + 0.5f);
}

void CAnimKnob::draw(CDrawContext* context) {
    if (CBitmap* strip = getBackground()) {
        const CPoint source(offset.x, offset.y + heightOfOneImage * frameIndex(value));
        strip->draw(context, size, source);
    }
}
