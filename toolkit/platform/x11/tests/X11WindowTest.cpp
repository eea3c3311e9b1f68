// The X11 back end in a real X server (Xvfb): real pointer and key events through XTest reach the
// controls as gestures, the window shows exactly the frame's pixels, the timer fires on the window's own
// thread only while the window is open, a frame may go from inside its own thread, the desktop's
// opener starts without a shell, and the desktop's scale is read from its X resources. (Bad parents, no
// display, many windows and the editor at the desktop's scale: tests/window.)
#include "CControlListener.h"
#include "CFrame.h"
#include "CKnob.h"
#include "CVSTGUITimer.h"
#include "DesktopOpener.h"
#include "RecordingEditor.h"
#include "VSTGUIEditorInterface.h"
#include "X11Frame.h"
#include "X11Resources.h"
#include "XServer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

constexpr uint32_t kControlL = 0xffe3;
constexpr uint32_t kShiftL = 0xffe1;
constexpr uint32_t kUp = 0xff52;
const CRect kEditorSize(0, 0, 171, 149);

class X11Window : public ::testing::Test {
  protected:
    void open(void* parent, uint32_t period = 50) {
        frame = new CFrame(kEditorSize, parent, &editor);
        knob = new CKnob(CRect(40, 18, 130, 108), &editor, 0, nullptr, nullptr);
        knob->setValue(0.5f);
        knob->setDefaultValue(0.5f);
        smallKnob = new CKnob(CRect(13, 108, 45, 140), &editor, 1, nullptr, nullptr);
        frame->addView(knob);
        frame->addView(smallKnob);
        editor.setFrame(frame);
        // As the editor's open ends: the window's thread starts serving.
        timer.setFireTime(period);
    }
    void close() {
        // As the editor's close starts: the window's thread stops, this thread takes the window back.
        timer.setFireTime(150);
        editor.setFrame(nullptr);
        frame->forget();
        frame = nullptr;
    }
    xcb_window_t window() const { return static_cast<X11Frame*>(frame->getPlatformFrame())->getWindow(); }
    std::vector<std::string> drag(int fromX, int fromY, int dx, int dy) {
        server.moveTo(window(), fromX, fromY);
        server.button(1, true);
        for (int step = 1; step <= 4; ++step) {
            server.moveTo(window(), fromX + dx * step / 4, fromY + dy * step / 4);
        }
        server.button(1, false);
        return editor.waitFor("end 0");
    }

    XServer server;
    RecordingEditor editor;
    CVSTGUITimer timer{&editor, 150, true};
    CFrame* frame = nullptr;
    CKnob* knob = nullptr;
    CKnob* smallKnob = nullptr;
};

TEST_F(X11Window, RealPointerAndKeyEventsGiveWholeGesturesOnTheWindowsOwnThread) {
    open(reinterpret_cast<void*>(uintptr_t{server.host()}));
    EXPECT_FALSE(editor.isGuiThread()) << "the window's thread serves it now";

    // 20 px up and 10 px right, in four moves: 30 / 200 of the range.
    const std::vector<std::string> expected = {"begin 0", "value 0", "value 0",
                                               "value 0", "value 0", "end 0"};
    EXPECT_EQ(drag(85, 63, 10, -20), expected);
    EXPECT_NEAR(knob->getValue(), 0.65f, 1e-6);

    struct Step {
        const char* name;
        uint32_t modifierKeysym; // 0 for none
        uint8_t button;          // 0 for the Up key
        CKnob* control;
        float expected;
    };
    const Step steps[] = {
        {"Control-click resets to the default", kControlL, 1, knob, 0.5f},
        {"a wheel step up adds 0.1", 0, 4, smallKnob, 0.1f},
        {"a wheel step down takes 0.1", 0, 5, smallKnob, 0.0f},
        {"Shift-wheel adds 0.01", kShiftL, 4, smallKnob, 0.01f},
        {"the Up key after a click adds 0.1", 0, 0, knob, 0.6f},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        const CRect& area = step.control->getViewSize();
        server.moveTo(window(), static_cast<int>(area.left) + 5, static_cast<int>(area.top) + 5);
        const std::string tag = std::to_string(step.control->getTag());
        if (step.button == 0) {
            server.click(1);
            editor.waitFor("end " + tag);
            server.key(kUp, true);
            server.key(kUp, false);
        } else if (step.modifierKeysym != 0) {
            server.key(step.modifierKeysym, true);
            server.click(step.button);
            server.key(step.modifierKeysym, false);
        } else {
            server.click(step.button);
        }
        const std::vector<std::string> bracket = {"begin " + tag, "value " + tag, "end " + tag};
        EXPECT_EQ(editor.waitFor("end " + tag), bracket);
        EXPECT_NEAR(step.control->getValue(), step.expected, 1e-6);
    }

    // The window's thread lends this thread the window: what the server shows is what the frame draws.
    std::vector<uint32_t> drawn;
    ASSERT_TRUE(frame->getPlatformFrame()->withWindow([&] {
        EXPECT_TRUE(editor.isGuiThread());
        drawn = frame->renderAll().data();
    }));
    EXPECT_FALSE(editor.isGuiThread()) << "and takes it back";
    bool same = false;
    for (int attempt = 0; attempt < 50 && !same; ++attempt) {
        std::this_thread::sleep_for(10ms);
        same = server
                   .pixels(window(), static_cast<int>(kEditorSize.getWidth()),
                           static_cast<int>(kEditorSize.getHeight()))
                   .data() == drawn;
    }
    EXPECT_TRUE(same) << "the window does not show the frame's pixels";
    close();
}

