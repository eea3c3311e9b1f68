// Pictures are drawn with premultiplied colour (the toolkit's pixel buffers, cairo's images) and stored
// in PNG files with straight colour. Header-only and plain, for the toolkit and the artwork program alike.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

// Straight 8-bit RGBA bytes, row after row, of `height` rows of `width` premultiplied 0xAARRGGBB pixels
// in native byte order, each row `stride` bytes after the one before. Rounded to nearest, as cairo's own
// PNG writer rounds; a fully transparent pixel becomes 0, 0, 0, 0.
inline std::vector<unsigned char> straightRgba(const void* rows, int width, int height, std::size_t stride) {
    const auto straight = [](uint32_t channel, uint32_t alpha) {
        return static_cast<unsigned char>((channel * 255 + alpha / 2) / alpha);
    };
    std::vector<unsigned char> rgba(static_cast<std::size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y) {
        const unsigned char* row = static_cast<const unsigned char*>(rows) + y * stride;
        for (int x = 0; x < width; ++x) {
            uint32_t pixel;
            std::memcpy(&pixel, row + 4 * x, sizeof pixel);
            const uint32_t alpha = pixel >> 24;
            if (alpha != 0) {
                unsigned char* out = rgba.data() + 4 * (static_cast<std::size_t>(y) * width + x);
                out[0] = straight((pixel >> 16) & 0xff, alpha);
                out[1] = straight((pixel >> 8) & 0xff, alpha);
                out[2] = straight(pixel & 0xff, alpha);
                out[3] = static_cast<unsigned char>(alpha);
            }
        }
    }
    return rgba;
}
