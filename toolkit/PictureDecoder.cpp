// PNG reading with stb_image, compiled into this file alone (static functions, PNG only, no file I/O), so
// no symbol of it can meet another copy in the host's process.
#include "CPixelBuffer.h"
#include "PictureStore.h"

#include <climits>

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#include <stb_image.h>

namespace {

bool usable(const ResourceBytes& png) {
    return png.data != nullptr && png.size > 0 && png.size <= static_cast<std::size_t>(INT_MAX);
}

} // namespace

bool readPictureSize(const ResourceBytes& png, int& width, int& height) {
    int components = 0;
    if (!usable(png) ||
        stbi_info_from_memory(png.data, static_cast<int>(png.size), &width, &height, &components) == 0) {
        width = 0;
        height = 0;
        return false;
    }
    return width > 0 && height > 0;
}

std::vector<uint32_t> decodePicture(const ResourceBytes& png, int width, int height) {
    std::vector<uint32_t> pixels;
    if (!usable(png)) {
        return pixels;
    }
    int w = 0;
    int h = 0;
    int components = 0;
    stbi_uc* rgba = stbi_load_from_memory(png.data, static_cast<int>(png.size), &w, &h, &components, 4);
    if (rgba == nullptr) {
        return pixels;
    }
    if (w == width && h == height) {
        pixels.resize(static_cast<std::size_t>(w) * h);
        for (std::size_t i = 0; i < pixels.size(); ++i) {
            const stbi_uc* p = rgba + 4 * i;
            pixels[i] = pixel::premultiplied(CColor{p[0], p[1], p[2], p[3]});
        }
    }
    stbi_image_free(rgba);
    return pixels;
}
