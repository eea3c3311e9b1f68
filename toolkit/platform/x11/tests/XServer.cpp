#include "XServer.h"

#include "X11Readback.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <thread>
#include <unistd.h>

#include <xcb/xtest.h>

namespace {

template <typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;
template <typename T> Reply<T> reply(T* answer) {
    return Reply<T>(answer, &std::free);
}

int entries(const char* folder) {
    int count = 0;
    if (DIR* dir = opendir(folder)) {
        while (dirent* entry = readdir(dir)) {
            count += entry->d_name[0] != '.';
        }
        closedir(dir);
    }
    return count;
}

} // namespace

XServer::XServer() {
    const char* file = std::getenv("VELMORA_X_DISPLAY_FILE");
    std::string number;
    if (file == nullptr || !(std::ifstream(file) >> number)) {
        throw std::runtime_error("no Xvfb display: run through ctest (fixture xvfb)");
    }
    setenv("DISPLAY", (":" + number).c_str(), 1);
    connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        throw std::runtime_error("cannot connect to the Xvfb display :" + number);
    }
    screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    hostWindow = xcb_generate_id(connection);
    const uint32_t background = screen->white_pixel;
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, hostWindow, screen->root, 0, 0, 400, 300, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_BACK_PIXEL, &background);
    xcb_map_window(connection, hostWindow);
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}

XServer::~XServer() {
    xcb_destroy_window(connection, hostWindow);
    xcb_disconnect(connection);
}

void XServer::showHost(bool shown) {
    shown ? xcb_map_window(connection, hostWindow) : xcb_unmap_window(connection, hostWindow);
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}

xcb_window_t XServer::deadWindow() {
    const xcb_window_t id = xcb_generate_id(connection);
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, id, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
    xcb_destroy_window(connection, id);
    xcb_flush(connection);
    return id;
}

std::vector<xcb_window_t> XServer::children(xcb_window_t window) {
    auto tree = reply(xcb_query_tree_reply(connection, xcb_query_tree(connection, window), nullptr));
    if (!tree) {
        return {};
    }
    const xcb_window_t* first = xcb_query_tree_children(tree.get());
    return {first, first + xcb_query_tree_children_length(tree.get())};
}

void XServer::fake(uint8_t type, uint8_t detail, int16_t x, int16_t y) {
    xcb_test_fake_input(connection, type, detail, XCB_CURRENT_TIME, screen->root, x, y, 0);
    xcb_flush(connection);
}

void XServer::moveTo(xcb_window_t window, int x, int y) {
    auto root = reply(xcb_translate_coordinates_reply(
        connection,
        xcb_translate_coordinates(connection, window, screen->root, static_cast<int16_t>(x),
                                  static_cast<int16_t>(y)),
        nullptr));
    fake(XCB_MOTION_NOTIFY, 0, root->dst_x, root->dst_y);
}

void XServer::button(uint8_t number, bool press) {
    fake(press ? XCB_BUTTON_PRESS : XCB_BUTTON_RELEASE, number);
}

void XServer::click(uint8_t number) {
    button(number, true);
    button(number, false);
}

std::vector<xcb_keysym_t> XServer::keysyms(uint8_t& perKeycode) {
    const xcb_setup_t* setup = xcb_get_setup(connection);
    const uint8_t count = static_cast<uint8_t>(setup->max_keycode - setup->min_keycode + 1);
    auto map = reply(xcb_get_keyboard_mapping_reply(
        connection, xcb_get_keyboard_mapping(connection, setup->min_keycode, count), nullptr));
    perKeycode = map->keysyms_per_keycode;
    const xcb_keysym_t* first = xcb_get_keyboard_mapping_keysyms(map.get());
    return {first, first + xcb_get_keyboard_mapping_keysyms_length(map.get())};
}

