// What the program reports when a picture cannot be drawn or written.
#pragma once

#include <stdexcept>

namespace artwork {

class ArtworkError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

} // namespace artwork
