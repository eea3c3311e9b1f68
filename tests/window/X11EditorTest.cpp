// Velmora.so's editor in a real X server (Xvfb), loaded and driven as a Linux VST 2.4 host does: the
// editor opens in the host's window (its X11 window id in effEditOpen's pointer), real pointer events
// through XTest make automation the host sees, the window shows the committed golden pictures, host
// automation from another thread repaints within a timer period, whether or not the host sends
// effEditIdle; the host keeps its keyboard; closing never waits for a host that waits for its own GUI
// thread; nothing is left behind by bad parents, no display (or one that never answers) or many windows.
#include "CPixelBuffer.h"
#include "GestureHost.h"
#include "GoldenWindow.h"
#include "VstStructures.h"
#include "XServer.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const std::string kGoldenDir = VELMORA_EDITOR_GOLDEN_DIR;
constexpr int kWidth = 171;
constexpr int kHeight = 149;
constexpr uint32_t kControlL = 0xffe3;
constexpr uint32_t kShiftL = 0xffe1;
constexpr uint32_t kUp = 0xff52;
constexpr uint32_t kDown = 0xff54;
constexpr uint32_t kRight = 0xff53;
constexpr uint32_t kSpace = 0x20;
constexpr uint32_t kLetterA = 0x61;
constexpr uint32_t kLetterS = 0x73;

typedef AEffect* (*EntryPoint)(audioMasterCallback);

// A host that sends effEditIdle every 20 ms, and one that never does.
class X11Editor : public ::testing::TestWithParam<bool> {
  protected:
    static void SetUpTestSuite() {
        library = dlopen(VELMORA_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(library, nullptr) << dlerror();
        entry = reinterpret_cast<EntryPoint>(dlsym(library, "VSTPluginMain"));
    }
    static void TearDownTestSuite() { dlclose(library); }
    void SetUp() override {
        effect = entry(GestureHost::callback);
        GestureHost::take();
    }
    void TearDown() override { dispatch(effClose); }

    VstIntPtr dispatch(VstInt32 opcode, VstIntPtr value = 0, void* ptr = nullptr, VstInt32 index = 0) {
        return effect->dispatcher(effect, opcode, index, value, ptr, 0.0f);
    }
    void* hostWindow() const { return reinterpret_cast<void*>(uintptr_t{server.host()}); }
    xcb_window_t editorWindow() {
        const std::vector<xcb_window_t> children = server.children(server.host());
        return children.size() == 1 ? children.front() : 0;
    }
    // The host's GUI thread waiting for something, idling the editor every 20 ms if it is that host.
    bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 2000ms) {
        const auto end = Clock::now() + limit;
        auto nextIdle = Clock::now();
        while (!done()) {
            if (Clock::now() > end) {
                return false;
            }
            if (GetParam() && Clock::now() >= nextIdle) {
                dispatch(effEditIdle);
                nextIdle += 20ms;
            }
            std::this_thread::sleep_for(1ms);
        }
        return true;
    }
    std::vector<HostCall> gestureOn(VstInt32 index) {
        std::vector<HostCall> calls;
        waitUntil([&] {
            for (const HostCall& call : GestureHost::take()) {
                calls.push_back(call);
            }
            return !calls.empty() && calls.back().opcode == audioMasterEndEdit && calls.back().index == index;
        });
        return calls;
    }
    CPixelBuffer shown(double scale = 1) {
        return server.pixels(editorWindow(), static_cast<int>(std::lround(kWidth * scale)),
                             static_cast<int>(std::lround(kHeight * scale)));
    }
    // How long until the window shows a golden picture; or 0 ms with the difference when it never does.
    std::chrono::milliseconds untilShown(const std::string& golden, std::string& difference,
                                         double scale = 1) {
        const GoldenWindow expected(kGoldenDir + "/" + golden);
        const auto start = Clock::now();
        if (waitUntil([&] { return expected.matches(shown(scale)); })) {
            return std::chrono::ceil<std::chrono::milliseconds>(Clock::now() - start);
        }
        difference = expected.difference(shown(scale));
        return 0ms;
    }

