#include "XServer.h"

#include "X11Readback.h"

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

void XServer::key(uint32_t keysym, bool press) {
    const xcb_setup_t* setup = xcb_get_setup(connection);
    const uint8_t count = static_cast<uint8_t>(setup->max_keycode - setup->min_keycode + 1);
    auto map = reply(xcb_get_keyboard_mapping_reply(
        connection, xcb_get_keyboard_mapping(connection, setup->min_keycode, count), nullptr));
    const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(map.get());
    for (int i = 0; i < xcb_get_keyboard_mapping_keysyms_length(map.get()); ++i) {
        if (syms[i] == keysym) {
            fake(press ? XCB_KEY_PRESS : XCB_KEY_RELEASE,
                 static_cast<uint8_t>(setup->min_keycode + i / map->keysyms_per_keycode));
            return;
        }
    }
    throw std::runtime_error("no key gives keysym " + std::to_string(keysym));
}

CPixelBuffer XServer::pixels(xcb_window_t window, int width, int height) {
    CPixelBuffer shown(width, height);
    x11::readWindowPixels(connection, window, shown);
    return shown;
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
