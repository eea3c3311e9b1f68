// Points and rectangles in window coordinates (pixels at scale 1), origin at the top left, y growing
// downwards.
#pragma once

#include <algorithm>
#include <cmath>

using CCoord = double;

struct CPoint {
    CCoord x = 0;
    CCoord y = 0;

    CPoint() = default;
    CPoint(CCoord px, CCoord py) : x(px), y(py) {}
    CPoint& offset(CCoord dx, CCoord dy) {
        x += dx;
        y += dy;
        return *this;
    }
    bool operator==(const CPoint& other) const { return x == other.x && y == other.y; }
    bool operator!=(const CPoint& other) const { return !(*this == other); }
};

struct CRect {
    CCoord left = 0;
    CCoord top = 0;
    CCoord right = 0;
    CCoord bottom = 0;

    CRect() = default;
    CRect(CCoord l, CCoord t, CCoord r, CCoord b) : left(l), top(t), right(r), bottom(b) {}

    CCoord getWidth() const { return right - left; }
    CCoord getHeight() const { return bottom - top; }
    CPoint getCenter() const { return CPoint(left + getWidth() / 2, top + getHeight() / 2); }
    bool isEmpty() const { return !(right > left && bottom > top); }

    CRect& offset(CCoord dx, CCoord dy) {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
        return *this;
    }
    // Half-open: the right and bottom edges are outside.
    bool pointInside(const CPoint& p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    // Shrinks to the intersection with `other` (empty when they do not overlap).
    CRect& bound(const CRect& other) {
        left = std::max(left, other.left);
        top = std::max(top, other.top);
        right = std::max(left, std::min(right, other.right));
        bottom = std::max(top, std::min(bottom, other.bottom));
        return *this;
    }
    // Grows to the smallest rectangle holding both; an empty rectangle adds nothing.
    CRect& unite(const CRect& other) {
        if (other.isEmpty()) {
            return *this;
        }
        if (isEmpty()) {
            return *this = other;
        }
        left = std::min(left, other.left);
        top = std::min(top, other.top);
        right = std::max(right, other.right);
        bottom = std::max(bottom, other.bottom);
        return *this;
    }
    bool operator==(const CRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const CRect& o) const { return !(*this == o); }
};

// The pixel a coordinate falls on, rounding halves up, the same way on every platform. Coordinates far
// outside any window (and NaN) land far outside it too, never in undefined conversions.
inline int pixelIndex(CCoord v) {
    constexpr CCoord kFar = 1 << 20;
    if (!(v > -kFar)) {
        return -(1 << 20);
    }
    if (v > kFar) {
        return 1 << 20;
    }
    return static_cast<int>(std::floor(v + 0.5));
}

// Display scale: a window coordinate times the scale factor is a pixel coordinate. Windows are drawn at
// factors from 1 to 4.
constexpr double kMinScaleFactor = 1.0;
constexpr double kMaxScaleFactor = 4.0;

// False for anything else, NaN and infinities included.
inline bool isScaleFactor(double factor) {
    return factor >= kMinScaleFactor && factor <= kMaxScaleFactor;
}

// The pixel a window coordinate falls on at a scale; at scale 1 the coordinate's own pixel.
inline int scaledPixel(CCoord v, double factor) {
    return pixelIndex(v * factor);
}

// A rectangle of the window in pixels: its edges on the pixels they fall on.
inline CRect scaledRect(const CRect& rect, double factor) {
    return CRect(scaledPixel(rect.left, factor), scaledPixel(rect.top, factor),
                 scaledPixel(rect.right, factor), scaledPixel(rect.bottom, factor));
}
