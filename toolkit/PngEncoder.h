// Pictures out: a pixel buffer as a PNG file, for tools and tests (the plug-in itself writes no files).
#pragma once

#include "CPixelBuffer.h"

#include <string>

// Writes the pixels (straight RGBA, premultiplication undone) to `path`; false on failure.
bool writePng(const CPixelBuffer& pixels, const std::string& path);
