#include "CTextLabel.h"

#include "CBitmap.h"

#include <cstdio>
#include <cstring>

CTextLabel::CTextLabel(const CRect& labelSize, const char* labelText, CBitmap* labelBackground)
    : CControl(labelSize, nullptr, -1, labelBackground) {
    setFont(kNormalFont);
    setText(labelText);
}

CTextLabel::~CTextLabel() {
    setFont(nullptr);
}

void CTextLabel::setText(const char* newText) {
    char cut[kMaxText];
    std::snprintf(cut, sizeof(cut), "%s", newText != nullptr ? newText : "");
    if (std::strcmp(cut, text) != 0) {
        std::memcpy(text, cut, sizeof(text));
        setDirty(true);
    }
}

void CTextLabel::setFont(CFontRef newFont) {
    exchangeReference(font, newFont);
    setDirty(true);
}

void CTextLabel::draw(CDrawContext* context) {
    if (CBitmap* picture = getBackground()) {
        picture->draw(context, size);
    } else {
        context->setFillColor(backColor);
        context->setFrameColor(frameColor);
        context->drawRect(size, kDrawFilledAndStroked);
    }
    context->setFont(font);
    context->setFontColor(fontColor);
    context->drawString(text, size, horiTxtAlign);
}
