// Golden pictures for tests: a rendering is compared pixel for pixel with a committed PNG. With
// VELMORA_UPDATE_GOLDEN=1 in the environment the PNG is rewritten from the rendering instead.
#pragma once

#include "CPixelBuffer.h"

#include <string>

// Empty when the picture matches (or was rewritten); otherwise what differs. A mismatching rendering is
// written beside the build as `<name>.actual.png` for a look.
std::string compareWithGolden(const CPixelBuffer& rendering, const std::string& goldenPath);
