// Shows a frame's pixels in an X11 window: through a shared memory segment where the server offers
// MIT-SHM on this machine, with plain PutImage requests elsewhere. [the window's thread]
#pragma once

#include "CGeometry.h"
#include "CPixelBuffer.h"

#include <cstdint>
#include <memory>
#include <vector>

#include <xcb/xcb.h>

namespace x11 {

class Surface {
  public:
    // Null when the screen cannot take 32-bit BGRX pixels as they are (depth 24, 32 bits per pixel,
    // least significant byte first): such a window shows nothing.
    static std::unique_ptr<Surface> create(xcb_connection_t* connection, const xcb_screen_t& screen,
                                           xcb_window_t window, int width, int height);
    Surface(xcb_connection_t* connection, xcb_window_t window, uint8_t depth, int width, int height);
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    // Copies `area` of `pixels` (the size given at creation) to the same place in the window.
    void show(const CPixelBuffer& pixels, const CRect& area);

  private:
    void attachSharedMemory();
    void putRows(const CPixelBuffer& pixels, int left, int top, int right, int bottom);

    xcb_connection_t* connection;
    xcb_window_t window;
    uint8_t depth;
    int width;
    int height;
    uint32_t gc;
    uint32_t segment = 0;
    uint32_t* shared = nullptr;
    std::vector<uint32_t> rows;
};

} // namespace x11
