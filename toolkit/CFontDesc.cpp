#include "CFontDesc.h"

#include <cstdio>

CFontDesc::CFontDesc(const char* fontName, CCoord fontSize, int32_t fontStyle)
    : size(fontSize), style(fontStyle) {
    std::snprintf(name, sizeof(name), "%s", fontName != nullptr ? fontName : "");
}

namespace {

// Static storage: it holds its creation reference for ever, so remember/forget pairs never delete it.
CFontDesc normalFont("Arial", 12);
CFontDesc normalFontSmaller("Arial", 10);

} // namespace

const CFontRef kNormalFont = &normalFont;
const CFontRef kNormalFontSmaller = &normalFontSmaller;
