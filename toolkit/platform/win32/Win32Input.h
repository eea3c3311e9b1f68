// What Win32 input messages mean to the toolkit: buttons and modifiers from a message's key state, and
// key strokes from virtual keys. [any thread]
#pragma once

#include "CButtonState.h"
#include "VstStructures.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace win32 {

// Buttons and Shift / Control from the MK_ flags that mouse messages carry.
CButtonState mouseState(WPARAM keyState);
// A key stroke for a virtual key with the modifiers held now, or one with neither character nor virtual
// key when the toolkit has no use for it.
VstKeyCode keyFromVirtualKey(WPARAM virtualKey);

} // namespace win32
