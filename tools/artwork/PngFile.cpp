#include "PngFile.h"

#include "ArtworkError.h"
#include "StraightRgba.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include <vector>

namespace artwork {

void writeRgbaPng(cairo_surface_t* image, const std::string& path) {
    cairo_surface_flush(image);
    const int width = cairo_image_surface_get_width(image);
    const int height = cairo_image_surface_get_height(image);
    const std::vector<unsigned char> rgba = straightRgba(cairo_image_surface_get_data(image), width, height,
                                                         cairo_image_surface_get_stride(image));
    if (stbi_write_png(path.c_str(), width, height, 4, rgba.data(), width * 4) == 0) {
        throw ArtworkError("cannot write " + path);
    }
}

} // namespace artwork
