#include "CDrawContext.h"

#include "CFontDesc.h"
#include "CPixelBuffer.h"
#include "GlyphCache.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// A global alpha 0..1 as 0..255; NaN draws nothing.
uint32_t alphaByte(float alpha) {
    if (!(alpha > 0.0f)) {
        return 0;
    }
    return alpha >= 1.0f ? 255u : static_cast<uint32_t>(alpha * 255.0f + 0.5f);
}

} // namespace

CDrawContext::CDrawContext(CPixelBuffer& pixels, const CRect& clip) : target(pixels) {
    setClipRect(clip);
}

void CDrawContext::setClipRect(const CRect& clip) {
    clipRect = clip;
    clipRect.bound(CRect(0, 0, target.getWidth(), target.getHeight()));
    clipLeft = pixelIndex(clipRect.left);
    clipTop = pixelIndex(clipRect.top);
    clipRight = pixelIndex(clipRect.right);
    clipBottom = pixelIndex(clipRect.bottom);
}

void CDrawContext::blendPixel(int x, int y, uint32_t color) {
    if (x >= clipLeft && x < clipRight && y >= clipTop && y < clipBottom) {
        uint32_t& p = target.row(y)[x];
        p = pixel::over(p, color);
    }
}

void CDrawContext::fillPixels(int left, int top, int right, int bottom, uint32_t color) {
    left = std::max(left, clipLeft);
    top = std::max(top, clipTop);
    right = std::min(right, clipRight);
    bottom = std::min(bottom, clipBottom);
    const bool opaque = pixel::alpha(color) == 255;
    for (int y = top; y < bottom; ++y) {
        uint32_t* row = target.row(y);
        if (opaque) {
            std::fill(row + left, row + std::max(left, right), color);
            continue;
        }
        for (int x = left; x < right; ++x) {
            row[x] = pixel::over(row[x], color);
        }
    }
}

void CDrawContext::drawLine(const CPoint& from, const CPoint& to) {
    const uint32_t color = pixel::premultiplied(frameColor);
    // Bresenham over whole pixels: the same staircase on every platform.
    int x = pixelIndex(from.x);
    int y = pixelIndex(from.y);
    const int xEnd = pixelIndex(to.x);
    const int yEnd = pixelIndex(to.y);
    const int dx = std::abs(xEnd - x);
    const int dy = -std::abs(yEnd - y);
    const int stepX = x < xEnd ? 1 : -1;
    const int stepY = y < yEnd ? 1 : -1;
    int error = dx + dy;
    for (;;) {
        blendPixel(x, y, color);
        if (x == xEnd && y == yEnd) {
            break;
        }
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x += stepX;
        }
        if (twice <= dx) {
            error += dx;
            y += stepY;
        }
    }
}

void CDrawContext::drawRect(const CRect& rect, CDrawStyle style) {
    const int left = pixelIndex(rect.left);
    const int top = pixelIndex(rect.top);
    const int right = pixelIndex(rect.right);
    const int bottom = pixelIndex(rect.bottom);
    if (right <= left || bottom <= top) {
        return;
    }
    if (style == kDrawFilled || style == kDrawFilledAndStroked) {
        fillPixels(left, top, right, bottom, pixel::premultiplied(fillColor));
    }
    if (style == kDrawStroked || style == kDrawFilledAndStroked) {
        const uint32_t color = pixel::premultiplied(frameColor);
        fillPixels(left, top, right, top + 1, color);
        if (bottom - 1 > top) {
            fillPixels(left, bottom - 1, right, bottom, color);
        }
        fillPixels(left, top + 1, left + 1, bottom - 1, color);
        if (right - 1 > left) {
            fillPixels(right - 1, top + 1, right, bottom - 1, color);
        }
    }
}

void CDrawContext::drawString(const char* text, const CRect& rect, CHoriTxtAlign align) {
    if (text == nullptr || font == nullptr || *text == 0) {
        return;
    }
    const GlyphSet& glyphs = glyphSetFor(static_cast<float>(font->getSize()));
    float width = 0;
    for (const char* c = text; *c != 0; ++c) {
        width += glyphs.advance(*c);
    }
    float penX = static_cast<float>(rect.left);
    if (align == kCenterText) {
        penX += (static_cast<float>(rect.getWidth()) - width) / 2;
    } else if (align == kRightText) {
        penX += static_cast<float>(rect.getWidth()) - width;
    }
    const float lineHeight = glyphs.getAscent() - glyphs.getDescent();
    const int baseline = static_cast<int>(std::floor(static_cast<float>(rect.top) +
                                                     (static_cast<float>(rect.getHeight()) - lineHeight) / 2 +
                                                     glyphs.getAscent() + 0.5f));

    const CRect saved = clipRect;
    CRect textClip = rect;
    setClipRect(textClip.bound(saved));
    const uint32_t color = pixel::premultiplied(fontColor);
    for (const char* c = text; *c != 0; ++c) {
        const Glyph& g = glyphs.glyph(*c, penX);
        const int originX = static_cast<int>(std::floor(penX)) + g.left;
        const int originY = baseline + g.top;
        for (int row = 0; row < g.height; ++row) {
            for (int column = 0; column < g.width; ++column) {
                const uint32_t coverage = g.coverage[static_cast<std::size_t>(row) * g.width + column];
                if (coverage != 0) {
                    blendPixel(originX + column, originY + row, pixel::scale(color, coverage));
                }
            }
        }
        penX += glyphs.advance(*c);
    }
    setClipRect(saved);
}

void CDrawContext::drawPixels(const uint32_t* pixels, int width, int height, const CRect& rect,
                              const CPoint& offset, float alpha) {
    const uint32_t globalAlpha = alphaByte(alpha);
    if (pixels == nullptr || globalAlpha == 0) {
        return;
    }
    const int left = std::max(pixelIndex(rect.left), clipLeft);
    const int top = std::max(pixelIndex(rect.top), clipTop);
    const int right = std::min(pixelIndex(rect.right), clipRight);
    const int bottom = std::min(pixelIndex(rect.bottom), clipBottom);
    // Picture coordinate = window coordinate + shift; columns outside the picture are left alone.
    const int shiftX = pixelIndex(offset.x) - pixelIndex(rect.left);
    const int shiftY = pixelIndex(offset.y) - pixelIndex(rect.top);
    const int firstX = std::max(left, -shiftX);
    const int endX = std::min(right, width - shiftX);
    for (int y = top; y < bottom; ++y) {
        const int sourceY = y + shiftY;
        if (sourceY < 0 || sourceY >= height) {
            continue;
        }
        const uint32_t* source = pixels + static_cast<std::size_t>(sourceY) * width;
        uint32_t* destination = target.row(y);
        for (int x = firstX; x < endX; ++x) {
            uint32_t s = source[x + shiftX];
            if (globalAlpha != 255) {
                s = pixel::scale(s, globalAlpha);
            }
            const uint32_t a = pixel::alpha(s);
            if (a == 255) {
                destination[x] = s;
            } else if (s != 0) {
                destination[x] = pixel::over(destination[x], s);
            }
        }
    }
}
