// A 32-bit picture in memory: one uint32_t per pixel, 0xAARRGGBB with premultiplied colour, rows top
// to bottom. On little-endian machines the bytes read B, G, R, A: what Windows DIBs and 24-bit X11
// visuals take as they are.
#pragma once

#include "CColor.h"

#include <cstdint>
#include <vector>

namespace pixel {

constexpr uint32_t pack(uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
    return (a << 24) | (r << 16) | (g << 8) | b;
}
constexpr uint32_t alpha(uint32_t p) {
    return p >> 24;
}
constexpr uint32_t red(uint32_t p) {
    return (p >> 16) & 0xFFu;
}
constexpr uint32_t green(uint32_t p) {
    return (p >> 8) & 0xFFu;
}
constexpr uint32_t blue(uint32_t p) {
    return p & 0xFFu;
}

// x / 255 rounded to nearest, exact for every x in 0..255 * 255.
constexpr uint32_t div255(uint32_t x) {
    return (x + 128 + ((x + 128) >> 8)) >> 8;
}

// A premultiplied pixel scaled by k / 255 (coverage or a global alpha).
constexpr uint32_t scale(uint32_t p, uint32_t k) {
    return pack(div255(red(p) * k), div255(green(p) * k), div255(blue(p) * k), div255(alpha(p) * k));
}

constexpr uint32_t premultiplied(const CColor& c) {
    return pack(div255(c.red * uint32_t{c.alpha}), div255(c.green * uint32_t{c.alpha}),
                div255(c.blue * uint32_t{c.alpha}), c.alpha);
}

// Source over destination, both premultiplied.
constexpr uint32_t over(uint32_t destination, uint32_t source) {
    const uint32_t inverse = 255 - alpha(source);
    return pack(red(source) + div255(red(destination) * inverse),
                green(source) + div255(green(destination) * inverse),
                blue(source) + div255(blue(destination) * inverse),
                alpha(source) + div255(alpha(destination) * inverse));
}

} // namespace pixel

class CPixelBuffer {
  public:
    // Opaque black to begin with.
    CPixelBuffer(int width, int height);

    int getWidth() const { return width; }
    int getHeight() const { return height; }
    uint32_t* row(int y) { return pixels.data() + static_cast<std::size_t>(y) * width; }
    const uint32_t* row(int y) const { return pixels.data() + static_cast<std::size_t>(y) * width; }
    uint32_t at(int x, int y) const { return row(y)[x]; }
    const std::vector<uint32_t>& data() const { return pixels; }

  private:
    int width;
    int height;
    std::vector<uint32_t> pixels;
};
