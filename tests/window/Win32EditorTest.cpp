// Velmora.dll's editor under Wine on the private Xvfb, loaded and driven as a Windows host does: the
// editor opens as a child of the host's window, mouse messages make automation the host sees, the window
// (read back with BitBlt) shows the committed golden pictures, also after host automation from another
// thread, and many windows, bad parents and unloading the DLL leave nothing behind.
#include "CPixelBuffer.h"
#include "GestureHost.h"
#include "GoldenWindow.h"
#include "VstStructures.h"
#include "WindowCapture.h"

#include <gtest/gtest.h>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

const std::string kGoldenDir = VELMORA_EDITOR_GOLDEN_DIR;
constexpr int kWidth = 171;
constexpr int kHeight = 149;

typedef AEffect* (*EntryPoint)(audioMasterCallback);

// The host's message loop, until `done` or two seconds; the milliseconds it took, or -1.
long pumpUntil(const std::function<bool()>& done, DWORD limit = 2000) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (done()) {
            return static_cast<long>(GetTickCount() - start);
        }
        if (GetTickCount() - start > limit) {
            return -1;
        }
        Sleep(1);
    }
}

class Win32Editor : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* path = VELMORA_PLUGIN_PATH;
        library = LoadLibraryW(std::wstring(path, path + std::strlen(path)).c_str());
        ASSERT_NE(library, nullptr);
        entry =
            reinterpret_cast<EntryPoint>(reinterpret_cast<void*>(GetProcAddress(library, "VSTPluginMain")));
        effect = entry(GestureHost::callback);
        host = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300,
                               nullptr, nullptr, nullptr, nullptr);
        pumpUntil([] { return false; }, 50);
        GestureHost::take();
    }
    void TearDown() override {
        dispatch(effClose);
        DestroyWindow(host);
        FreeLibrary(library);
    }

    VstIntPtr dispatch(VstInt32 opcode, void* ptr = nullptr) {
        return effect->dispatcher(effect, opcode, 0, 0, ptr, 0.0f);
    }
    HWND editorWindow() const { return GetWindow(host, GW_CHILD); }
    void send(UINT message, WPARAM keys, int x, int y) {
        SendMessageW(editorWindow(), message, keys, MAKELPARAM(x, y));
    }
    std::vector<HostCall> takeCalls() {
        pumpUntil([] { return false; }, 20);
        return GestureHost::take();
    }
    CPixelBuffer shown() { return captureWindow(editorWindow(), kWidth, kHeight); }
    // How long until the window shows a golden picture; or -1 with the difference when it never does.
    long untilShown(const char* golden, std::string& difference) {
        const GoldenWindow expected(kGoldenDir + "/" + golden);
        const long took = pumpUntil([&] { return expected.matches(shown()); });
        if (took < 0) {
            difference = expected.difference(shown());
        }
        return took;
    }

    HMODULE library = nullptr;
    EntryPoint entry = nullptr;
    AEffect* effect = nullptr;
    HWND host = nullptr;
};