    static void* library;
    static EntryPoint entry;
    XServer server;
    AEffect* effect = nullptr;
};

void* X11Editor::library = nullptr;
EntryPoint X11Editor::entry = nullptr;

TEST_P(X11Editor, RealPointerEventsOnTheKnobsBecomeAutomationTheHostSees) {
    ASSERT_EQ(dispatch(effEditOpen, 0, hostWindow()), 1);
    ASSERT_NE(editorWindow(), 0u);

    // From the knob's centre 20 px up and 10 px right, in four moves: 0.5 + 30 / 200.
    server.moveTo(editorWindow(), 85, 63);
    server.button(1, true);
    for (int step = 1; step <= 4; ++step) {
        server.moveTo(editorWindow(), 85 + 10 * step / 4, 63 - 20 * step / 4);
    }
    server.button(1, false);
    const std::vector<HostCall> drag = gestureOn(0);
    ASSERT_EQ(drag.size(), 6u);
    EXPECT_EQ(drag.front().opcode, audioMasterBeginEdit);
    float previous = 0.5f;
    for (std::size_t i = 1; i + 1 < drag.size(); ++i) {
        EXPECT_EQ(drag[i].opcode, audioMasterAutomate);
        EXPECT_EQ(drag[i].index, 0);
        EXPECT_GT(drag[i].value, previous) << "one notification per change, each with the new value";
        previous = drag[i].value;
    }
    EXPECT_FLOAT_EQ(previous, 0.65f);
    EXPECT_FLOAT_EQ(effect->getParameter(effect, 0), 0.65f);

    struct Click {
        const char* name;
        int x, y;
        uint8_t button;
        bool control;
        VstInt32 index;
        float expected;
    };
    const Click clicks[] = {
        {"Control-click resets the main knob", 85, 63, 1, true, 0, 0.5f},
        {"a wheel step on DRIVE adds 0.1", 29, 124, 4, false, 1, 0.1f},
    };
    for (const Click& click : clicks) {
        SCOPED_TRACE(click.name);
        server.moveTo(editorWindow(), click.x, click.y);
        if (click.control) {
            server.key(kControlL, true);
        }
        server.click(click.button);
        if (click.control) {
            server.key(kControlL, false);
        }
        const std::vector<HostCall> calls = gestureOn(click.index);
        ASSERT_EQ(calls.size(), 3u);
        EXPECT_EQ(calls[1].opcode, audioMasterAutomate);
        EXPECT_FLOAT_EQ(calls[1].value, click.expected);
        EXPECT_FLOAT_EQ(effect->getParameter(effect, click.index), click.expected);
    }
    dispatch(effEditClose);
    EXPECT_EQ(editorWindow(), 0u);
}

TEST_P(X11Editor, TheWindowShowsTheGoldenPicturesAndHostAutomationFromAnotherThreadWithinATimerPeriod) {
    ASSERT_EQ(dispatch(effEditOpen, 0, hostWindow()), 1);
    std::string difference;
    EXPECT_NE(untilShown("editor-default.png", difference), 0ms) << difference;

    server.moveTo(editorWindow(), 85, 60);
    server.button(1, true);
    server.moveTo(editorWindow(), 85, 120);
    server.button(1, false);
    gestureOn(0);
    EXPECT_NE(untilShown("editor-knob-0.2.png", difference), 0ms) << "after a drag to 0.2: " << difference;

    for (const AutomatedState& state : automatedStates()) {
        automateFromAnotherThread(effect, state);
        const std::chrono::milliseconds latency = untilShown(state.golden, difference);
        std::printf("%s effEditIdle: host automation shown after %lld ms (%s)\n",
                    GetParam() ? "with" : "without", static_cast<long long>(latency.count()), state.golden);
        EXPECT_NE(latency, 0ms) << state.golden << ": " << difference;
        // The next firing of the 50 ms timer applies and repaints the change (the editor tests prove
        // that on a virtual clock); here, only a bound that a loaded machine keeps.
        EXPECT_LE(latency, 1000ms) << state.golden;
    }
    dispatch(effEditClose);
}

