// stb_image_write, compiled into this file alone with static linkage.
#include "PngEncoder.h"

#include "StraightRgba.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb_image_write.h>

bool writePng(const CPixelBuffer& pixels, const std::string& path) {
    const int width = pixels.getWidth();
    const std::vector<unsigned char> rgba =
        straightRgba(pixels.data().data(), width, pixels.getHeight(), sizeof(uint32_t) * width);
    return stbi_write_png(path.c_str(), width, pixels.getHeight(), 4, rgba.data(), width * 4) != 0;
}
