// Draws into a CPixelBuffer: pictures with alpha, lines, rectangles and text, all clipped to the region
// being repainted. Coordinates are the window's; a scale factor maps them to the buffer's pixels (at 1
// they are pixels). Integer arithmetic only where pixels are mixed, so every platform draws the same
// pixels.
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
    // [GUI thread] Draws nowhere outside `pixelClip` (in the buffer's pixels), nor outside the buffer,
    // `scale` pixels per window unit (1 to 4).
    CDrawContext(CPixelBuffer& target, const CRect& pixelClip, double scale = 1.0);

    double getScale() const { return scale; }
    // In window coordinates; never beyond the clip the context was made with.
    void setClipRect(const CRect& clip);

    void setFrameColor(const CColor& color) { frameColor = color; }
    void setFillColor(const CColor& color) { fillColor = color; }
    void setFontColor(const CColor& color) { fontColor = color; }
    void setFont(CFontDesc* newFont) { font = newFont; }

    // A line in the frame colour one window unit wide, both end pixels included: a square brush of
    // round(scale) pixels, its top left corner on each pixel of the line between the ends' pixels.
    void drawLine(const CPoint& from, const CPoint& to);
    // Filled with the fill colour, and/or a frame in the frame colour along its inner edge, as wide as a
    // line.
    void drawRect(const CRect& rect, CDrawStyle style = kDrawStroked);
    // One line of text in the font colour, the font's size times the scale in pixels, centred vertically
    // in `rect` and cut off at its edges.
    void drawString(const char* text, const CRect& rect, CHoriTxtAlign align = kCenterText);
    // Pixel for pixel, the part of a premultiplied picture that begins at `source` (picture pixels) into
    // `pixelRect` (the buffer's pixels, see toPixels), source over destination.
    void drawPixels(const uint32_t* pixels, int width, int height, const CRect& pixelRect,
                    const CPoint& source, float alpha);
    // Where a rectangle of the window lies in the buffer's pixels.
    CRect toPixels(const CRect& rect) const { return scaledRect(rect, scale); }

  private:
    void blendPixel(int x, int y, uint32_t premultipliedColor);
    void fillPixels(int left, int top, int right, int bottom, uint32_t premultipliedColor);
    int brushPixels() const;

    CPixelBuffer& target;
    double scale;
    // The context's own bounds, in pixels.
    int deviceLeft = 0;
    int deviceTop = 0;
    int deviceRight = 0;
    int deviceBottom = 0;
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