// The desktop's scale for as long as it lives, as GNOME and KDE set it at 200 %.
struct DesktopAtTwiceTheScale {
    explicit DesktopAtTwiceTheScale(XServer& x) : server(x) {
        server.setResources("Xft.antialias:\t1\nXft.dpi:\t192\n");
    }
    ~DesktopAtTwiceTheScale() { server.setResources(""); }
    XServer& server;
};

TEST_P(X11Editor, OnADesktopAtTwiceTheScaleTheWindowIsTwiceTheSizeADragTwiceAsLongAndTheHostsRequestWins) {
    // The automation of a drag up from the main knob's centre in four moves, at a scale.
    const auto dragUp = [&](int pixels, int scale) {
        EXPECT_EQ(dispatch(effEditOpen, 0, hostWindow()), 1);
        server.moveTo(editorWindow(), 85 * scale, 63 * scale);
        server.button(1, true);
        for (int step = 1; step <= 4; ++step) {
            server.moveTo(editorWindow(), 85 * scale, 63 * scale - pixels * step / 4);
        }
        server.button(1, false);
        std::vector<float> values;
        for (const HostCall& call : gestureOn(0)) {
            values.push_back(call.opcode == audioMasterAutomate ? call.value : -1.0f);
        }
        dispatch(effEditClose);
        effect->setParameter(effect, 0, 0.5f);
        return values;
    };
    const std::vector<float> atOne = dragUp(40, 1);
    ASSERT_EQ(atOne.size(), 6u) << "begin, four changes, end";
    EXPECT_FLOAT_EQ(atOne[4], 0.7f);

    const DesktopAtTwiceTheScale desktop(server);
    ASSERT_EQ(dispatch(effEditOpen, 0, hostWindow()), 1);
    EXPECT_EQ(server.size(editorWindow()), std::make_pair(2 * kWidth, 2 * kHeight));
    std::string difference;
    EXPECT_NE(untilShown("editor-default-2x.png", difference, 2), 0ms) << difference;
    // The host's request, from its GUI thread while the window's own thread serves the window.
    EXPECT_EQ(effect->dispatcher(effect, effVendorSpecific, vstFourCC('P', 'r', 'e', 'S'),
                                 vstFourCC('A', 'e', 'C', 's'), nullptr, 1.5f),
              1);
    EXPECT_NE(untilShown("editor-default-1.5x.png", difference, 1.5), 0ms) << difference;
    EXPECT_EQ(server.size(editorWindow()), std::make_pair(257, 224));
    EXPECT_EQ(effect->dispatcher(effect, effVendorSpecific, vstFourCC('P', 'r', 'e', 'S'),
                                 vstFourCC('A', 'e', 'C', 's'), nullptr, 2.0f),
              1);
    dispatch(effEditClose);
    EXPECT_EQ(dragUp(80, 2), atOne);
}

// Presses and releases each key, holding the modifier (0: none).
void type(XServer& server, std::initializer_list<uint32_t> keys, uint32_t modifier = 0) {
    for (const uint32_t key : keys) {
        if (modifier != 0) {
            server.key(modifier, true);
        }
        server.key(key, true);
        server.key(key, false);
        if (modifier != 0) {
            server.key(modifier, false);
        }
    }
}

std::vector<XServer::HostKey> pressAndRelease(uint32_t keysym, bool control = false) {
    return {{keysym, true, control}, {keysym, false, control}};
}

