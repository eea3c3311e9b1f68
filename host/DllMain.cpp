// The Windows load-time hook: remembers which module we are.
#include "ModuleHandle.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)reason;
    (void)reserved;
    // The loader passes the same handle with every reason, detach included. Nothing here can fail, and a
    // FALSE on attach would make the loader refuse the library.
    hInstance = instance;
    return TRUE;
}
