// The UI library in a real X server (Xvfb), loaded from the built bundle and called as an LV2 host calls
// it, with ui:parent a top-level window of the test's: a drag with real pointer events writes the knob
// port between touch begin and end, every call on the host's thread; a port event shows by the next
// idle(); the window shows the VST editor's golden pictures; a host without what the UI needs gets no
// UI, odd input is ignored, and no thread, descriptor or memory is left after 200 instances.
#include "EditorPictures.h"
#include "GoldenWindow.h"
#include "Lv2Ports.h"
#include "Lv2Uris.h"
#include "XServer.h"

#include <gtest/gtest.h>
#include <lv2/atom/atom.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <dlfcn.h>
#include <malloc.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const std::string kGoldenDir = VELMORA_EDITOR_GOLDEN_DIR;
// The window is the background picture's size; the golden pictures hold it too.
constexpr int kWidth = kBackgroundPicture.width;
constexpr int kHeight = kBackgroundPicture.height;
const std::string kResize = "resize " + std::to_string(kWidth) + "x" + std::to_string(kHeight);
constexpr uint32_t kKnobPort = kFirstControl + kKnob;

void* parentOf(xcb_window_t window) {
    return reinterpret_cast<void*>(uintptr_t{window});
}

// The host's side: write_function, ui:resize and ui:touch, each call recorded as text.
class TestHost {
  public:
    // What a host like Ardour offers, or only what the UI requires.
    std::vector<LV2_Feature> features(xcb_window_t parent, bool optional = true) {
        std::vector<LV2_Feature> offered = {{LV2_UI__parent, parentOf(parent)},
                                            {LV2_UI__idleInterface, nullptr}};
        if (optional) {
            offered.insert(offered.end(), {{LV2_UI__resize, &resizeFeature}, {LV2_UI__touch, &touchFeature}});
        }
        return offered;
    }
    std::vector<std::string> take() { return std::exchange(calls, {}); }
    std::size_t made() const { return calls.size(); }

    static void write(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t protocol,
                      const void* buffer) {
        const float value = size == sizeof(float) && protocol == 0 ? *static_cast<const float*>(buffer) : NAN;
        static_cast<TestHost*>(controller)->record("write %u %.3f", port, value);
    }
    // Calls made on a thread other than the one that made the host (the host's UI thread).
    int offThread = 0;

  private:
    template <typename... Values> void record(const char* format, Values... values) {
        char text[64];
        std::snprintf(text, sizeof(text), format, values...);
        calls.emplace_back(text);
        offThread += std::this_thread::get_id() != thread;
    }
    static int resize(LV2UI_Feature_Handle host, int width, int height) {
        static_cast<TestHost*>(host)->record("resize %dx%d", width, height);
        return 0;
    }
    static void touch(LV2UI_Feature_Handle host, uint32_t port, bool grabbed) {
        static_cast<TestHost*>(host)->record(grabbed ? "touch %u on" : "touch %u off", port);
    }

    const std::thread::id thread = std::this_thread::get_id();
    std::vector<std::string> calls;
    LV2UI_Resize resizeFeature{this, resize};
    LV2UI_Touch touchFeature{this, touch};
};

