#include "CFontDesc.h"

namespace {

// Static storage: it holds its creation reference for ever, so remember/forget pairs never delete it.
CFontDesc normalFont(12);
CFontDesc normalFontSmaller(10);

} // namespace

const CFontRef kNormalFont = &normalFont;
const CFontRef kNormalFontSmaller = &normalFontSmaller;
