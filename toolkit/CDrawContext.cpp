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

CDrawContext::CDrawContext(CPixelBuffer& pixels, const CRect& pixelClip, double pixelsPerUnit)
    : target(pixels), scale(isScaleFactor(pixelsPerUnit) ? pixelsPerUnit : 1.0) {
    deviceLeft = std::max(pixelIndex(pixelClip.left), 0);
    deviceTop = std::max(pixelIndex(pixelClip.top), 0);
    deviceRight = std::min(pixelIndex(pixelClip.right), target.getWidth());
    deviceBottom = std::min(pixelIndex(pixelClip.bottom), target.getHeight());
    setClipRect(CRect(pixelClip.left / scale, pixelClip.top / scale, pixelClip.right / scale,
                      pixelClip.bottom / scale));
}

void CDrawContext::setClipRect(const CRect& clip) {
    clipRect = clip;
    clipLeft = std::max(scaledPixel(clip.left, scale), deviceLeft);
    clipTop = std::max(scaledPixel(clip.top, scale), deviceTop);
    clipRight = std::min(scaledPixel(clip.right, scale), deviceRight);
    clipBottom = std::min(scaledPixel(clip.bottom, scale), deviceBottom);
}

int CDrawContext::brushPixels() const {
    return std::max(pixelIndex(scale), 1);
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
    const int brush = brushPixels();
    // Bresenham over whole pixels: the same staircase on every platform.
    int x = scaledPixel(from.x, scale);
    int y = scaledPixel(from.y, scale);
    const int xEnd = scaledPixel(to.x, scale);
    const int yEnd = scaledPixel(to.y, scale);
    const int dx = std::abs(xEnd - x);
    const int dy = -std::abs(yEnd - y);
    const int stepX = x < xEnd ? 1 : -1;
    const int stepY = y < yEnd ? 1 : -1;
    int error = dx + dy;
    fillPixels(x, y, x + brush, y + brush, color);
    while (x != xEnd || y != yEnd) {
        const int twice = 2 * error;
        bool movedX = false;
        bool movedY = false;
        if (twice >= dy) {
            error += dy;
            x += stepX;
            movedX = true;
        }
        if (twice <= dx) {
            error += dx;
            y += stepY;
            movedY = true;
        }
        // Only what the brush covers anew: the column and the row on its leading sides, so that each
        // pixel is blended once (the brush moves at most a pixel each way, monotonically).
        const int column = stepX > 0 ? x + brush - 1 : x;
        if (movedX) {
            fillPixels(column, y, column + 1, y + brush, color);
        }
        if (movedY) {
            const int row = stepY > 0 ? y + brush - 1 : y;
            const int left = movedX && stepX < 0 ? x + 1 : x;
            const int right = movedX && stepX > 0 ? x + brush - 1 : x + brush;
            fillPixels(left, row, right, row + 1, color);
        }
    }
}

void CDrawContext::drawRect(const CRect& rect, CDrawStyle style) {
    const int left = scaledPixel(rect.left, scale);
    const int top = scaledPixel(rect.top, scale);
    const int right = scaledPixel(rect.right, scale);
    const int bottom = scaledPixel(rect.bottom, scale);
    if (right <= left || bottom <= top) {
        return;
    }
    if (style == kDrawFilled || style == kDrawFilledAndStroked) {
        fillPixels(left, top, right, bottom, pixel::premultiplied(fillColor));
    }
    if (style == kDrawStroked || style == kDrawFilledAndStroked) {
        // Four bands that never overlap, so a translucent frame is blended once everywhere.
        const uint32_t color = pixel::premultiplied(frameColor);
        const int band = brushPixels();
        const int innerTop = std::min(top + band, bottom);
        const int innerBottom = std::max(bottom - band, innerTop);
        fillPixels(left, top, right, innerTop, color);
        fillPixels(left, innerBottom, right, bottom, color);
        const int innerLeft = std::min(left + band, right);
        fillPixels(left, innerTop, innerLeft, innerBottom, color);
        fillPixels(std::max(right - band, innerLeft), innerTop, right, innerBottom, color);
    }
}

void CDrawContext::drawString(const char* text, const CRect& rect, CHoriTxtAlign align) {
    if (text == nullptr || font == nullptr || *text == 0) {
        return;
    }
    // Laid out in pixels, with the glyphs of the scaled size.
    const GlyphSet& glyphs = glyphSetFor(static_cast<float>(font->getSize() * scale));
    float width = 0;
    for (const char* c = text; *c != 0; ++c) {
        width += glyphs.advance(*c);
    }
    const auto boxWidth = static_cast<float>(rect.getWidth() * scale);
    const auto boxHeight = static_cast<float>(rect.getHeight() * scale);
    float penX = static_cast<float>(rect.left * scale);
    if (align == kCenterText) {
        penX += (boxWidth - width) / 2;
    } else if (align == kRightText) {
        penX += boxWidth - width;
    }
    const float lineHeight = glyphs.getAscent() - glyphs.getDescent();
    const int baseline = static_cast<int>(std::floor(
        static_cast<float>(rect.top * scale) + (boxHeight - lineHeight) / 2 + glyphs.getAscent() + 0.5f));

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

void CDrawContext::drawPixels(const uint32_t* pixels, int width, int height, const CRect& pixelRect,
                              const CPoint& source, float alpha) {
    const uint32_t globalAlpha = alphaByte(alpha);
    if (pixels == nullptr || globalAlpha == 0) {
        return;
    }
    const int left = std::max(pixelIndex(pixelRect.left), clipLeft);
    const int top = std::max(pixelIndex(pixelRect.top), clipTop);
    const int right = std::min(pixelIndex(pixelRect.right), clipRight);
    const int bottom = std::min(pixelIndex(pixelRect.bottom), clipBottom);
    // Picture coordinate = buffer coordinate + shift; columns outside the picture are left alone.
    const int shiftX = pixelIndex(source.x) - pixelIndex(pixelRect.left);
    const int shiftY = pixelIndex(source.y) - pixelIndex(pixelRect.top);
    const int firstX = std::max(left, -shiftX);
    const int endX = std::min(right, width - shiftX);
    for (int y = top; y < bottom; ++y) {
        const int sourceY = y + shiftY;
        if (sourceY < 0 || sourceY >= height) {
            continue;
        }
        const uint32_t* sourceRow = pixels + static_cast<std::size_t>(sourceY) * width;
        uint32_t* destination = target.row(y);
        for (int x = firstX; x < endX; ++x) {
            uint32_t s = sourceRow[x + shiftX];
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