// The library as a host loads it: by the file in the bundle, through its one export.
class Lv2UiTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        library = dlopen(VELMORA_LV2_UI_LIBRARY, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(library, nullptr) << dlerror();
        using Entry = const LV2UI_Descriptor* (*)(uint32_t);
        const auto entry = reinterpret_cast<Entry>(dlsym(library, "lv2ui_descriptor"));
        ASSERT_TRUE(entry != nullptr && entry(1) == nullptr && (descriptor = entry(0)) != nullptr);
        EXPECT_STREQ(descriptor->URI, kVelmoraUiUri);
        idle = static_cast<const LV2UI_Idle_Interface*>(descriptor->extension_data(LV2_UI__idleInterface));
        ASSERT_NE(idle, nullptr);
    }
    static void TearDownTestSuite() { dlclose(library); }

    // One instance, cleaned up with the scope; a null handle when the UI refused.
    struct Ui {
        Ui(TestHost& host, std::vector<LV2_Feature> features, bool nullList = false) {
            std::vector<const LV2_Feature*> list;
            for (const LV2_Feature& feature : features) {
                list.push_back(&feature);
            }
            list.push_back(nullptr);
            handle =
                descriptor->instantiate(descriptor, kVelmoraPluginUri, VELMORA_LV2_BUNDLE "/",
                                        &TestHost::write, &host, &widget, nullList ? nullptr : list.data());
        }
        ~Ui() { descriptor->cleanup(handle); }
        xcb_window_t window() const { return static_cast<xcb_window_t>(reinterpret_cast<uintptr_t>(widget)); }
        void set(uint32_t port, float value) {
            descriptor->port_event(handle, port, sizeof(float), 0, &value);
        }
        int serve() { return idle->idle(handle); }

        LV2UI_Handle handle = nullptr;
        LV2UI_Widget widget = nullptr;
    };

    // Polls until `done` for at most two seconds, idling the UI meanwhile or not.
    static bool until(const std::function<bool()>& done, Ui* serving) {
        for (const auto end = Clock::now() + 2s; !done(); std::this_thread::sleep_for(1ms)) {
            if (Clock::now() > end) {
                return false;
            }
            if (serving != nullptr) {
                serving->serve();
            }
        }
        return true;
    }
    CPixelBuffer shown(const Ui& ui) { return server.pixels(ui.window(), kWidth, kHeight); }
    bool shows(Ui& ui, const std::string& golden, bool serving = false) {
        const GoldenWindow expected(kGoldenDir + "/" + golden);
        const bool matched = until([&] { return expected.matches(shown(ui)); }, serving ? &ui : nullptr);
        EXPECT_TRUE(matched) << expected.difference(shown(ui));
        return matched;
    }

    static inline void* library = nullptr;
    static inline const LV2UI_Descriptor* descriptor = nullptr;
    static inline const LV2UI_Idle_Interface* idle = nullptr;
    XServer server;
    TestHost host;
};

// A host that offers resize and touch, and one that offers only what the UI requires.
class Lv2UiHosts : public Lv2UiTest, public ::testing::WithParamInterface<bool> {};

TEST_P(Lv2UiHosts, ADragOnTheKnobWritesItsPortBetweenTouchBeginAndEndAllOnTheHostsThread) {
    const int threads = threadCount();
    Ui ui(host, host.features(server.host(), GetParam()));
    ASSERT_NE(ui.handle, nullptr);
    EXPECT_EQ(server.children(server.host()), std::vector<xcb_window_t>{ui.window()})
        << "the widget is the UI's own window, in the host's";

    // From the knob's centre 20 px up and 10 px right, in four moves: 0.5 + (dx + dy) / 200 each.
    server.moveTo(ui.window(), 85, 63);
    server.button(1, true);
    for (int step = 1; step <= 4; ++step) {
        server.moveTo(ui.window(), 85 + 10 * step / 4, 63 - 20 * step / 4);
    }
    server.button(1, false);
    std::vector<std::string> expected = {"write 4 0.535", "write 4 0.575", "write 4 0.610", "write 4 0.650"};
    if (GetParam()) {
        expected.insert(expected.begin(), {kResize, "touch 4 on"});
        expected.push_back("touch 4 off");
    }
    until([&] { return host.made() >= expected.size(); }, &ui);
    ui.serve();
    EXPECT_EQ(host.take(), expected);
    EXPECT_EQ(host.offThread, 0);
    EXPECT_EQ(threadCount(), threads) << "the UI started a thread";
}

// URIs as numbers, as a host's urid:map gives them.
LV2_URID mapUri(LV2_URID_Map_Handle, const char* uri) {
    static std::map<std::string, LV2_URID> ids;
    return ids.emplace(uri, static_cast<LV2_URID>(ids.size() + 1)).first->second;
}

