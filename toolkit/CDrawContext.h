// Draws into a CPixelBuffer: pictures with alpha, one-pixel lines, rectangles and text, all clipped to
// the region being repainted. Integer arithmetic only where pixels are mixed, so every platform draws
// the same pixels.
#pragma once

#include "CColor.h"
#include "CGeometry.h"

#include <cstdint>

class CFontDesc;
class CPixelBuffer;

enum CDrawStyle { kDrawStroked = 0, kDrawFilled, kDrawFilledAndStroked };
enum CHoriTxtAlign { kLeftText = 0, kCenterText, kRightText };

class CDrawContext {
  public:
    // [GUI thread] Draws nowhere outside `clip`, nor outside the buffer.
    CDrawContext(CPixelBuffer& target, const CRect& clip);

    void setClipRect(const CRect& clip);

    void setFrameColor(const CColor& color) { frameColor = color; }
    void setFillColor(const CColor& color) { fillColor = color; }
    void setFontColor(const CColor& color) { fontColor = color; }
    void setFont(CFontDesc* newFont) { font = newFont; }

    // A one-pixel line in the frame colour, both end pixels included.
    void drawLine(const CPoint& from, const CPoint& to);
    // Filled with the fill colour, and/or a one-pixel frame in the frame colour along its inner edge.
    void drawRect(const CRect& rect, CDrawStyle style = kDrawStroked);
    // One line of text in the font colour, centred vertically in `rect` and cut off at its edges.
    void drawString(const char* text, const CRect& rect, CHoriTxtAlign align = kCenterText);
    // The part of a premultiplied picture that begins at `offset`, into `rect`, source over destination.
    void drawPixels(const uint32_t* pixels, int width, int height, const CRect& rect, const CPoint& offset,
                    float alpha);

  private:
    void blendPixel(int x, int y, uint32_t premultipliedColor);
    void fillPixels(int left, int top, int right, int bottom, uint32_t premultipliedColor);

    CPixelBuffer& target;
    CRect clipRect;
    int clipLeft = 0;
    int clipTop = 0;
    int clipRight = 0;
    int clipBottom = 0;
    CColor frameColor = kBlackCColor;
    CColor fillColor = kWhiteCColor;
    CColor fontColor = kWhiteCColor;
    CFontDesc* font = nullptr;
};