TEST_P(X11Editor, TheHostKeepsItsKeyboardAndTheEditorTakesOnlyTheArrowsForTheKnobItsUserClicked) {
    server.focusHost();
    ASSERT_EQ(dispatch(effEditOpen, 0, hostWindow()), 1);
    server.moveTo(editorWindow(), 85, 63);
    server.button(1, true);
    server.moveTo(editorWindow(), 85, 43);
    server.button(1, false);
    ASSERT_EQ(gestureOn(0).size(), 3u);

    // Back over the host, after a drag: every key is the host's, once.
    server.moveTo(server.host(), 300, 250);
    server.key(kControlL, true);
    type(server, {kLetterS});
    server.key(kControlL, false);
    type(server, {kSpace, kLetterA});
    const std::vector<XServer::HostKey> overHost = {
        {kControlL, true, false}, {kLetterS, true, true}, {kLetterS, false, true}, {kControlL, false, true},
        {kSpace, true, false},    {kSpace, false, false}, {kLetterA, true, false}, {kLetterA, false, false}};
    EXPECT_EQ(server.hostKeys(overHost.size()), overHost);
    EXPECT_TRUE(GestureHost::take().empty());

    // Over the editor, after a click on the main knob: the arrows step it, every other key is the host's.
    server.moveTo(editorWindow(), 85, 63);
    server.click(1);
    gestureOn(0);
    struct Arrow {
        const char* name;
        uint32_t keysym;
        uint32_t modifier;
        float expected;
        std::vector<XServer::HostKey> hostHears;
    };
    const Arrow arrows[] = {
        {"Up adds 0.1", kUp, 0, 0.7f, {}},
        {"Right adds 0.1", kRight, 0, 0.8f, {}},
        {"Shift+Up adds 0.01", kUp, kShiftL, 0.81f, {{kShiftL, true, false}, {kShiftL, false, false}}},
        {"Down takes 0.1", kDown, 0, 0.71f, {}},
    };
    for (const Arrow& arrow : arrows) {
        SCOPED_TRACE(arrow.name);
        type(server, {arrow.keysym}, arrow.modifier);
        const std::vector<HostCall> step = gestureOn(0);
        ASSERT_EQ(step.size(), 3u);
        EXPECT_EQ(step[0].opcode, audioMasterBeginEdit);
        EXPECT_EQ(step[1].opcode, audioMasterAutomate);
        EXPECT_NEAR(step[1].value, arrow.expected, 1e-6);
        EXPECT_NEAR(effect->getParameter(effect, 0), arrow.expected, 1e-6);
        EXPECT_EQ(server.hostKeys(arrow.hostHears.size()), arrow.hostHears) << "the host hears no arrow";
    }
    type(server, {kLetterA, kSpace});
    std::vector<XServer::HostKey> unused = pressAndRelease(kLetterA);
    for (const XServer::HostKey& key : pressAndRelease(kSpace)) {
        unused.push_back(key);
    }
    EXPECT_EQ(server.hostKeys(unused.size()), unused) << "keys the editor does not use reach the host once";
    EXPECT_TRUE(GestureHost::take().empty());
    dispatch(effEditClose);
}

TEST_P(X11Editor, KeysTheHostPassesOnStepTheKnobItsUserClicked) {
    ASSERT_EQ(dispatch(effEditOpen, 0, hostWindow()), 1);
    server.moveTo(editorWindow(), 85, 63);
    server.click(1);
    gestureOn(0);
    EXPECT_EQ(dispatch(effEditKeyDown, VKEY_UP), 1);
    const std::vector<HostCall> step = gestureOn(0);
    ASSERT_EQ(step.size(), 3u);
    EXPECT_NEAR(step[1].value, 0.6f, 1e-6);
    EXPECT_NEAR(effect->getParameter(effect, 0), 0.6f, 1e-6);
    EXPECT_EQ(dispatch(effEditKeyUp, VKEY_UP), 0);
    EXPECT_EQ(dispatch(effEditKeyDown, 0, nullptr, 'a'), 0)
        << "a key the editor does not use stays the host's";
    EXPECT_EQ(dispatch(effEditKeyDown, VKEY_SPACE), 0);
    EXPECT_TRUE(GestureHost::take().empty());
    dispatch(effEditClose);
    EXPECT_EQ(dispatch(effEditKeyDown, VKEY_UP), 0) << "no window, no keys";
}

