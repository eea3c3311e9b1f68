#include "Canvas.h"

#include "ArtworkError.h"
#include "PngFile.h"

namespace artwork {

Canvas::Canvas(int width, int height)
    : image(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)), cr(cairo_create(image)) {
    if (cairo_status(cr) != CAIRO_STATUS_SUCCESS) {
        const std::string reason = cairo_status_to_string(cairo_status(cr));
        cairo_destroy(cr);
        cairo_surface_destroy(image);
        throw ArtworkError("cannot make a " + std::to_string(width) + " x " + std::to_string(height) +
                           " image: " + reason);
    }
}

Canvas::~Canvas() {
    cairo_destroy(cr);
    cairo_surface_destroy(image);
}

void Canvas::writePng(const std::string& path) const {
    if (cairo_status(cr) != CAIRO_STATUS_SUCCESS) {
        throw ArtworkError("cannot draw " + path + ": " + cairo_status_to_string(cairo_status(cr)));
    }
    writeRgbaPng(image, path);
}

} // namespace artwork
