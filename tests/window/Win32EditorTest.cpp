// Velmora.dll's editor under Wine on the private Xvfb, loaded and driven as a Windows host does: the
// editor opens as a child of the host's window, mouse messages make automation the host sees, the window
// (read back with BitBlt) shows the committed golden pictures, also after host automation from another
// thread, the host keeps its keyboard and its accelerators, many windows, bad parents and unloading the
// DLL leave nothing behind, and a host's scale request or the system's DPI size the window.
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
#include <ostream>
#include <string>
#include <thread>
#include <vector>

namespace {

const std::string kGoldenDir = VELMORA_EDITOR_GOLDEN_DIR;
constexpr int kWidth = 171;
constexpr int kHeight = 149;

typedef AEffect* (*EntryPoint)(audioMasterCallback);

// The host's main window: it hears the keys and the accelerator commands that reach it.
constexpr WORD kSaveCommand = 1001;
struct HostMessage {
    UINT message;
    WPARAM key; // the virtual key, the character, or the command
    bool operator==(const HostMessage& other) const { return message == other.message && key == other.key; }
    friend std::ostream& operator<<(std::ostream& out, const HostMessage& heard) {
        const char* name = heard.message == WM_KEYDOWN ? "down"
                           : heard.message == WM_KEYUP ? "up"
                           : heard.message == WM_CHAR  ? "char"
                                                       : "command";
        return out << name << " " << heard.key;
    }
};
std::vector<HostMessage> hostHeard;
LRESULT CALLBACK hostProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN || message == WM_KEYUP || message == WM_CHAR) {
        hostHeard.push_back({message, wParam});
    } else if (message == WM_COMMAND) {
        hostHeard.push_back({message, LOWORD(wParam)});
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
HWND makeHostWindow() {
    static const ATOM hostClass = [] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = hostProcedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"VelmoraTestHost";
        return RegisterClassW(&windowClass);
    }();
    return CreateWindowExW(0, reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(hostClass)), L"host",
                           WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr, nullptr,
                           nullptr);
}
// Control+S saves, as in most hosts.
HACCEL hostAccelerators() {
    static ACCEL save = {FVIRTKEY | FCONTROL, 'S', kSaveCommand};
    static const HACCEL table = CreateAcceleratorTableW(&save, 1);
    return table;
}

// The host's message loop, accelerators first, until `done` or two seconds; the milliseconds it took, or
// -1.
long pumpUntil(const std::function<bool()>& done, DWORD limit = 2000) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (TranslateAcceleratorW(GetAncestor(message.hwnd, GA_ROOT), hostAccelerators(), &message)) {
                continue;
            }
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

// The DLL's calls of BeginPaint and EndPaint, counted by pointing its import table at counting
// wrappers: a paint that is begun and never ended leaks a device context, which nothing else shows
// under Wine.
class PaintCalls {
  public:
    static void watch(HMODULE library) {
        auto* base = reinterpret_cast<BYTE*>(library);
        const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(
            base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
        const IMAGE_DATA_DIRECTORY& imports =
            headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        for (auto* module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
             module->Name != 0; ++module) {
            auto* name = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->OriginalFirstThunk);
            auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk);
            for (; name->u1.AddressOfData != 0; ++name, ++slot) {
                if (IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal)) {
                    continue;
                }
                const char* function = reinterpret_cast<const char*>(
                    reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + name->u1.AddressOfData)->Name);
                if (std::strcmp(function, "BeginPaint") == 0) {
                    point(slot, reinterpret_cast<ULONG_PTR>(&countedBeginPaint));
                } else if (std::strcmp(function, "EndPaint") == 0) {
                    point(slot, reinterpret_cast<ULONG_PTR>(&countedEndPaint));
                }
            }
        }
    }
    static inline int begun = 0;
    static inline int ended = 0;

  private:
    static void point(IMAGE_THUNK_DATA* slot, ULONG_PTR function) {
        DWORD protection = 0;
        VirtualProtect(slot, sizeof(*slot), PAGE_READWRITE, &protection);
        slot->u1.Function = function;
        VirtualProtect(slot, sizeof(*slot), protection, &protection);
    }
    static HDC WINAPI countedBeginPaint(HWND window, PAINTSTRUCT* paint) {
        ++begun;
        return BeginPaint(window, paint);
    }
    static BOOL WINAPI countedEndPaint(HWND window, const PAINTSTRUCT* paint) {
        ++ended;
        return EndPaint(window, paint);
    }
};