void XServer::key(uint32_t keysym, bool press) {
    uint8_t perKeycode = 0;
    const std::vector<xcb_keysym_t> syms = keysyms(perKeycode);
    for (std::size_t i = 0; i < syms.size(); ++i) {
        if (syms[i] == keysym) {
            keycode(static_cast<uint8_t>(xcb_get_setup(connection)->min_keycode + i / perKeycode), press);
            return;
        }
    }
    throw std::runtime_error("no key gives keysym " + std::to_string(keysym));
}

void XServer::keycode(uint8_t code, bool press) {
    fake(press ? XCB_KEY_PRESS : XCB_KEY_RELEASE, code);
}

void XServer::focusHost() {
    const uint32_t keys = XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_KEY_RELEASE;
    xcb_change_window_attributes(connection, hostWindow, XCB_CW_EVENT_MASK, &keys);
    xcb_set_input_focus(connection, XCB_INPUT_FOCUS_POINTER_ROOT, hostWindow, XCB_CURRENT_TIME);
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}

std::vector<XServer::HostKey> XServer::hostKeys(std::size_t count) {
    uint8_t perKeycode = 0;
    const std::vector<xcb_keysym_t> syms = keysyms(perKeycode);
    const uint8_t firstKeycode = xcb_get_setup(connection)->min_keycode;
    std::vector<HostKey> keys;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (keys.size() < count && std::chrono::steady_clock::now() < end) {
        xcb_generic_event_t* event = xcb_poll_for_event(connection);
        if (event == nullptr) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            continue;
        }
        const uint8_t type = event->response_type & 0x7f;
        const auto* key = reinterpret_cast<const xcb_key_press_event_t*>(event);
        if ((type == XCB_KEY_PRESS || type == XCB_KEY_RELEASE) && key->event == hostWindow) {
            const std::size_t row = static_cast<std::size_t>(key->detail - firstKeycode) * perKeycode;
            keys.push_back({row < syms.size() ? syms[row] : 0, type == XCB_KEY_PRESS,
                            (key->state & XCB_MOD_MASK_CONTROL) != 0});
        }
        std::free(event);
    }
    return keys;
}

uint8_t XServer::unusedKeycode() {
    uint8_t perKeycode = 0;
    const std::vector<xcb_keysym_t> syms = keysyms(perKeycode);
    for (std::size_t code = syms.size() / perKeycode; code-- > 0;) {
        if (std::all_of(syms.begin() + code * perKeycode, syms.begin() + (code + 1) * perKeycode,
                        [](xcb_keysym_t sym) { return sym == 0; })) {
            return static_cast<uint8_t>(xcb_get_setup(connection)->min_keycode + code);
        }
    }
    throw std::runtime_error("every key code has a keysym");
}

void XServer::mapKeycode(uint8_t code, uint32_t keysym) {
    uint8_t perKeycode = 0;
    keysyms(perKeycode);
    std::vector<xcb_keysym_t> row(perKeycode, 0);
    row[0] = keysym;
    xcb_change_keyboard_mapping(connection, 1, code, perKeycode, row.data());
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}

CPixelBuffer XServer::pixels(xcb_window_t window, int width, int height) {
    CPixelBuffer shown(width, height);
    x11::readWindowPixels(connection, window, shown);
    return shown;
}

std::pair<int, int> XServer::size(xcb_window_t window) {
    auto geometry = reply(xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr));
    return geometry ? std::make_pair(int{geometry->width}, int{geometry->height}) : std::make_pair(0, 0);
}

void XServer::setResources(const std::string& resources) {
    if (resources.empty()) {
        xcb_delete_property(connection, screen->root, XCB_ATOM_RESOURCE_MANAGER);
    } else {
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, screen->root, XCB_ATOM_RESOURCE_MANAGER,
                            XCB_ATOM_STRING, 8, static_cast<uint32_t>(resources.size()), resources.data());
    }
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}

int threadCount() {
    static const bool runtimeThreadsStarted = [] {
        std::thread([] {}).join();
        return true;
    }();
    (void)runtimeThreadsStarted;
    return entries("/proc/self/task");
}

int descriptorCount() {
    // Less the one that lists them.
    return entries("/proc/self/fd") - 1;
}

long residentKilobytes() {
    long pages = 0;
    long resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}
