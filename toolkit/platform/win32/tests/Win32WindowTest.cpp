// The Win32 back end in a real window system (Wine under Xvfb): mouse, wheel and key messages reach the
// controls as gestures, the window shows exactly the frame's pixels (read back with BitBlt), the timer
// fires through this thread's message loop, and the window class lives exactly as long as a frame.
// (Bad parents and many windows: tests/window.)
#include "CFrame.h"
#include "CKnob.h"
#include "CVSTGUITimer.h"
#include "GestureLog.h"
#include "ModuleHandle.h"
#include "Win32Frame.h"
#include "WindowCapture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>
#include <vector>

#include <windowsx.h>

namespace {

const CRect kEditorSize(0, 0, 171, 149);

// The thread timers' messages this thread's loop took, by timer id.
std::map<UINT_PTR, int> timerMessages;

// Runs this thread's message loop for a while, or until `done`, as a host's GUI thread does; answers
// whether `done` came.
bool pumpMessages(DWORD milliseconds, const std::function<bool()>& done = {}) {
    const DWORD start = GetTickCount();
    do {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_TIMER && message.hwnd == nullptr) {
                ++timerMessages[message.wParam];
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (done && done()) {
            return true;
        }
        Sleep(1);
    } while (GetTickCount() - start < milliseconds);
    return false;
}

class Counter : public CBaseObject {
  public:
    CMessageResult notify(CBaseObject* /*sender*/, const char* message) override {
        firings += message == CVSTGUITimer::kMsgTimer;
        return kMessageNotified;
    }
    int firings = 0;
};

BOOL CALLBACK countChild(HWND /*child*/, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

class Win32Window : public ::testing::Test {
  public:
    void SetUp() override {
        hInstance = GetModuleHandleW(nullptr);
        host = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300,
                               nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(host, nullptr);
        pumpMessages(50);
    }
    void TearDown() override { DestroyWindow(host); }

    void open(void* parent) {
        frame = new CFrame(kEditorSize, parent, &log);
        knob = new CKnob(CRect(40, 18, 130, 108), &log, 0, nullptr, nullptr);
        knob->setValue(0.5f);
        knob->setDefaultValue(0.5f);
        smallKnob = new CKnob(CRect(13, 108, 45, 140), &log, 1, nullptr, nullptr);
        frame->addView(knob);
        frame->addView(smallKnob);
    }
    HWND window() const { return static_cast<Win32Frame*>(frame->getPlatformFrame())->getWindow(); }
    int children() const {
        int count = 0;
        EnumChildWindows(host, countChild, reinterpret_cast<LPARAM>(&count));
        return count;
    }
    void send(UINT message, WPARAM keys, int x, int y) {
        SendMessageW(window(), message, keys, MAKELPARAM(x, y));
    }
    void wheel(WPARAM keys, int steps, int x, int y) {
        POINT where = {x, y};
        ClientToScreen(window(), &where);
        SendMessageW(window(), WM_MOUSEWHEEL, MAKEWPARAM(keys, steps * WHEEL_DELTA),
                     MAKELPARAM(where.x, where.y));
    }
    CPixelBuffer shown() {
        return captureWindow(window(), pixelIndex(kEditorSize.right), pixelIndex(kEditorSize.bottom));
    }

    HWND host = nullptr;
    GestureLog log;
    CFrame* frame = nullptr;
    CKnob* knob = nullptr;
    CKnob* smallKnob = nullptr;
};

TEST_F(Win32Window, MouseWheelAndKeyMessagesGiveWholeGesturesAndTheWindowShowsTheFramesPixels) {
    open(host);
    ASSERT_NE(window(), nullptr);
    EXPECT_EQ(GetParent(window()), host);

    // 20 px up and 10 px right, in four moves, with the mouse captured: 30 / 200 of the range.
    send(WM_LBUTTONDOWN, MK_LBUTTON, 85, 63);
    EXPECT_EQ(GetCapture(), window());
    for (int step = 1; step <= 4; ++step) {
        send(WM_MOUSEMOVE, MK_LBUTTON, 85 + 10 * step / 4, 63 - 20 * step / 4);
    }
    send(WM_LBUTTONUP, 0, 95, 43);
    EXPECT_EQ(GetCapture(), nullptr);
    const std::vector<std::string> drag = log.take();
    ASSERT_EQ(drag.size(), 6u);
    EXPECT_EQ(drag.front(), "begin 0");
    EXPECT_EQ(drag.back(), "end 0");
    EXPECT_NEAR(knob->getValue(), 0.65f, 1e-6);

    struct Step {
        const char* name;
        void (*act)(Win32Window& test);
        CKnob* control;
        float expected;
    };
    const Step steps[] = {
        {"Control-click resets to the default",
         [](Win32Window& t) { t.send(WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, 45, 23); }, knob, 0.5f},
        {"a wheel step adds 0.1", [](Win32Window& t) { t.wheel(0, 1, 20, 115); }, smallKnob, 0.1f},
        {"a wheel step back takes 0.1", [](Win32Window& t) { t.wheel(0, -1, 20, 115); }, smallKnob, 0.0f},
        {"Shift-wheel adds 0.01", [](Win32Window& t) { t.wheel(MK_SHIFT, 1, 20, 115); }, smallKnob, 0.01f},
        {"Control-wheel is still a whole step", [](Win32Window& t) { t.wheel(MK_CONTROL, 1, 20, 115); },
         smallKnob, 0.11f},
        {"the Up key adds 0.1 to the knob clicked last",
         [](Win32Window& t) { SendMessageW(t.window(), WM_KEYDOWN, VK_UP, 0); }, knob, 0.6f},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        step.act(*this);
        const std::string tag = std::to_string(step.control->getTag());
        const std::vector<std::string> events = log.take();
        ASSERT_EQ(events.size(), 3u);
        EXPECT_EQ(events.front(), "begin " + tag);
        EXPECT_EQ(events.back(), "end " + tag);
        EXPECT_NEAR(step.control->getValue(), step.expected, 1e-6);
    }

    RedrawWindow(window(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    pumpMessages(50);
    EXPECT_TRUE(shown().data() == frame->renderAll().data()) << "the window does not show the frame's pixels";
    frame->forget();
}

TEST_F(Win32Window, TheTimerFiresThroughThisThreadsMessageLoopAndARestartedOrStoppedOneLeavesNoTimer) {
    Counter counter;
    timerMessages.clear();
    const DWORD start = GetTickCount();
    auto* timer = new CVSTGUITimer(&counter, 20, true);
    ASSERT_TRUE(pumpMessages(5000, [&] { return counter.firings >= 10; }));
    const DWORD took = GetTickCount() - start;
    std::printf("20 ms thread timer: 10 firings in %lu ms\n", static_cast<unsigned long>(took));
    EXPECT_GE(took, 10 * 20 * 9 / 10) << "never sooner than its period (with the tick's coarseness)";
    ASSERT_EQ(timerMessages.size(), 1u);
    const UINT_PTR first = timerMessages.begin()->first;

    // Restarted with a new period: a new thread timer, and the first one killed, so no message of it
    // reaches the loop again (one may have been posted already).
    timer->setFireTime(30);
    timerMessages.clear();
    const int restarted = counter.firings;
    ASSERT_TRUE(pumpMessages(5000, [&] { return counter.firings >= restarted + 5; }));
    EXPECT_LE(timerMessages[first], 1) << "the first timer still runs";

    // Stopped by its last reference: no further message of any timer.
    timer->forget();
    const int last = counter.firings;
    pumpMessages(20);
    timerMessages.clear();
    pumpMessages(200);
    EXPECT_EQ(counter.firings, last) << "a stopped timer never fires";
    EXPECT_TRUE(timerMessages.empty())
        << "a thread timer was left running; it would call into an unloaded DLL";
}

TEST_F(Win32Window, TheWindowClassGoesWithTheLastFrameAndComesBackWithTheNext) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    const auto registered = [&] {
        return GetClassInfoExA(static_cast<HINSTANCE>(hInstance), Win32Frame::className(), &windowClass) != 0;
    };
    for (int cycle = 0; cycle < 2; ++cycle) {
        open(host);
        CFrame* second = new CFrame(kEditorSize, host, &log);
        EXPECT_EQ(children(), 2);
        frame->forget();
        EXPECT_TRUE(registered()) << "a frame still uses it";
        second->forget();
        EXPECT_FALSE(registered()) << "so that the DLL can be unloaded and loaded again";
        EXPECT_EQ(children(), 0);
    }
}

} // namespace
