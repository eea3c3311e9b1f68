// A part of a premultiplied picture laid over a rectangle of another size, by area (box) filtering: each
// destination pixel is the mean of the source area under it, every source pixel weighted by how much of
// it lies there. Smaller or larger, and by any ratio; integer arithmetic only, so every platform draws
// the same pixels. Nothing outside the part is ever read: the neighbouring images of a strip never bleed
// in. Where the part reaches outside the picture, it is transparent.
#pragma once

#include "CPixelBuffer.h"

#include <algorithm>
#include <cstdint>

class AreaFilter {
  public:
    // The part [left, right) x [top, bottom) of a `width` x `height` picture, over `destinationWidth` x
    // `destinationHeight` pixels.
    AreaFilter(const uint32_t* picture, int width, int height, int left, int top, int right, int bottom,
               int destinationWidth, int destinationHeight)
        : pixels(picture), pictureWidth(width), pictureHeight(height), x(left, right, destinationWidth),
          y(top, bottom, destinationHeight) {}

    bool isEmpty() const { return x.isEmpty() || y.isEmpty(); }

    // The destination pixel (column, row), both from 0; transparent black when nothing of the picture is
    // under it.
    uint32_t at(int column, int row) const {
        uint64_t red = 0;
        uint64_t green = 0;
        uint64_t blue = 0;
        uint64_t alpha = 0;
        const Span rows = y.span(row);
        const Span columns = x.span(column);
        for (int sourceY = std::max(rows.first, 0); sourceY <= std::min(rows.last, pictureHeight - 1);
             ++sourceY) {
            const uint64_t rowWeight = y.weight(row, sourceY);
            const uint32_t* line = pixels + static_cast<std::size_t>(sourceY) * pictureWidth;
            for (int sourceX = std::max(columns.first, 0);
                 sourceX <= std::min(columns.last, pictureWidth - 1); ++sourceX) {
                const uint64_t weight = rowWeight * x.weight(column, sourceX);
                const uint32_t p = line[sourceX];
                red += weight * pixel::red(p);
                green += weight * pixel::green(p);
                blue += weight * pixel::blue(p);
                alpha += weight * pixel::alpha(p);
            }
        }
        const uint64_t total = x.total() * y.total();
        const auto mean = [total](uint64_t sum) { return static_cast<uint32_t>((sum + total / 2) / total); };
        return pixel::pack(mean(red), mean(green), mean(blue), mean(alpha));
    }

  private:
    struct Span {
        int first; // source pixels, both included
        int last;
    };

    // One direction. Lengths are measured in units of 1 / (source length x destination length) of the
    // part: a destination pixel is `sourceLength` units long, a source pixel `destinationLength`.
    class Axis {
      public:
        Axis(int first, int end, int destinationLength)
            : start(first), sourceLength(end - first), length(destinationLength) {}
        bool isEmpty() const { return sourceLength <= 0 || length <= 0; }
        uint64_t total() const { return static_cast<uint64_t>(sourceLength); }
        Span span(int i) const {
            const int64_t from = static_cast<int64_t>(i) * sourceLength;
            const int64_t to = from + sourceLength;
            return {start + static_cast<int>(from / length), start + static_cast<int>((to - 1) / length)};
        }
        // How much of source pixel `k` (a picture coordinate) lies under destination pixel `i`.
        uint64_t weight(int i, int k) const {
            const int64_t from = static_cast<int64_t>(i) * sourceLength;
            const int64_t to = from + sourceLength;
            const int64_t pixelFrom = static_cast<int64_t>(k - start) * length;
            return static_cast<uint64_t>(std::min(to, pixelFrom + length) - std::max(from, pixelFrom));
        }

      private:
        int start;
        int sourceLength;
        int length;
    };

    const uint32_t* pixels;
    int pictureWidth;
    int pictureHeight;
    Axis x;
    Axis y;
};
