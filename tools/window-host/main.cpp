// velmora-window-host [--screenshot OUT.png] [PLUGIN.so [KNOB DRIVE RESO]]: a minimal Linux VST 2.4 host
// for the editor. It opens the plug-in's editor in a window of its own on $DISPLAY, the way Linux hosts
// do (the window's X11 id in effEditOpen's pointer), sizes the window to the editor (asked again after
// the open, which learns the desktop's scale), idles it every 20 ms and runs until the window is closed;
// with --screenshot it writes what the X server shows in the window to a PNG and leaves.
#include "PngEncoder.h"
#include "QuietHost.h"
#include "VstStructures.h"
#include "X11Readback.h"

#include <dlfcn.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

#include <xcb/xcb.h>

namespace {

const char* const kUsage =
    "usage: velmora-window-host [--screenshot OUT.png] [PLUGIN.so [KNOB DRIVE RESO]]\n";
// The host's idle period, and how long a screenshot waits for the editor's first paints.
constexpr auto kIdlePeriod = std::chrono::milliseconds(20);
constexpr auto kSettleTime = std::chrono::milliseconds(500);

typedef AEffect* (*EntryPoint)(audioMasterCallback);

xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection,
                              xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name),
                              nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

bool screenshot(xcb_connection_t* connection, xcb_window_t window, int width, int height,
                const std::string& path) {
    CPixelBuffer picture(width, height);
    return x11::readWindowPixels(connection, window, picture) && writePng(picture, path);
}

} // namespace

// [main thread: the host's GUI thread]
int main(int argc, char** argv) {
    std::string shot;
    int first = 1;
    if (argc > 2 && std::strcmp(argv[1], "--screenshot") == 0) {
        shot = argv[2];
        first = 3;
    }
    if (argc > first && (argv[first][0] == '-' || (argc - first != 1 && argc - first != 4))) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string plugin = argc > first ? argv[first] : "Velmora.so";
    void* library = dlopen(plugin.c_str(), RTLD_NOW | RTLD_LOCAL);
    const auto entry =
        library != nullptr ? reinterpret_cast<EntryPoint>(dlsym(library, "VSTPluginMain")) : nullptr;
    AEffect* effect = entry != nullptr ? entry(quietHost) : nullptr;
    if (effect == nullptr) {
        std::fprintf(stderr, "velmora-window-host: %s is not a VST 2.4 plug-in\n", plugin.c_str());
        return 1;
    }
    const auto dispatch = [effect](VstInt32 opcode, void* ptr = nullptr) {
        return effect->dispatcher(effect, opcode, 0, 0, ptr, 0.0f);
    };
    ERect* rect = nullptr;
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (dispatch(effEditGetRect, &rect) == 0 || rect == nullptr || xcb_connection_has_error(connection)) {
        std::fputs("velmora-window-host: no editor, or no X display ($DISPLAY)\n", stderr);
        return 1;
    }
    int width = rect->right - rect->left;
    int height = rect->bottom - rect->top;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const xcb_window_t window = xcb_generate_id(connection);
    const uint32_t events = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0,
                      static_cast<uint16_t>(width), static_cast<uint16_t>(height), 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_EVENT_MASK, &events);
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, 7,
                        "Velmora");
    const xcb_atom_t protocols = atom(connection, "WM_PROTOCOLS");
    const xcb_atom_t closeRequest = atom(connection, "WM_DELETE_WINDOW");
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, protocols, XCB_ATOM_ATOM, 32, 1,
                        &closeRequest);
    xcb_map_window(connection, window);
    xcb_flush(connection);

    dispatch(effEditOpen, reinterpret_cast<void*>(uintptr_t{window}));
    if (dispatch(effEditGetRect, &rect) != 0 && rect != nullptr) {
        width = rect->right - rect->left;
        height = rect->bottom - rect->top;
        const uint32_t size[] = {static_cast<uint32_t>(width), static_cast<uint32_t>(height)};
        xcb_configure_window(connection, window, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size);
        xcb_flush(connection);
    }
    for (int i = 0; i < 3 && argc - first == 4; ++i) {
        effect->setParameter(effect, i, std::strtof(argv[first + 1 + i], nullptr));
    }
    const auto settled = std::chrono::steady_clock::now() + kSettleTime;
    bool open = true;
    while (open && (shot.empty() || std::chrono::steady_clock::now() < settled)) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
            const auto* message = reinterpret_cast<const xcb_client_message_event_t*>(event);
            open = open && !((event->response_type & ~0x80) == XCB_CLIENT_MESSAGE &&
                             message->data.data32[0] == closeRequest);
            std::free(event);
        }
        open = open && !xcb_connection_has_error(connection);
        dispatch(effEditIdle);
        std::this_thread::sleep_for(kIdlePeriod);
    }
    const bool written = shot.empty() || screenshot(connection, window, width, height, shot);
    dispatch(effEditClose);
    dispatch(effClose);
    xcb_disconnect(connection);
    dlclose(library);
    if (!written) {
        std::fprintf(stderr, "velmora-window-host: cannot write %s\n", shot.c_str());
        return 1;
    }
    return 0;
}
