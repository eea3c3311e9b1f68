// PNG output: always 8-bit RGBA, even for an opaque picture, with no time stamp or other varying
// chunk, so that the same pixels always give the same file.
#pragma once

#include <cairo.h>

#include <string>

namespace artwork {

// Writes a finished ARGB32 image to `path`; throws ArtworkError on failure.
void writeRgbaPng(cairo_surface_t* image, const std::string& path);

} // namespace artwork
