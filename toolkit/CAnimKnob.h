// A knob shown as one of a strip of pictures stacked top to bottom: the first at the minimum, the last at
// the maximum, the nearest one in between. Behaves as CKnob otherwise.
// [GUI thread]
#pragma once

#include "CKnob.h"

class CAnimKnob : public CKnob {
  public:
    CAnimKnob(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps,
              CCoord heightOfOneImage, CBitmap* background, const CPoint& offset = CPoint(0, 0));

    void draw(CDrawContext* context) override;
    // The picture of the strip shown for a value.
    int32_t frameIndex(float forValue) const;

  private:
    int32_t subPixmaps;
    CCoord heightOfOneImage;
};
