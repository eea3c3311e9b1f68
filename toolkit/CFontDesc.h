// A font by name, size in pixels and style. Every name is drawn with the one typeface the toolkit
// carries (Liberation Sans, metric-compatible with Arial) in its regular style.
#pragma once

#include "CBaseObject.h"
#include "CGeometry.h"

#include <cstdint>

enum CTxtFace { kNormalFace = 0, kBoldFace = 1 << 1, kItalicFace = 1 << 2, kUnderlineFace = 1 << 3 };

class CFontDesc : public CBaseObject {
  public:
    CFontDesc(const char* name, CCoord size, int32_t style = kNormalFace);

    const char* getName() const { return name; }
    CCoord getSize() const { return size; }
    int32_t getStyle() const { return style; }

  private:
    char name[64];
    CCoord size;
    int32_t style;
};

using CFontRef = CFontDesc*;

// "Arial", 12 pixels, plain: what a label draws with until told otherwise.
extern const CFontRef kNormalFont;
// "Arial", 10 pixels, plain.
extern const CFontRef kNormalFontSmaller;
