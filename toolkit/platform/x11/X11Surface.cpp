#include "X11Surface.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include <sys/ipc.h>
#include <sys/shm.h>
#include <xcb/shm.h>

namespace x11 {

namespace {

constexpr uint8_t kDepth = 24;
constexpr uint8_t kBitsPerPixel = 32;
constexpr uint32_t kRedMask = 0xff0000;
constexpr uint32_t kGreenMask = 0x00ff00;
constexpr uint32_t kBlueMask = 0x0000ff;
// Bytes of a PutImage request before its pixels.
constexpr std::size_t kPutImageHeader = 24;

bool takesBgrxAsItIs(const xcb_setup_t& setup, const xcb_screen_t& screen) {
    if (screen.root_depth != kDepth || setup.image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST) {
        return false;
    }
    bool format = false;
    for (auto it = xcb_setup_pixmap_formats_iterator(&setup); it.rem > 0; xcb_format_next(&it)) {
        format = format || (it.data->depth == kDepth && it.data->bits_per_pixel == kBitsPerPixel);
    }
    for (auto depths = xcb_screen_allowed_depths_iterator(&screen); depths.rem > 0; xcb_depth_next(&depths)) {
        for (auto visuals = xcb_depth_visuals_iterator(depths.data); visuals.rem > 0;
             xcb_visualtype_next(&visuals)) {
            const xcb_visualtype_t& visual = *visuals.data;
            if (visual.visual_id == screen.root_visual) {
                return format && visual.red_mask == kRedMask && visual.green_mask == kGreenMask &&
                       visual.blue_mask == kBlueMask;
            }
        }
    }
    return false;
}

// Waits until the server has handled every request sent so far.
void roundTrip(xcb_connection_t* connection) {
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}

} // namespace

std::unique_ptr<Surface> Surface::create(xcb_connection_t* connection, const xcb_screen_t& screen,
                                         xcb_window_t window, int width, int height) {
    if (!takesBgrxAsItIs(*xcb_get_setup(connection), screen)) {
        return nullptr;
    }
    auto surface = std::make_unique<Surface>(connection, window, screen.root_depth, width, height);
    surface->attachSharedMemory();
    return surface;
}

Surface::Surface(xcb_connection_t* xConnection, xcb_window_t xWindow, uint8_t windowDepth, int pixelWidth,
                 int pixelHeight)
    : connection(xConnection), window(xWindow), depth(windowDepth), width(pixelWidth), height(pixelHeight),
      gc(xcb_generate_id(xConnection)) {
    const uint32_t noExposures = 0;
    xcb_create_gc(connection, gc, window, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
}

Surface::~Surface() {
    if (shared != nullptr) {
        xcb_shm_detach(connection, segment);
        roundTrip(connection);
        shmdt(shared);
    }
    xcb_free_gc(connection, gc);
}

void Surface::attachSharedMemory() {
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(connection, &xcb_shm_id);
    if (extension == nullptr || !extension->present) {
        return;
    }
    const int id = shmget(IPC_PRIVATE, static_cast<std::size_t>(width) * height * 4, IPC_CREAT | 0600);
    if (id < 0) {
        return;
    }
    void* memory = shmat(id, nullptr, 0);
    if (memory == reinterpret_cast<void*>(-1)) {
        shmctl(id, IPC_RMID, nullptr);
        return;
    }
    segment = xcb_generate_id(connection);
    xcb_generic_error_t* error = xcb_request_check(
        connection, xcb_shm_attach_checked(connection, segment, static_cast<uint32_t>(id), 1));
    // Marked for removal now: the segment goes when both sides have detached, even if we die.
    shmctl(id, IPC_RMID, nullptr);
    if (error != nullptr) {
        // Another machine's server, or one that may not attach our memory.
        std::free(error);
        shmdt(memory);
        return;
    }
    shared = static_cast<uint32_t*>(memory);
}

void Surface::show(const CPixelBuffer& pixels, const CRect& area) {
    const int left = std::max(pixelIndex(area.left), 0);
    const int top = std::max(pixelIndex(area.top), 0);
    const int right = std::min({pixelIndex(area.right), width, pixels.getWidth()});
    const int bottom = std::min({pixelIndex(area.bottom), height, pixels.getHeight()});
    if (left >= right || top >= bottom) {
        return;
    }
    if (shared == nullptr) {
        putRows(pixels, left, top, right, bottom);
        return;
    }
    for (int y = top; y < bottom; ++y) {
        std::memcpy(shared + static_cast<std::size_t>(y) * width + left, pixels.row(y) + left,
                    static_cast<std::size_t>(right - left) * 4);
    }
    xcb_shm_put_image(connection, window, gc, static_cast<uint16_t>(width), static_cast<uint16_t>(height),
                      static_cast<uint16_t>(left), static_cast<uint16_t>(top),
                      static_cast<uint16_t>(right - left), static_cast<uint16_t>(bottom - top),
                      static_cast<int16_t>(left), static_cast<int16_t>(top), depth, XCB_IMAGE_FORMAT_Z_PIXMAP,
                      0, segment, 0);
    // The server reads the segment when it gets to the request: it must be done before we write again.
    roundTrip(connection);
}

void Surface::putRows(const CPixelBuffer& pixels, int left, int top, int right, int bottom) {
    const auto rowWords = static_cast<std::size_t>(right - left);
    const std::size_t maximumBytes = xcb_get_maximum_request_length(connection) * std::size_t{4};
    const auto rowsPerRequest =
        static_cast<int>(std::max<std::size_t>((maximumBytes - kPutImageHeader) / (rowWords * 4), 1));
    for (int first = top; first < bottom; first += rowsPerRequest) {
        const int last = std::min(first + rowsPerRequest, bottom);
        rows.resize(rowWords * static_cast<std::size_t>(last - first));
        for (int y = first; y < last; ++y) {
            std::memcpy(rows.data() + static_cast<std::size_t>(y - first) * rowWords, pixels.row(y) + left,
                        rowWords * 4);
        }
        xcb_put_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, gc, static_cast<uint16_t>(right - left),
                      static_cast<uint16_t>(last - first), static_cast<int16_t>(left),
                      static_cast<int16_t>(first), 0, depth, static_cast<uint32_t>(rows.size() * 4),
                      reinterpret_cast<const uint8_t*>(rows.data()));
    }
}

} // namespace x11
