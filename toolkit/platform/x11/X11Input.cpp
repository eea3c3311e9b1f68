#include "X11Input.h"

#include <cstdlib>
#include <memory>

namespace x11 {

namespace {

struct KeysymKey {
    uint32_t keysym;
    unsigned char virt;
};

// Keysyms from X11's keysymdef.h that have a virtual key of their own.
constexpr KeysymKey kVirtualKeys[] = {
    {0xff08, VKEY_BACK},    {0xff09, VKEY_TAB},       {0xff0b, VKEY_CLEAR},    {0xff0d, VKEY_RETURN},
    {0xff13, VKEY_PAUSE},   {0xff1b, VKEY_ESCAPE},    {0x0020, VKEY_SPACE},    {0xff57, VKEY_END},
    {0xff50, VKEY_HOME},    {0xff51, VKEY_LEFT},      {0xff52, VKEY_UP},       {0xff53, VKEY_RIGHT},
    {0xff54, VKEY_DOWN},    {0xff55, VKEY_PAGEUP},    {0xff56, VKEY_PAGEDOWN}, {0xff60, VKEY_SELECT},
    {0xff61, VKEY_PRINT},   {0xff8d, VKEY_ENTER},     {0xff63, VKEY_INSERT},   {0xffff, VKEY_DELETE},
    {0xff6a, VKEY_HELP},    {0xffb0, VKEY_NUMPAD0},   {0xffb1, VKEY_NUMPAD1},  {0xffb2, VKEY_NUMPAD2},
    {0xffb3, VKEY_NUMPAD3}, {0xffb4, VKEY_NUMPAD4},   {0xffb5, VKEY_NUMPAD5},  {0xffb6, VKEY_NUMPAD6},
    {0xffb7, VKEY_NUMPAD7}, {0xffb8, VKEY_NUMPAD8},   {0xffb9, VKEY_NUMPAD9},  {0xffaa, VKEY_MULTIPLY},
    {0xffab, VKEY_ADD},     {0xffac, VKEY_SEPARATOR}, {0xffad, VKEY_SUBTRACT}, {0xffae, VKEY_DECIMAL},
    {0xffaf, VKEY_DIVIDE},  {0xffbe, VKEY_F1},        {0xffbf, VKEY_F2},       {0xffc0, VKEY_F3},
    {0xffc1, VKEY_F4},      {0xffc2, VKEY_F5},        {0xffc3, VKEY_F6},       {0xffc4, VKEY_F7},
    {0xffc5, VKEY_F8},      {0xffc6, VKEY_F9},        {0xffc7, VKEY_F10},      {0xffc8, VKEY_F11},
    {0xffc9, VKEY_F12},     {0xff7f, VKEY_NUMLOCK},   {0xff14, VKEY_SCROLL},   {0xffe1, VKEY_SHIFT},
    {0xffe2, VKEY_SHIFT},   {0xffe3, VKEY_CONTROL},   {0xffe4, VKEY_CONTROL},  {0xffe9, VKEY_ALT},
    {0xffea, VKEY_ALT},     {0x003d, VKEY_EQUALS},
};

// Printable keysyms below this are ASCII characters.
constexpr uint32_t kFirstPrintable = 0x21;
constexpr uint32_t kLastPrintable = 0x7e;

} // namespace

CButtonState buttonFlag(uint8_t button) {
    switch (button) {
    case XCB_BUTTON_INDEX_1:
        return kLButton;
    case XCB_BUTTON_INDEX_2:
        return kMButton;
    case XCB_BUTTON_INDEX_3:
        return kRButton;
    default:
        return 0;
    }
}

CButtonState modifiers(uint16_t state) {
    CButtonState result = 0;
    if (state & XCB_MOD_MASK_SHIFT) {
        result |= kShift;
    }
    if (state & XCB_MOD_MASK_CONTROL) {
        result |= kControl;
    }
    if (state & XCB_MOD_MASK_1) {
        result |= kAlt;
    }
    return result;
}

CButtonState heldButtons(uint16_t state) {
    CButtonState result = 0;
    if (state & XCB_KEY_BUT_MASK_BUTTON_1) {
        result |= kLButton;
    }
    if (state & XCB_KEY_BUT_MASK_BUTTON_2) {
        result |= kMButton;
    }
    if (state & XCB_KEY_BUT_MASK_BUTTON_3) {
        result |= kRButton;
    }
    return result;
}

namespace {

VstKeyCode keyFromKeysym(uint32_t keysym, uint16_t state) {
    VstKeyCode key{};
    const CButtonState held = modifiers(state);
    key.modifier = static_cast<unsigned char>(((held & kShift) ? MODIFIER_SHIFT : 0) |
                                              ((held & kControl) ? MODIFIER_CONTROL : 0) |
                                              ((held & kAlt) ? MODIFIER_ALTERNATE : 0));
    for (const KeysymKey& entry : kVirtualKeys) {
        if (entry.keysym == keysym) {
            key.virt = entry.virt;
            return key;
        }
    }
    if (keysym >= kFirstPrintable && keysym <= kLastPrintable) {
        key.character = static_cast<VstInt32>(keysym);
    }
    return key;
}

} // namespace

Keyboard::Keyboard(xcb_connection_t* connection) {
    const xcb_setup_t* setup = xcb_get_setup(connection);
    const uint8_t count = static_cast<uint8_t>(setup->max_keycode - setup->min_keycode + 1);
    const std::unique_ptr<xcb_get_keyboard_mapping_reply_t, decltype(&std::free)> reply(
        xcb_get_keyboard_mapping_reply(
            connection, xcb_get_keyboard_mapping(connection, setup->min_keycode, count), nullptr),
        &std::free);
    if (!reply) {
        return;
    }
    const xcb_keysym_t* first = xcb_get_keyboard_mapping_keysyms(reply.get());
    keysyms.assign(first, first + xcb_get_keyboard_mapping_keysyms_length(reply.get()));
    firstKeycode = setup->min_keycode;
    keysymsPerKeycode = reply->keysyms_per_keycode;
}

VstKeyCode Keyboard::translate(uint8_t keycode, uint16_t state) const {
    // The first column is the plain key, the second the shifted one.
    const std::size_t row = static_cast<std::size_t>(keycode - firstKeycode) * keysymsPerKeycode;
    if (keycode < firstKeycode || keysymsPerKeycode == 0 || row + keysymsPerKeycode > keysyms.size()) {
        return VstKeyCode{};
    }
    uint32_t keysym = keysyms[row];
    // Keys that shift to nothing (the arrows, often) keep their plain keysym.
    if ((state & XCB_MOD_MASK_SHIFT) && keysymsPerKeycode > 1 && keysyms[row + 1] != 0) {
        keysym = keysyms[row + 1];
    }
    return keyFromKeysym(keysym, state);
}

} // namespace x11
