#include "CPixelBuffer.h"

#include <algorithm>

CPixelBuffer::CPixelBuffer(int w, int h)
    : width(std::max(w, 0)), height(std::max(h, 0)),
      pixels(static_cast<std::size_t>(width) * height, pixel::pack(0, 0, 0, 255)) {}
