// The X11 back end as a plug-in interface that wants every call on the host's GUI thread uses it: the
// host's idle calls serve the window (events, the editor's timer, repaints) on that thread, and the
// platform starts no thread of its own.
#include "CKnob.h"
#include "RecordingEditor.h"
#include "X11Frame.h"
#include "XServer.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

using namespace std::chrono_literals;

TEST(X11HostIdle, TheHostsIdleCallsServeTheWindowOnItsThreadAndNoOtherThreadStarts) {
    XServer server;
    RecordingEditor editor;
    CVSTGUITimer timer(&editor, 150, true);
    const int threads = threadCount();
    editor.setGuiThread(currentThread());
    auto* frame =
        new CFrame(CRect(0, 0, 171, 149), reinterpret_cast<void*>(uintptr_t{server.host()}), &editor);
    auto* knob = new CKnob(CRect(40, 18, 130, 108), &editor, 0, nullptr, nullptr);
    knob->setValue(0.5f);
    frame->addView(knob);
    editor.setFrame(frame);
    timer.setFireTime(20);
    IPlatformFrame& window = *frame->getPlatformFrame();
    const xcb_window_t id = static_cast<X11Frame&>(window).getWindow();
    EXPECT_EQ(threadCount(), threads);

    server.moveTo(id, 85, 63);
    server.button(1, true);
    server.moveTo(id, 85, 43);
    server.button(1, false);
    const std::vector<std::string> drag = {"begin 0", "value 0", "end 0"};
    EXPECT_EQ(editor.waitFor("end 0", [&] { window.hostIdle(); }), drag);
    EXPECT_NEAR(knob->getValue(), 0.6f, 1e-6);

    // The timer fires only inside idle calls, on this thread.
    const int before = editor.firingCount();
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(editor.firingCount(), before) << "no idle call, no firing";
    window.hostIdle();
    EXPECT_EQ(editor.firingCount(), before + 1) << "the first idle call after the period fires once";
    EXPECT_FALSE(editor.anyFiringOffGuiThread());

    // What the server shows, once an idle call repainted, is what the frame draws.
    const std::vector<uint32_t> drawn = frame->renderAll().data();
    frame->invalid();
    window.hostIdle();
    EXPECT_TRUE(server.pixels(id, 171, 149).data() == drawn);
    EXPECT_FALSE(window.handOverClose()) << "the caller always closes at once";
    EXPECT_EQ(threadCount(), threads);
    editor.setFrame(nullptr);
    frame->close();
    EXPECT_TRUE(server.children(server.host()).empty());
}

} // namespace
