// A premultiplied ARGB image with its cairo context: what every picture is drawn into.
#pragma once

#include <cairo.h>

#include <string>

namespace artwork {

class Canvas {
  public:
    Canvas(int width, int height); // transparent; throws ArtworkError if cairo cannot make it
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    cairo_t* context() const { return cr; }
    cairo_surface_t* surface() const { return image; }

    // Writes the image as an 8-bit RGBA PNG; throws ArtworkError if drawing or writing failed.
    void writePng(const std::string& path) const;

  private:
    cairo_surface_t* image;
    cairo_t* cr;
};

} // namespace artwork
