// What X11 input events mean to the toolkit: mouse buttons and modifiers from an event's button number
// and state, and key strokes from the keyboard's keysyms. [any thread]
#pragma once

#include "CButtonState.h"
#include "VstStructures.h"

#include <cstdint>
#include <vector>

#include <xcb/xcb.h>

namespace x11 {

// Buttons 4 and 5 turn the wheel away from and towards the user.
constexpr uint8_t kWheelUpButton = 4;
constexpr uint8_t kWheelDownButton = 5;

// The toolkit's flag for button 1 to 3, or 0 for any other button.
CButtonState buttonFlag(uint8_t button);
// Shift, Control and Alt held, from an event's state.
CButtonState modifiers(uint16_t state);
// The buttons held down, from an event's state.
CButtonState heldButtons(uint16_t state);

// The server's table from key codes to keysyms, read once per connection.
class Keyboard {
  public:
    // [the connection's thread] Asks the server; an empty table when it does not answer.
    explicit Keyboard(xcb_connection_t* connection);
    // A key stroke, or one with neither character nor virtual key when the toolkit has no use for it.
    VstKeyCode translate(uint8_t keycode, uint16_t state) const;

  private:
    uint8_t firstKeycode = 0;
    uint8_t keysymsPerKeycode = 0;
    std::vector<uint32_t> keysyms;
};

} // namespace x11
