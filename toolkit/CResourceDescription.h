// Names a picture among the library's resources by its integer ID.
#pragma once

#include <cstdint>

class CResourceDescription {
  public:
    explicit CResourceDescription(int32_t resourceId) : id(resourceId) {}
    int32_t id;
};
