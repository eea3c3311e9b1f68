#include "PngFile.h"

#include "ArtworkError.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace artwork {

namespace {

// cairo keeps colours multiplied by alpha; PNG stores them straight. Rounded as cairo's own PNG writer
// rounds.
unsigned char unpremultiply(uint32_t channel, uint32_t alpha) {
    return static_cast<unsigned char>((channel * 255 + alpha / 2) / alpha);
}

} // namespace

void writeRgbaPng(cairo_surface_t* image, const std::string& path) {
    cairo_surface_flush(image);
    const int width = cairo_image_surface_get_width(image);
    const int height = cairo_image_surface_get_height(image);
    const int stride = cairo_image_surface_get_stride(image);
    const unsigned char* data = cairo_image_surface_get_data(image);
    std::vector<unsigned char> rgba(static_cast<size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint32_t pixel;
            std::memcpy(&pixel, data + y * stride + 4 * x, sizeof pixel);
            const uint32_t alpha = pixel >> 24;
            unsigned char* out = rgba.data() + 4 * (static_cast<size_t>(y) * width + x);
            if (alpha != 0) {
                out[0] = unpremultiply((pixel >> 16) & 0xff, alpha);
                out[1] = unpremultiply((pixel >> 8) & 0xff, alpha);
                out[2] = unpremultiply(pixel & 0xff, alpha);
                out[3] = static_cast<unsigned char>(alpha);
            }
        }
    }
    if (stbi_write_png(path.c_str(), width, height, 4, rgba.data(), width * 4) == 0) {
        throw ArtworkError("cannot write " + path);
    }
}

} // namespace artwork
