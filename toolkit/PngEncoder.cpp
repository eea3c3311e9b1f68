// stb_image_write, compiled into this file alone with static linkage.
#include "PngEncoder.h"

#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb_image_write.h>

namespace {

unsigned char unpremultiplied(uint32_t channel, uint32_t alpha) {
    return static_cast<unsigned char>(alpha == 0 ? 0 : (channel * 255 + alpha / 2) / alpha);
}

} // namespace

bool writePng(const CPixelBuffer& pixels, const std::string& path) {
    std::vector<unsigned char> rgba;
    rgba.reserve(pixels.data().size() * 4);
    for (uint32_t p : pixels.data()) {
        const uint32_t a = pixel::alpha(p);
        rgba.push_back(unpremultiplied(pixel::red(p), a));
        rgba.push_back(unpremultiplied(pixel::green(p), a));
        rgba.push_back(unpremultiplied(pixel::blue(p), a));
        rgba.push_back(static_cast<unsigned char>(a));
    }
    return stbi_write_png(path.c_str(), pixels.getWidth(), pixels.getHeight(), 4, rgba.data(),
                          pixels.getWidth() * 4) != 0;
}
