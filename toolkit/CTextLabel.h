// One line of text. Without a background picture it draws a filled box with a one-pixel frame (black on
// black by default) and the text in the font colour (white), aligned as set (centred by default).
// [GUI thread]
#pragma once

#include "CColor.h"
#include "CControl.h"
#include "CDrawContext.h"
#include "CFontDesc.h"

class CTextLabel : public CControl {
  public:
    // Texts longer than kMaxText - 1 bytes are cut.
    static constexpr int kMaxText = 64;

    CTextLabel(const CRect& size, const char* text = nullptr, CBitmap* background = nullptr);
    ~CTextLabel() override;

    // Marks the label dirty when the text differs.
    void setText(const char* newText);
    const char* getText() const { return text; }
    void setFont(CFontRef newFont);
    CFontRef getFont() const { return font; }
    void setHoriAlign(CHoriTxtAlign align) { horiTxtAlign = align; }
    void setFontColor(const CColor& color) { fontColor = color; }
    void setBackColor(const CColor& color) { backColor = color; }
    void setFrameColor(const CColor& color) { frameColor = color; }

    void draw(CDrawContext* context) override;

  private:
    char text[kMaxText] = {};
    CFontRef font = nullptr;
    CHoriTxtAlign horiTxtAlign = kCenterText;
    CColor fontColor = kWhiteCColor;
    CColor backColor = kBlackCColor;
    CColor frameColor = kBlackCColor;
};