TEST_F(Win32Editor, MouseMessagesOnTheKnobsBecomeAutomationAndTheWindowShowsTheGoldenPictures) {
    ASSERT_EQ(dispatch(effEditOpen, host), 1);
    ASSERT_NE(editorWindow(), nullptr);
    std::string difference;
    EXPECT_GE(untilShown("editor-default.png", difference), 0) << difference;

    // From (85, 60) 60 px down in four moves, as the offscreen golden test drags: to 0.2.
    send(WM_LBUTTONDOWN, MK_LBUTTON, 85, 60);
    for (int step = 1; step <= 4; ++step) {
        send(WM_MOUSEMOVE, MK_LBUTTON, 85, 60 + 15 * step);
    }
    send(WM_LBUTTONUP, 0, 85, 120);
    const std::vector<HostCall> drag = takeCalls();
    ASSERT_EQ(drag.size(), 6u);
    EXPECT_EQ(drag.front().opcode, audioMasterBeginEdit);
    EXPECT_EQ(drag.back().opcode, audioMasterEndEdit);
    float previous = 0.5f;
    for (std::size_t i = 1; i + 1 < drag.size(); ++i) {
        EXPECT_EQ(drag[i].opcode, audioMasterAutomate);
        EXPECT_EQ(drag[i].index, 0);
        EXPECT_LT(drag[i].value, previous) << "one notification per change, each with the new value";
        previous = drag[i].value;
    }
    EXPECT_FLOAT_EQ(effect->getParameter(effect, 0), 0.2f);
    EXPECT_GE(untilShown("editor-knob-0.2.png", difference), 0) << difference;

    send(WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, 85, 63);
    std::vector<HostCall> reset = takeCalls();
    ASSERT_EQ(reset.size(), 3u);
    EXPECT_FLOAT_EQ(reset[1].value, 0.5f) << "Control-click resets the main knob";
    POINT drive = {29, 124};
    ClientToScreen(editorWindow(), &drive);
    SendMessageW(editorWindow(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(drive.x, drive.y));
    const std::vector<HostCall> wheel = takeCalls();
    ASSERT_EQ(wheel.size(), 3u);
    EXPECT_EQ(wheel[1].index, 1);
    EXPECT_FLOAT_EQ(effect->getParameter(effect, 1), 0.1f) << "a wheel step on DRIVE adds 0.1";

    for (const AutomatedState& state : automatedStates()) {
        automateFromAnotherThread(effect, state);
        const long latency = untilShown(state.golden, difference);
        std::printf("host automation from another thread shown after %ld ms (%s)\n", latency, state.golden);
        EXPECT_GE(latency, 0) << state.golden << ": " << difference;
    }
    dispatch(effEditClose);
    EXPECT_EQ(editorWindow(), nullptr);
}

TEST_F(Win32Editor, ManyOpensBadParentsAndReloadingTheDllLeaveNothingBehind) {
    const HANDLE process = GetCurrentProcess();
    const auto cycles = [&](int count) {
        for (int i = 0; i < count; ++i) {
            dispatch(effEditOpen, host);
            pumpUntil([] { return true; });
            dispatch(effEditClose);
        }
    };
    cycles(20);
    const DWORD gdiObjects = GetGuiResources(process, GR_GDIOBJECTS);
    const DWORD userObjects = GetGuiResources(process, GR_USEROBJECTS);
    DWORD handles = 0;
    GetProcessHandleCount(process, &handles);
    PROCESS_MEMORY_COUNTERS before{};
    GetProcessMemoryInfo(process, &before, sizeof(before));
    const DWORD start = GetTickCount();
    cycles(200);
    PROCESS_MEMORY_COUNTERS after{};
    GetProcessMemoryInfo(process, &after, sizeof(after));
    const long grown =
        (static_cast<long>(after.PagefileUsage) - static_cast<long>(before.PagefileUsage)) / 1024;
    std::printf("200 effEditOpen/effEditClose cycles: %.2f ms each, private memory %+ld KB\n",
                (GetTickCount() - start) / 200.0, grown);
    DWORD handlesAfter = 0;
    GetProcessHandleCount(process, &handlesAfter);
    EXPECT_EQ(editorWindow(), nullptr);
    EXPECT_EQ(GetGuiResources(process, GR_GDIOBJECTS), gdiObjects);
    EXPECT_EQ(GetGuiResources(process, GR_USEROBJECTS), userObjects);
    EXPECT_EQ(handlesAfter, handles);
    EXPECT_LT(grown, 2048);

    const HWND gone =
        CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    for (HWND parent : {HWND{}, gone}) {
        EXPECT_EQ(dispatch(effEditOpen, parent), 1);
        std::thread([&] { effect->setParameter(effect, 0, 0.3f); }).join();
        pumpUntil([] { return false; }, 60);
        dispatch(effEditClose);
    }
    EXPECT_EQ(editorWindow(), nullptr);

    // Unloaded with its window class gone, the DLL loads and opens its editor again.
    TearDown();
    SetUp();
    EXPECT_EQ(dispatch(effEditOpen, host), 1);
    EXPECT_NE(editorWindow(), nullptr);
    dispatch(effEditClose);
}

} // namespace
