// velmora-dpi-host DLL GOLDEN: a per-monitor-DPI-aware Windows host, as modern hosts are, whose thread is
// in another awareness (unaware) when it opens the editor, as in hosts that switch it per plug-in. It
// opens the DLL's editor in a window of its own and prints one line of what it sees:
//   HOST_DPI EDITOR_WIDTH EDITOR_HEIGHT SAME_AWARENESS THREAD_RESTORED DIFFERING_PIXELS TOLD
// the host window's DPI, the editor window's client size, whether the editor's window took the host
// window's awareness, whether the thread got its own back, how many pixels differ from GOLDEN, and the
// size the editor asked for with audioMasterSizeWindow ("-" for none). Run by Win32EditorTest with the
// system DPI the test sets, which Wine reads once, as a process starts.
#include "GoldenWindow.h"
#include "WindowCapture.h"

#include <cstdio>
#include <string>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace {

typedef AEffect* (*EntryPoint)(audioMasterCallback);

std::string told = "-";

VstIntPtr VSTCALLBACK host(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float) {
    if (opcode == audioMasterSizeWindow) {
        told = std::to_string(index) + "x" + std::to_string(value);
    }
    if (opcode == audioMasterCanDo) {
        return std::string(static_cast<const char*>(ptr)) == "sizeWindow" ? 1 : 0;
    }
    return opcode == audioMasterVersion ? kVstVersion : 0;
}

void pump(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(1);
    }
}

} // namespace

// [main thread]
int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: velmora-dpi-host DLL GOLDEN\n", stderr);
        return 2;
    }
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    const HMODULE library = LoadLibraryA(argv[1]);
    const auto entry =
        library != nullptr
            ? reinterpret_cast<EntryPoint>(reinterpret_cast<void*>(GetProcAddress(library, "VSTPluginMain")))
            : nullptr;
    AEffect* effect = entry != nullptr ? entry(host) : nullptr;
    if (effect == nullptr) {
        std::fputs("velmora-dpi-host: no plug-in\n", stderr);
        return 1;
    }
    const HWND window = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800,
                                        700, nullptr, nullptr, nullptr, nullptr);
    SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT_UNAWARE);
    effect->dispatcher(effect, effEditOpen, 0, 0, window, 0.0f);
    const bool threadRestored =
        AreDpiAwarenessContextsEqual(GetThreadDpiAwarenessContext(), DPI_AWARENESS_CONTEXT_UNAWARE);
    const HWND editor = GetWindow(window, GW_CHILD);
    RECT client{};
    GetClientRect(editor, &client);
    const bool sameAwareness = AreDpiAwarenessContextsEqual(GetWindowDpiAwarenessContext(editor),
                                                            GetWindowDpiAwarenessContext(window));
    const GoldenWindow expected(argv[2]);
    CPixelBuffer shown(0, 0);
    for (int attempt = 0; attempt < 100; ++attempt) {
        pump(20);
        shown = captureWindow(editor, client.right, client.bottom);
        if (expected.matches(shown)) {
            break;
        }
    }
    const std::string differing = expected.matches(shown) ? "0" : expected.difference(shown);
    std::printf("%u %ld %ld %d %d %s %s\n", GetDpiForWindow(window), client.right, client.bottom,
                sameAwareness ? 1 : 0, threadRestored ? 1 : 0,
                differing.substr(0, differing.find(' ')).c_str(), told.c_str());
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    DestroyWindow(window);
    FreeLibrary(library);
    return 0;
}
