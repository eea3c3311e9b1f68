// The one error type of velmora-render: its text is the whole message the user sees after the
// program name, so it must say what was wrong and with which argument or file.
#pragma once

#include <stdexcept>
#include <string>

namespace render {

class RenderError : public std::runtime_error {
  public:
    explicit RenderError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace render
