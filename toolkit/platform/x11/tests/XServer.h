// A test's own view of the X server (under Xvfb): a top-level window to host editors, real input
// through XTest, and what the server shows and holds.
#pragma once

#include "CPixelBuffer.h"

#include <cstdint>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include <xcb/xcb.h>

class XServer {
  public:
    // Connects to the display the Xvfb fixture started (its number in $VELMORA_X_DISPLAY_FILE), which
    // becomes $DISPLAY for the code under test too, and maps a top-level window at the screen's origin.
    XServer();
    ~XServer();

    xcb_window_t host() const { return hostWindow; }
    // Maps or unmaps the host's window, as a host showing or hiding its plug-in window does; waits until
    // the server did.
    void showHost(bool shown);
    // A window id that no window has.
    xcb_window_t deadWindow();
    std::vector<xcb_window_t> children(xcb_window_t window);

    // Pointer and keys, as a user's: coordinates inside `window`.
    void moveTo(xcb_window_t window, int x, int y);
    void button(uint8_t button, bool press);
    void key(uint32_t keysym, bool press);
    void keycode(uint8_t code, bool press);
    void click(uint8_t button);

    // The host's top-level window takes the input focus and hears its keys, as a host's main window does.
    void focusHost();
    struct HostKey {
        uint32_t keysym; // of the key's first column
        bool press;
        bool control;
        bool operator==(const HostKey& other) const {
            return keysym == other.keysym && press == other.press && control == other.control;
        }
        friend std::ostream& operator<<(std::ostream& out, const HostKey& key) {
            return out << (key.control ? "Control+" : "") << std::hex << "0x" << key.keysym << std::dec
                       << (key.press ? " down" : " up");
        }
    };
    // The key events the host's window received since the last call, once `count` arrived or a second
    // passed.
    std::vector<HostKey> hostKeys(std::size_t count);
    // The keyboard's map: a key code with no keysym, and giving a key code a keysym (0: none again).
    uint8_t unusedKeycode();
    void mapKeycode(uint8_t code, uint32_t keysym);
    // What the server shows in `window`, as an opaque picture; black where it shows nothing.
    CPixelBuffer pixels(xcb_window_t window, int width, int height);
    // A window's width and height; 0 x 0 for none.
    std::pair<int, int> size(xcb_window_t window);
    // The root window's X resources, as xrdb sets them (Xft.dpi, the desktop's scale, among them); empty
    // takes them away. The server is shared: a test that sets them takes them away again.
    void setResources(const std::string& resources);

  private:
    void fake(uint8_t type, uint8_t detail, int16_t x = 0, int16_t y = 0);
    std::vector<xcb_keysym_t> keysyms(uint8_t& perKeycode);

    xcb_connection_t* connection;
    xcb_screen_t* screen;
    xcb_window_t hostWindow;
};

// Counts of what the process holds. Sanitizer runtimes start a thread of their own with the first
// thread the program starts: the count starts one first.
int threadCount();
int descriptorCount();
long residentKilobytes();
// Whether resident memory and latency mean what they seem: not under a sanitizer, whose quarantine
// holds freed memory a while (LeakSanitizer checks for leaks there instead) and which slows every step.
constexpr bool kUnsanitized =
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    false;
#else
    true;
#endif
