// What the screen shows in a window, read back with BitBlt into a DIB section (PrintWindow would need the
// window to handle WM_PRINTCLIENT). Pixels come back opaque, comparable with a frame's own.
#pragma once

#include "CPixelBuffer.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

CPixelBuffer captureWindow(HWND window, int width, int height);
