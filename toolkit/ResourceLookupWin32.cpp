// Pictures in the module's resource section, type "PNG". The module is the DLL the loader told us about,
// or, in a program that is not a DLL, the program itself.
#include "ModuleHandle.h"
#include "PictureStore.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

ResourceBytes findPictureResource(int id) {
    HMODULE module = hInstance != nullptr ? static_cast<HMODULE>(hInstance) : GetModuleHandleA(nullptr);
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id), "PNG");
    if (resource == nullptr) {
        return {};
    }
    HGLOBAL loaded = LoadResource(module, resource);
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data == nullptr) {
        return {};
    }
    // Resource memory is part of the mapped module and needs no release.
    return {static_cast<const unsigned char*>(data),
            static_cast<std::size_t>(SizeofResource(module, resource))};
}