TEST_F(X11Window, ANewKeyboardMapTakesEffectAtOnce) {
    open(reinterpret_cast<void*>(uintptr_t{server.host()}));
    const uint8_t spare = server.unusedKeycode();
    server.mapKeycode(spare, kUp);
    server.moveTo(window(), 50, 30);
    server.click(1);
    editor.waitFor("end 0");
    server.keycode(spare, true);
    server.keycode(spare, false);
    const std::vector<std::string> bracket = {"begin 0", "value 0", "end 0"};
    EXPECT_EQ(editor.waitFor("end 0"), bracket) << "the spare key is an Up key now";
    EXPECT_NEAR(knob->getValue(), 0.6f, 1e-6);
    server.mapKeycode(spare, 0);
    close();
}

TEST_F(X11Window, TheTimerFiresOnTheWindowsThreadOnlyWhileTheWindowIsOpen) {
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(editor.firingCount(), 0) << "no window, no firing";
    const int threadsBefore = threadCount();

    const auto start = std::chrono::steady_clock::now();
    open(reinterpret_cast<void*>(uintptr_t{server.host()}), 20);
    EXPECT_EQ(threadCount(), threadsBefore + 1);
    ASSERT_TRUE(editor.waitForFirings(10));
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    std::printf("20 ms timer: 10 firings on the window's thread in %.0f ms\n", took.count());
    EXPECT_GE(took, 10 * 20ms) << "never sooner than its period";
    EXPECT_FALSE(editor.anyFiringOffGuiThread());

    close();
    EXPECT_TRUE(editor.isGuiThread());
    EXPECT_EQ(threadCount(), threadsBefore);
    const int firings = editor.firingCount();
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(editor.firingCount(), firings) << "a closed window's timer has no effect";
}

TEST_F(X11Window, AFrameDestroyedFromInsideItsOwnTimerLetsItsThreadGo) {
    const int threads = threadCount();
    open(reinterpret_cast<void*>(uintptr_t{server.host()}));
    editor.closeFromTimer = true;
    for (int attempt = 0; attempt < 200 && threadCount() != threads; ++attempt) {
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_EQ(threadCount(), threads);
    EXPECT_FALSE(editor.hasFrame());
    EXPECT_TRUE(server.children(server.host()).empty());
    frame = nullptr;
}

TEST(DesktopOpener, StartsTheOpenerWithoutAShellAndLeavesNoChild) {
    char folder[] = "/tmp/velmora-opener-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string dir = folder;
    const std::string log = dir + "/opened";
    std::ofstream(dir + "/xdg-open") << "#!/bin/sh\necho noise\nprintf '%s|' \"$@\" > " << log
                                     << ".tmp\n/bin/mv " << log << ".tmp " << log << "\n";
    chmod((dir + "/xdg-open").c_str(), 0755);
    const std::string path = std::getenv("PATH");
    setenv("PATH", dir.c_str(), 1);
    const std::string url = "https://example.invalid/a b;touch " + dir + "/shell";
    testing::internal::CaptureStdout();
    openWithDesktop(url.c_str());
    setenv("PATH", path.c_str(), 1);
    for (int attempt = 0; attempt < 200 && access(log.c_str(), F_OK) != 0; ++attempt) {
        std::this_thread::sleep_for(10ms);
    }
    std::string opened;
    std::ifstream file(log);
    std::getline(file, opened);
    EXPECT_EQ(opened, url + "|") << "one argument, exactly the address";
    EXPECT_EQ(access((dir + "/shell").c_str(), F_OK), -1) << "no shell read the address";
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1) << "no child of ours is left to reap";
    std::filesystem::remove_all(dir);
}

TEST(X11Resources, TheDesktopsScaleIsXftDpiOver96WithinOneToFour) {
    const struct {
        const char* resources;
        double factor;
    } cases[] = {
        {"Xft.dpi:\t192\n", 2.0},
        {"Xft.antialias:\t1\nXft.dpi:\t144\nXft.hinting:\t1\n", 1.5},
        {"  Xft.dpi :  120  ", 1.25},
        {"Xft.dpi:\t96.0\n", 1.0},
        {"Xft.dpi:\t96\nXft.dpi:\t384\n", 4.0},
        {"", 0.0},
        {"Xft.hinting:\t1\n", 0.0},
        {"Xft.dpi:\t72\n", 0.0},
        {"Xft.dpi:\t480\n", 0.0},
        {"Xft.dpi:\t192dpi\n", 0.0},
        {"Xft.dpi:\tnan\n", 0.0},
        {"Xft.dpix:\t192\n", 0.0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(x11::scaleFromResources(c.resources), c.factor) << c.resources;
    }
    XServer server;
    server.setResources("Xft.dpi:\t168\n");
    CFrame* frame = new CFrame(kEditorSize, reinterpret_cast<void*>(uintptr_t{server.host()}), nullptr);
    EXPECT_EQ(frame->getPlatformFrame()->systemScaleFactor(), 1.75);
    server.setResources("");
    frame->forget();
}

} // namespace
