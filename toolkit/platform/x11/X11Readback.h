// What an X server shows in a window, read back: for the window host's screenshots and the tests of real
// windows (the plug-in never reads its window back). [any thread, on a connection it alone uses]
#pragma once

#include "CPixelBuffer.h"

#include <xcb/xcb.h>

namespace x11 {

// Fills `picture` with the window's pixels from its top left corner, as many as `picture` holds, taken
// as 32-bit BGRX (what the back end shows) and made opaque; false, with `picture` unchanged, when the
// server sends fewer (no such window, one not mapped, or smaller).
bool readWindowPixels(xcb_connection_t* connection, xcb_window_t window, CPixelBuffer& picture);

} // namespace x11
