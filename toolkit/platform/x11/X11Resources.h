// The X resources a desktop keeps on the root window (the RESOURCE_MANAGER property, as xrdb writes it)
// and the display scale they give: Xft.dpi over 96, as desktops set it (192 at 200 %).
#pragma once

#include <string>
#include <string_view>

#include <xcb/xcb.h>

namespace x11 {

// [any thread] The scale factor of the resources' Xft.dpi; 0 when they set none, or one that gives a
// factor outside 1 to 4.
double scaleFromResources(std::string_view resources);

// [the connection's thread] The root window's resources, read now; empty when there are none.
std::string rootResources(xcb_connection_t* connection, const xcb_screen_t& screen);

} // namespace x11
