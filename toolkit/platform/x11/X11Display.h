// The editor's own connection to the display that $DISPLAY names. [GUI thread]
#pragma once

#include <xcb/xcb.h>

namespace x11 {

// A new connection, or null when there is no display to reach: never blocking the host for long. A
// display on another machine is asked first, within a bounded time, whether an X server answers there;
// xcb_connect alone would wait out the system's TCP time-out for a host that cannot be reached, or for
// ever on one that takes the connection and never answers.
xcb_connection_t* connectToDisplay(int& screenNumber);

} // namespace x11