// A host whose automation callback waits for its GUI thread, as hosts that hand automation to their GUI
// do: while that thread is busy closing the editor, the window's thread sits inside the callback.
class GuiBoundHost {
  public:
    static VstIntPtr VSTCALLBACK callback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
        if (opcode == audioMasterAutomate) {
            // A real host would wait for ever; this one gives up after a while, so that a plug-in that
            // waits for it fails the test rather than hanging it.
            ++waiting;
            const auto end = Clock::now() + 3s;
            bool reached = gui.try_lock();
            while (!reached && Clock::now() < end) {
                std::this_thread::sleep_for(1ms);
                reached = gui.try_lock();
            }
            if (reached) {
                gui.unlock();
                ++automated;
            }
            --waiting;
        }
        return opcode == audioMasterVersion ? kVstVersion : 0;
    }
    static inline std::mutex gui;
    static inline std::atomic<int> waiting{0};
    static inline std::atomic<int> automated{0};
};

TEST_P(X11Editor, ClosingNeverWaitsForAWindowThreadInsideAHostCallThatWaitsForTheClosingThread) {
    if (GetParam()) {
        GTEST_SKIP() << "one host is enough: idle calls do not take part";
    }
    std::chrono::duration<double, std::milli> longest{0};
    for (int round = 0; round < 100; ++round) {
        AEffect* instance = entry(GuiBoundHost::callback);
        ASSERT_EQ(instance->dispatcher(instance, effEditOpen, 0, 0, hostWindow(), 0.0f), 1);
        const xcb_window_t window = editorWindow();
        std::unique_lock<std::mutex> busy(GuiBoundHost::gui);
        const int automated = GuiBoundHost::automated;
        server.moveTo(window, 85, 63);
        server.button(1, true);
        server.moveTo(window, 85, 53);
        ASSERT_TRUE(waitUntil([] { return GuiBoundHost::waiting == 1; })) << "round " << round;
        const auto start = Clock::now();
        instance->dispatcher(instance, effEditClose, 0, 0, nullptr, 0.0f);
        const std::chrono::duration<double, std::milli> took = Clock::now() - start;
        longest = std::max(longest, took);
        ASSERT_LT(took.count(), 1000.0) << "effEditClose took " << took.count() << " ms in round " << round;
        busy.unlock();
        server.button(1, false);
        // The instance goes only once its window's thread is done with it.
        instance->dispatcher(instance, effClose, 0, 0, nullptr, 0.0f);
        EXPECT_EQ(GuiBoundHost::automated, automated + 1);
        EXPECT_EQ(editorWindow(), 0u);
    }
    std::printf("100 closes with the window's thread inside a waiting host call: longest %.1f ms\n",
                longest.count());
}

TEST_P(X11Editor, AHostWindowShownOnlyAfterOpenOrHiddenAndShownAgainShowsTheWholeEditor) {
    // Hosts often open the editor into a window they map afterwards; the server keeps nothing of an
    // unmapped window, so the editor must paint everything the server exposes.
    server.showHost(false);
    ASSERT_EQ(dispatch(effEditOpen, 0, hostWindow()), 1);
    waitUntil([] { return false; }, 100ms);
    std::string difference;
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round == 0 ? "mapped after effEditOpen" : "unmapped and mapped again");
        server.showHost(true);
        EXPECT_NE(untilShown("editor-default.png", difference), 0ms) << difference;
        server.showHost(false);
    }
    server.showHost(true);
    dispatch(effEditClose);
}