class Win32Editor : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* path = VELMORA_PLUGIN_PATH;
        library = LoadLibraryW(std::wstring(path, path + std::strlen(path)).c_str());
        ASSERT_NE(library, nullptr);
        PaintCalls::watch(library);
        entry =
            reinterpret_cast<EntryPoint>(reinterpret_cast<void*>(GetProcAddress(library, "VSTPluginMain")));
        effect = entry(GestureHost::callback);
        host = makeHostWindow();
        pumpUntil([] { return false; }, 50);
        GestureHost::take();
        hostHeard.clear();
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
    CPixelBuffer shown(int scale = 1) {
        return captureWindow(editorWindow(), kWidth * scale, kHeight * scale);
    }
    // A key as the keyboard gives it: posted to the window with the focus, the keyboard's state set.
    void key(WORD virtualKey, bool down) {
        BYTE state[256];
        GetKeyboardState(state);
        state[virtualKey] = down ? 0x80 : 0;
        SetKeyboardState(state);
        const LPARAM scanCode = static_cast<LPARAM>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC)) << 16;
        PostMessageW(GetFocus(), down ? WM_KEYDOWN : WM_KEYUP, virtualKey,
                     1 | scanCode | (down ? 0 : (LPARAM{3} << 30)));
        pumpUntil([] { return false; }, 10);
    }
    void type(WORD virtualKey, WORD modifier = 0) {
        if (modifier != 0) {
            key(modifier, true);
        }
        key(virtualKey, true);
        key(virtualKey, false);
        if (modifier != 0) {
            key(modifier, false);
        }
    }
    std::vector<HostMessage> heard() {
        std::vector<HostMessage> taken;
        taken.swap(hostHeard);
        return taken;
    }
    // How long until the window shows a golden picture; or -1 with the difference when it never does.
    long untilShown(const char* golden, std::string& difference, int scale = 1) {
        const GoldenWindow expected(kGoldenDir + "/" + golden);
        const long took = pumpUntil([&] { return expected.matches(shown(scale)); });
        if (took < 0) {
            difference = expected.difference(shown(scale));
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

TEST_F(Win32Editor, TheHostKeepsItsKeyboardAndAcceleratorsAndTheEditorTakesOnlyTheArrowsOfTheClickedKnob) {
    ASSERT_EQ(dispatch(effEditOpen, host), 1);
    send(WM_LBUTTONDOWN, MK_LBUTTON, 85, 60);
    send(WM_MOUSEMOVE, MK_LBUTTON, 85, 40);
    send(WM_LBUTTONUP, 0, 85, 40);
    ASSERT_EQ(takeCalls().size(), 3u);
    EXPECT_EQ(GetFocus(), editorWindow()) << "a click gives the editor the keys, for the arrows";

    // Keys the editor does not use go to the host once; its accelerators never reach the editor.
    type('A');
    type(VK_SPACE);
    type('S', VK_CONTROL);
    const std::vector<HostMessage> unused = {
        {WM_KEYDOWN, 'A'}, {WM_CHAR, 'a'},        {WM_KEYUP, 'A'},          {WM_KEYDOWN, VK_SPACE},
        {WM_CHAR, ' '},    {WM_KEYUP, VK_SPACE},  {WM_KEYDOWN, VK_CONTROL}, {WM_COMMAND, kSaveCommand},
        {WM_KEYUP, 'S'},   {WM_KEYUP, VK_CONTROL}};
    EXPECT_EQ(heard(), unused);
    EXPECT_TRUE(takeCalls().empty());

    // The arrows step the knob the user clicked, with the edit bracket around each step.
    struct Arrow {
        WORD key;
        WORD modifier;
        float expected;
    };
    for (const Arrow& arrow :
         {Arrow{VK_UP, 0, 0.7f}, Arrow{VK_RIGHT, 0, 0.8f}, Arrow{VK_UP, VK_SHIFT, 0.81f}}) {
        type(arrow.key, arrow.modifier);
        const std::vector<HostCall> step = takeCalls();
        ASSERT_EQ(step.size(), 3u);
        EXPECT_EQ(step[0].opcode, audioMasterBeginEdit);
        EXPECT_NEAR(step[1].value, arrow.expected, 1e-6);
        EXPECT_EQ(step[2].opcode, audioMasterEndEdit);
    }
    const std::vector<HostMessage> shiftOnly = {{WM_KEYDOWN, VK_SHIFT}, {WM_KEYUP, VK_SHIFT}};
    EXPECT_EQ(heard(), shiftOnly) << "no arrow reaches the host";
    VstIntPtr used = effect->dispatcher(effect, effEditKeyDown, 0, VKEY_UP, nullptr, 0.0f);
    EXPECT_EQ(used, 1) << "keys the host passes on step the knob too";
    EXPECT_NEAR(effect->getParameter(effect, 0), 0.91f, 1e-6);

    // Once the pointer leaves the editor, the keyboard is the host's again.
    SendMessageW(editorWindow(), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(GetFocus(), host);
    type(VK_UP);
    const std::vector<HostMessage> up = {{WM_KEYDOWN, VK_UP}, {WM_KEYUP, VK_UP}};
    EXPECT_EQ(heard(), up);
    EXPECT_NEAR(effect->getParameter(effect, 0), 0.91f, 1e-6);
    takeCalls();
    dispatch(effEditClose);
    EXPECT_EQ(GetFocus(), host);
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
    // Each count first proves that it sees one new object; one that does not (GetGuiResources answers 0
    // under Wine) measures nothing and is left out, saying so.
    struct Count {
        const char* name;
        std::function<DWORD()> measure;
        std::function<std::function<void()>()> makeOne; // answers how to release it
        DWORD before = 0;
        bool works = false;
    };
    Count counts[] = {
        {"GDI objects", [&] { return GetGuiResources(process, GR_GDIOBJECTS); },
         [] {
             const HBRUSH brush = CreateSolidBrush(0);
             return std::function<void()>([brush] { DeleteObject(brush); });
         }},
        {"USER objects", [&] { return GetGuiResources(process, GR_USEROBJECTS); },
         [] {
             const HMENU menu = CreateMenu();
             return std::function<void()>([menu] { DestroyMenu(menu); });
         }},
        {"handles",
         [&] {
             DWORD handles = 0;
             GetProcessHandleCount(process, &handles);
             return handles;
         },
         [] {
             const HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
             return std::function<void()>([event] { CloseHandle(event); });
         }},
    };
    const int begun = PaintCalls::begun;
    cycles(20);
    EXPECT_GT(PaintCalls::begun, begun) << "the paint count sees the editor's paints";
    for (Count& count : counts) {
        const DWORD before = count.measure();
        const std::function<void()> release = count.makeOne();
        count.works = count.measure() == before + 1;
        release();
        count.before = count.measure();
        if (!count.works) {
            std::printf("%s cannot be counted here: not checked\n", count.name);
        }
    }
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
    EXPECT_EQ(editorWindow(), nullptr);
    EXPECT_EQ(PaintCalls::ended, PaintCalls::begun) << "every paint begun is ended";
    for (const Count& count : counts) {
        if (count.works) {
            EXPECT_EQ(count.measure(), count.before) << count.name;
        }
    }
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

TEST_F(Win32Editor, AHostsScaleRequestSizesTheWindowWhichShowsTheGoldenPictureAtThatScale) {
    const VstIntPtr taken = effect->dispatcher(effect, effVendorSpecific, vstFourCC('P', 'r', 'e', 'S'),
                                               vstFourCC('A', 'e', 'C', 's'), nullptr, 2.0f);
    ASSERT_EQ(taken, 1);
    // Room for the whole window inside the host's.
    SetWindowPos(host, nullptr, 0, 0, 800, 700, SWP_NOMOVE | SWP_NOZORDER);
    ASSERT_EQ(dispatch(effEditOpen, host), 1);
    RECT client{};
    GetClientRect(editorWindow(), &client);
    EXPECT_EQ(client.right, 2 * kWidth);
    EXPECT_EQ(client.bottom, 2 * kHeight);
    std::string difference;
    EXPECT_GE(untilShown("editor-default-2x.png", difference, 2), 0) << difference;
    dispatch(effEditClose);
}

// The system DPI as Wine reads it, once, as a process starts (HKCU\Control Panel\Desktop, LogPixels),
// while this lives; then as it was. Window tests run one at a time, so no other host sees it.
class SystemDpi {
  public:
    explicit SystemDpi(DWORD dpi) {
        RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr);
        DWORD size = sizeof(before);
        hadValue = RegQueryValueExA(key, kValue, nullptr, nullptr, reinterpret_cast<BYTE*>(&before), &size) ==
                   ERROR_SUCCESS;
        RegSetValueExA(key, kValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof(dpi));
    }
    ~SystemDpi() {
        if (hadValue) {
            RegSetValueExA(key, kValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&before), sizeof(before));
        } else {
            RegDeleteValueA(key, kValue);
        }
        RegCloseKey(key);
    }

  private:
    static constexpr const char* kValue = "LogPixels";
    HKEY key = nullptr;
    DWORD before = 0;
    bool hadValue = false;
};

// velmora-dpi-host's line (see Win32DpiHost.cpp).
std::string runDpiHost() {
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    CreatePipe(&readEnd, &writeEnd, &inherit, 0);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    std::string command = std::string("\"") + VELMORA_DPI_HOST_PATH + "\" \"" + VELMORA_PLUGIN_PATH +
                          "\" \"" + kGoldenDir + "/editor-default-2x.png\"";
    PROCESS_INFORMATION process{};
    const bool started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                        &startup, &process) != 0;
    CloseHandle(writeEnd);
    std::string line;
    char buffer[256];
    DWORD got = 0;
    while (started && ReadFile(readEnd, buffer, sizeof(buffer), &got, nullptr) && got > 0) {
        line.append(buffer, got);
    }
    CloseHandle(readEnd);
    if (started) {
        WaitForSingleObject(process.hProcess, INFINITE);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    return line.substr(0, line.find_last_not_of("\r\n") + 1);
}

// (Wine 8 gives every window the system DPI, so a host that is not DPI-aware, which Windows stretches and
// whose windows read 96, cannot be shown here.)
TEST_F(Win32Editor, APerMonitorAwareHostAtTwiceTheSystemDpiGetsTheWindowAtTwiceTheSize) {
    std::string seen;
    {
        const SystemDpi twice(192);
        seen = runDpiHost();
    }
    // DPI, size, the host window's awareness taken, the thread's own back, pixels off the golden picture,
    // the size the host was told.
    EXPECT_EQ(seen, "192 342 298 1 1 0 342x298");
}

} // namespace
