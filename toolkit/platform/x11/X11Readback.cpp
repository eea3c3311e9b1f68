#include "X11Readback.h"

#include <cstdlib>
#include <memory>

namespace x11 {

bool readWindowPixels(xcb_connection_t* connection, xcb_window_t window, CPixelBuffer& picture) {
    const int width = picture.getWidth();
    const int height = picture.getHeight();
    const std::unique_ptr<xcb_get_image_reply_t, decltype(&std::free)> image(
        xcb_get_image_reply(connection,
                            xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0,
                                          static_cast<uint16_t>(width), static_cast<uint16_t>(height),
                                          UINT32_MAX),
                            nullptr),
        &std::free);
    if (!image || xcb_get_image_data_length(image.get()) < width * height * 4) {
        return false;
    }
    const auto* shown = reinterpret_cast<const uint32_t*>(xcb_get_image_data(image.get()));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            picture.row(y)[x] = shown[static_cast<std::size_t>(y) * width + x] | 0xFF000000u;
        }
    }
    return true;
}

} // namespace x11