TEST_P(X11Editor, ManyOpensAndInstancesHoldNoWindowThreadDescriptorOrMemoryAfterwards) {
    const auto cycles = [&](int count) {
        for (int i = 0; i < count; ++i) {
            dispatch(effEditOpen, 0, hostWindow());
            waitUntil([] { return true; });
            dispatch(effEditClose);
        }
    };
    cycles(20);
    const int threads = threadCount();
    const int descriptors = descriptorCount();
    const long kilobytes = residentKilobytes();
    const auto start = Clock::now();
    cycles(200);
    std::printf("200 effEditOpen/effEditClose cycles: %.2f ms each, resident memory %+ld KB\n",
                std::chrono::duration<double, std::milli>(Clock::now() - start).count() / 200,
                residentKilobytes() - kilobytes);
    EXPECT_EQ(editorWindow(), 0u);
    EXPECT_EQ(threadCount(), threads);
    EXPECT_EQ(descriptorCount(), descriptors);
    if (kUnsanitized) {
        EXPECT_LT(residentKilobytes() - kilobytes, 2048);
    }

    std::vector<AEffect*> project;
    for (int i = 0; i < 100; ++i) {
        project.push_back(entry(GestureHost::callback));
    }
    EXPECT_EQ(threadCount(), threads) << "instances whose editors are closed hold no thread";
    for (AEffect* instance : project) {
        instance->dispatcher(instance, effClose, 0, 0, nullptr, 0.0f);
    }
}

// A TCP port of this machine's where display N would listen, taking connections and never answering.
struct SilentServer {
    SilentServer() {
        socket = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        for (int number = 50; number < 100; ++number) {
            address.sin_port = htons(static_cast<uint16_t>(6000 + number));
            if (bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
                listen(socket, 4) == 0) {
                display = "127.0.0.1:" + std::to_string(number);
                return;
            }
        }
    }
    ~SilentServer() { close(socket); }
    int socket = -1;
    std::string display;
};

TEST_P(X11Editor, NoDisplayOrABadParentAnswersOneShowsNothingAndEverythingAfterWorks) {
    const std::string display = std::getenv("DISPLAY");
    struct Case {
        const char* name;
        const char* display; // null: unset
        uintptr_t parent;
    };
    const SilentServer silent;
    const Case cases[] = {
        {"null parent", display.c_str(), 0},
        {"a window id that no window has", display.c_str(), server.deadWindow()},
        {"more than 32 bits", display.c_str(), uintptr_t{1} << 40},
        {"no DISPLAY", nullptr, server.host()},
        {"a display nobody serves", ":4095", server.host()},
        {"a TCP display that takes the connection and never answers", silent.display.c_str(), server.host()},
        {"a TCP display on an address no packet reaches", "192.0.2.1:0", server.host()},
    };
    const int threads = threadCount();
    for (const Case& bad : cases) {
        SCOPED_TRACE(bad.name);
        bad.display != nullptr ? setenv("DISPLAY", bad.display, 1) : unsetenv("DISPLAY");
        testing::internal::CaptureStderr();
        testing::internal::CaptureStdout();
        const auto start = Clock::now();
        EXPECT_EQ(dispatch(effEditOpen, 0, reinterpret_cast<void*>(bad.parent)), 1);
        const std::chrono::duration<double, std::milli> took = Clock::now() - start;
        EXPECT_LT(took.count(), 2000.0) << "effEditOpen blocked the host for " << took.count() << " ms";
        EXPECT_EQ(threadCount(), threads);
        std::thread([&] { effect->setParameter(effect, 0, 0.3f); }).join();
        waitUntil([] { return false; }, 60ms);
        dispatch(effEditClose);
        EXPECT_EQ(testing::internal::GetCapturedStdout() + testing::internal::GetCapturedStderr(), "");
    }
    setenv("DISPLAY", display.c_str(), 1);
    EXPECT_EQ(dispatch(effEditOpen, 0, hostWindow()), 1);
    EXPECT_NE(editorWindow(), 0u);
    EXPECT_EQ(threadCount(), threads + 1) << "one thread serves the open window";
    // effClose with the window open (TearDown) takes it with it.
}

INSTANTIATE_TEST_SUITE_P(Hosts, X11Editor, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "IdleEvery20ms" : "NeverIdle"; });

} // namespace