TEST_F(Lv2UiTest, TheHostsScaleFactorOptionSizesAndDrawsTheEditorAtThatScale) {
    LV2_URID_Map map{nullptr, mapUri};
    const struct {
        const char* name;
        float factor;
        bool withMap;
        int width;
        int height;
        const char* golden;
    } cases[] = {
        {"2.0", 2.0f, true, 342, 298, "editor-default-2x.png"},
        {"1.5", 1.5f, true, 257, 224, "editor-default-1.5x.png"},
        {"a factor the editor does not take", 8.0f, true, kWidth, kHeight, "editor-default.png"},
        {"no urid:map to read the option with", 2.0f, false, kWidth, kHeight, "editor-default.png"},
    };
    for (const auto& scale : cases) {
        SCOPED_TRACE(scale.name);
        const LV2_Options_Option options[] = {{LV2_OPTIONS_INSTANCE, 0, mapUri(nullptr, LV2_UI__scaleFactor),
                                               sizeof(float), mapUri(nullptr, LV2_ATOM__Float),
                                               &scale.factor},
                                              {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr}};
        std::vector<LV2_Feature> features = host.features(server.host());
        features.push_back({LV2_OPTIONS__options, const_cast<LV2_Options_Option*>(options)});
        if (scale.withMap) {
            features.push_back({LV2_URID__map, &map});
        }
        Ui ui(host, features);
        ASSERT_NE(ui.handle, nullptr);
        const std::string size = "resize " + std::to_string(scale.width) + "x" + std::to_string(scale.height);
        EXPECT_EQ(host.take(), std::vector<std::string>{size});
        const GoldenWindow expected(kGoldenDir + "/" + scale.golden);
        const auto shownAtScale = [&] { return server.pixels(ui.window(), scale.width, scale.height); };
        EXPECT_TRUE(until([&] { return expected.matches(shownAtScale()); }, &ui))
            << expected.difference(shownAtScale());
    }
}

INSTANTIATE_TEST_SUITE_P(Features, Lv2UiHosts, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "ResizeAndTouch" : "RequiredOnly"; });

TEST_F(Lv2UiTest, PortEventsShowByTheNextIdleAsTheEditorsGoldenPicturesAndOddOnesAreIgnored) {
    Ui ui(host, host.features(server.host()));
    ASSERT_TRUE(ui.handle != nullptr && shows(ui, "editor-default.png", true));

    // Each would move the knob to 0.2 if the UI took it.
    const struct {
        uint32_t port, size, format;
    } odd[] = {{kInputLeft, 4, 0}, {kOutputRight, 4, 0}, {kPortCount, 4, 0}, {UINT32_MAX, 4, 0},
               {kKnobPort, 8, 0},  {kKnobPort, 0, 0},    {kKnobPort, 4, 1}};
    const float values[2] = {0.2f, 0.2f};
    for (const auto& event : odd) {
        descriptor->port_event(ui.handle, event.port, event.size, event.format, values);
    }
    descriptor->port_event(ui.handle, kKnobPort, 4, 0, nullptr);
    ui.serve();
    std::this_thread::sleep_for(100ms);
    EXPECT_TRUE(GoldenWindow(kGoldenDir + "/editor-default.png").matches(shown(ui)))
        << "an odd event counted";

    // Host automation as port events, the last after non-finite values; one idle() each, no more.
    std::vector<AutomatedState> states = {{"editor-knob-0.2.png", {{kKnob, 0.2f}}}};
    states.insert(states.end(), automatedStates().begin(), automatedStates().end());
    for (const AutomatedState& state : states) {
        if (&state == &states.back()) {
            for (const float nonFinite : {NAN, INFINITY, -INFINITY}) {
                ui.set(kKnobPort, nonFinite);
                ui.set(kFirstControl + kDrive, nonFinite);
            }
            ui.serve();
        }
        for (const auto& [index, value] : state.parameters) {
            ui.set(kFirstControl + static_cast<uint32_t>(index), value);
        }
        ui.serve();
        shows(ui, state.golden);
    }
    EXPECT_EQ(host.take(), std::vector<std::string>{kResize}) << "port events are the host's: none goes back";
}

