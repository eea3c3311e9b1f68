// A font by its size in pixels. Every font is drawn with the one typeface the toolkit carries (Liberation
// Sans, metric-compatible with Arial) in its regular style.
#pragma once

#include "CBaseObject.h"
#include "CGeometry.h"

class CFontDesc : public CBaseObject {
  public:
    explicit CFontDesc(CCoord fontSize) : size(fontSize) {}

    CCoord getSize() const { return size; }

  private:
    CCoord size;
};

using CFontRef = CFontDesc*;

// "Arial", 12 pixels, plain: what a label draws with until told otherwise.
extern const CFontRef kNormalFont;
// "Arial", 10 pixels, plain.
extern const CFontRef kNormalFontSmaller;