TEST_F(Lv2UiTest, AHostWithoutAParentWindowOrIdleCallsGetsNoUiAndOddInputNeverCrashes) {
    const int threads = threadCount();
    const std::vector<LV2_Feature> required = host.features(server.host(), false);
    std::vector<LV2_Feature> oddOptional = {
        {nullptr, nullptr}, {LV2_UI__resize, nullptr}, {LV2_UI__touch, nullptr}};
    oddOptional.insert(oddOptional.end(), required.begin(), required.end());
    const struct {
        const char* name;
        std::vector<LV2_Feature> features;
        bool gives;
    } cases[] = {
        {"no features", {}, false},
        {"no idle interface", {required[0]}, false},
        {"no parent", {required[1]}, false},
        {"a null parent", {{LV2_UI__parent, nullptr}, required[1]}, false},
        {"a window id that no window has",
         {{LV2_UI__parent, parentOf(server.deadWindow())}, required[1]},
         false},
        {"more than 32 bits",
         {{LV2_UI__parent, reinterpret_cast<void*>(uintptr_t{1} << 40)}, required[1]},
         false},
        {"no URI, and optional features without data", oddOptional, true},
    };
    for (const auto& odd : cases) {
        Ui ui(host, odd.features);
        EXPECT_EQ(ui.handle != nullptr, odd.gives) << odd.name;
        EXPECT_EQ(server.children(server.host()).size(), odd.gives ? 1u : 0u) << odd.name;
        EXPECT_EQ(ui.serve(), 0) << odd.name;
        ui.set(kKnobPort, 0.2f);
    }
    EXPECT_EQ(Ui(host, required, true).handle, nullptr) << "a null feature list";
    EXPECT_EQ(descriptor->instantiate(descriptor, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr),
              nullptr);
    EXPECT_EQ(descriptor->extension_data(nullptr), nullptr);
    EXPECT_EQ(descriptor->extension_data(LV2_UI__showInterface), nullptr);
    EXPECT_TRUE(host.take().empty()) << "a UI without resize or touch calls neither";

    // A host that destroys its window, and the UI's with it, before it cleans the UI up, as GTK hosts do.
    auto outer = std::make_unique<Ui>(host, required);
    {
        Ui inner(host, host.features(outer->window(), false));
        ASSERT_NE(inner.handle, nullptr);
        inner.serve();
        outer.reset();
        inner.set(kKnobPort, 0.3f);
        EXPECT_EQ(inner.serve(), 0);
    }
    EXPECT_TRUE(server.children(server.host()).empty());
    EXPECT_EQ(threadCount(), threads);
}

TEST_F(Lv2UiTest, TwoHundredInstantiateCleanupCyclesLeaveNoThreadDescriptorOrMemoryBehind) {
    const auto cycles = [&](int count) {
        for (int i = 0; i < count; ++i) {
            Ui ui(host, host.features(server.host()));
            ui.set(kKnobPort, 0.2f);
            ui.serve();
            ui.serve();
            host.take();
        }
    };
    // Counted first: its first call starts and ends a thread, after which the C library keeps a few
    // bytes more. The first cycles fill the caches of the C library and of XCB.
    const int threads = threadCount();
    cycles(20);
    const int descriptors = descriptorCount();
    const std::size_t heap = mallinfo2().uordblks;
    auto start = Clock::now();
    cycles(200);
    const std::chrono::duration<double, std::milli> took = Clock::now() - start;
    const long growth = static_cast<long>(mallinfo2().uordblks) - static_cast<long>(heap);
    EXPECT_EQ(threadCount(), threads);
    EXPECT_EQ(descriptorCount(), descriptors);
    EXPECT_LE(growth, 0) << "bytes in use grew";

    // What a host's idle() calls cost while nothing happens.
    Ui ui(host, host.features(server.host()));
    ASSERT_TRUE(shows(ui, "editor-default.png", true));
    start = Clock::now();
    for (int i = 0; i < 10000; ++i) {
        ui.serve();
    }
    const std::chrono::duration<double, std::micro> idling = Clock::now() - start;
    std::printf("200 instantiate/cleanup cycles: %.2f ms each, bytes in use %+ld; idle() with nothing to do: "
                "%.2f us\n",
                took.count() / 200, growth, idling.count() / 10000);
}

} // namespace
