#include "X11Frame.h"

#include "VSTGUIEditorInterface.h"
#include "X11Display.h"
#include "X11Platform.h"
#include "X11Resources.h"
#include "X11Timer.h"

#include <algorithm>
#include <cstdlib>
#include <future>

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace {

// A timer period of 0 fires as often as this.
constexpr uint32_t kShortestPeriod = 1;
// How long a host thread waits for the window before it leaves the window's thread alone: longer than
// any round of the thread's own, shorter than anything a user would notice.
constexpr std::chrono::milliseconds kWindowWait(50);

constexpr uint32_t kEventMask = XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_BUTTON_PRESS |
                                XCB_EVENT_MASK_BUTTON_RELEASE | XCB_EVENT_MASK_POINTER_MOTION |
                                XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_KEY_RELEASE;

// The top bit of an event's type marks events that another client sent.
constexpr uint8_t kSentEvent = 0x80;

template <typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;
template <typename T> Reply<T> reply(T* answer) {
    return Reply<T>(answer, &std::free);
}

bool succeeded(xcb_connection_t* connection, xcb_void_cookie_t request) {
    xcb_generic_error_t* error = xcb_request_check(connection, request);
    std::free(error);
    return error == nullptr;
}

// An X11 window id travels in the pointer's value.
bool windowId(void* parent, xcb_window_t& id) {
    const auto value = reinterpret_cast<uintptr_t>(parent);
    id = static_cast<xcb_window_t>(value);
    return value != 0 && value == id;
}

// Takes the lock unless another thread keeps it longer than `patience`. (Polling try_lock rather than a
// timed mutex: ThreadSanitizer misses the locking of a timed wait and then reports its unlock.)
std::unique_lock<std::mutex> lockWithin(std::mutex& lock, std::chrono::milliseconds patience) {
    const auto end = std::chrono::steady_clock::now() + patience;
    std::unique_lock<std::mutex> hold(lock, std::try_to_lock);
    while (!hold.owns_lock() && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        hold.try_lock();
    }
    return hold;
}

uint32_t periodOf(const X11Timer& timer) {
    return std::max(timer.getPeriod(), kShortestPeriod);
}

} // namespace

X11Frame::X11Frame(IPlatformFrameCallback& frameCallback, const CRect& size, void* parent,
                   VSTGUIEditorInterface* frameEditor, bool hostServes)
    : frame(frameCallback), editor(frameEditor),
      owner(frameEditor != nullptr ? dynamic_cast<const void*>(frameEditor) : nullptr),
      servedByHost(hostServes), bounds(0, 0, size.getWidth(), size.getHeight()), invalid(bounds) {
    X11Platform::instance().add(this);
    const int width = pixelIndex(bounds.right);
    const int height = pixelIndex(bounds.bottom);
    if (!windowId(parent, parentWindow) || width <= 0 || height <= 0 || width > UINT16_MAX ||
        height > UINT16_MAX) {
        return;
    }
    int screenNumber = 0;
    connection = x11::connectToDisplay(screenNumber);
    if (connection == nullptr) {
        return;
    }
    auto screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i) {
        xcb_screen_next(&screens);
    }
    screen = screens.data;
    systemScale = x11::scaleFromResources(x11::rootResources(connection, *screen));
    // The screen's own depth, visual and colour map, whatever the host's window uses: so the window
    // takes our pixels as they are, under any parent.
    window = xcb_generate_id(connection);
    const uint32_t values[] = {screen->black_pixel, kEventMask, screen->default_colormap};
    const bool made = succeeded(
        connection,
        xcb_create_window_checked(connection, screen->root_depth, window, parentWindow, 0, 0,
                                  static_cast<uint16_t>(width), static_cast<uint16_t>(height), 0,
                                  XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                                  XCB_CW_BORDER_PIXEL | XCB_CW_EVENT_MASK | XCB_CW_COLORMAP, values));
    wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (!made || wakeFd < 0 || !succeeded(connection, xcb_map_window_checked(connection, window))) {
        // The parent does not exist (or went meanwhile): a frame that shows nothing.
        xcb_disconnect(connection);
        connection = nullptr;
        window = 0;
        return;
    }
    keyboard = std::make_unique<x11::Keyboard>(connection);
    surface = x11::Surface::create(connection, *screen, window, width, height);
}

X11Frame::~X11Frame() {
    if (onServingThread()) {
        // Going from inside one of the serving thread's own rounds (a close it finishes, or a frame
        // released from its timer): the thread cannot join itself; it returns as soon as the round ends,
        // and the platform joins it before the editor or the library goes.
        *servingAlive = false;
        X11Platform::instance().remove(this, std::move(server));
    } else {
        stopServing();
        if (servingAlive != nullptr) {
            // From inside a round the host's idle call runs.
            *servingAlive = false;
        }
        X11Platform::instance().remove(this, std::thread());
    }
    surface.reset();
    if (connection != nullptr) {
        // Gone from the server when the frame is gone: a host may look, or destroy its own window, next.
        succeeded(connection, xcb_destroy_window_checked(connection, window));
        xcb_disconnect(connection);
    }
    if (wakeFd >= 0) {
        close(wakeFd);
    }
}

void X11Frame::invalidRect(const CRect& rect) {
    invalid.unite(rect);
}

void X11Frame::setSize(int width, int height) {
    bounds = CRect(0, 0, width, height);
    invalid = bounds;
    if (connection == nullptr || width <= 0 || height <= 0 || width > UINT16_MAX || height > UINT16_MAX) {
        return;
    }
    const uint32_t size[] = {static_cast<uint32_t>(width), static_cast<uint32_t>(height)};
    xcb_configure_window(connection, window, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size);
    // The old surface (and its shared memory) goes before the new one is made.
    surface.reset();
    surface = x11::Surface::create(connection, *screen, window, width, height);
    xcb_flush(connection);
}

void X11Frame::timerStarted(X11Timer& timer) {
    servedTimer = &timer;
    timerChanged = true;
    if (onServingThread() || servedByHost) {
        return;
    }
    if (isServing()) {
        // A new period from a host thread (the editor closing, say): the serving thread takes it up.
        const uint64_t one = 1;
        (void)!write(wakeFd, &one, sizeof(one));
        return;
    }
    startServing();
}

void X11Frame::timerGone(const X11Timer& timer) {
    const X11Timer* expected = &timer;
    servedTimer.compare_exchange_strong(expected, nullptr);
}

void X11Frame::startServing() {
    if (connection == nullptr) {
        return;
    }
    std::promise<void> handedOver;
    server = std::thread([this, &handedOver, lock = windowLock] {
        // The editor's GUI thread before anything is drawn or clicked, and before open returns.
        servingThread = currentThread();
        if (editor != nullptr) {
            editor->setGuiThread(currentThread());
        }
        handedOver.set_value();
        serve();
    });
    handedOver.get_future().wait();
}

void X11Frame::stopServing() {
    if (!isServing()) {
        return;
    }
    stopRequested = true;
    const uint64_t one = 1;
    (void)!write(wakeFd, &one, sizeof(one));
    server.join();
    uint64_t drained = 0;
    (void)!read(wakeFd, &drained, sizeof(drained));
    servingThread = kNoThread;
    if (editor != nullptr) {
        editor->setGuiThread(currentThread());
    }
}

bool X11Frame::withWindow(const std::function<void()>& job) {
    if (!isServing()) {
        return false;
    }
    if (onServingThread()) {
        job();
        return true;
    }
    std::unique_lock<std::mutex> hold = lockWithin(*windowLock, kWindowWait);
    if (!hold.owns_lock() || closeHandedOver.load() || stopRequested.load()) {
        return false;
    }
    // The views are this thread's while it holds the window: what the job changes shows at once.
    if (editor != nullptr) {
        editor->setGuiThread(currentThread());
    }
    job();
    if (editor != nullptr) {
        editor->setGuiThread(servingThread.load());
    }
    const uint64_t one = 1;
    (void)!write(wakeFd, &one, sizeof(one));
    return true;
}

bool X11Frame::handOverClose() {
    if (!isServing()) {
        return false;
    }
    if (!onServingThread()) {
        std::unique_lock<std::mutex> hold = lockWithin(*windowLock, kWindowWait);
        if (hold.owns_lock()) {
            // The thread is between rounds: it stops before another, and the caller closes the window.
            stopRequested = true;
            hold.unlock();
            stopServing();
            return false;
        }
        // The thread is inside a call to the host, which may be waiting for the caller. It finishes the
        // close itself when the call returns; meanwhile what it reaches of the editor treats the caller
        // as the GUI thread.
        if (editor != nullptr) {
            editor->setGuiThread(currentThread());
        }
    }
    closeHandedOver = true;
    const uint64_t one = 1;
    (void)!write(wakeFd, &one, sizeof(one));
    return true;
}

void X11Frame::hostIdle() {
    if (!servedByHost || connection == nullptr) {
        return;
    }
    // Kept here: the frame, and so its own reference, may go during the round.
    const std::shared_ptr<std::mutex> lock = windowLock;
    const std::lock_guard<std::mutex> hold(*lock);
    bool alive = true;
    servingAlive = &alive;
    serveOnce(alive);
    if (alive) {
        servingAlive = nullptr;
    }
}

void X11Frame::serve() {
    // Kept by the thread: the frame, and so its own reference, may go during a round.
    const std::shared_ptr<std::mutex> lock = windowLock;
    pollfd waits[] = {{xcb_get_file_descriptor(connection), POLLIN, 0}, {wakeFd, POLLIN, 0}};
    for (;;) {
        std::unique_lock<std::mutex> hold(*lock);
        if (stopRequested.load()) {
            return;
        }
        bool alive = true;
        servingAlive = &alive;
        const int wait = closeHandedOver.load() ? 0 : serveOnce(alive);
        if (!alive) {
            return;
        }
        servingAlive = nullptr;
        if (closeHandedOver.load()) {
            // Last: the views and the frame go, and this frame with them.
            servingAlive = &alive;
            hold.unlock();
            frame.platformClose();
            return;
        }
        if (xcb_connection_has_error(connection)) {
            // The server went away: nothing more to show or to hear.
            return;
        }
        hold.unlock();
        poll(waits, 2, wait);
        uint64_t drained = 0;
        (void)!read(wakeFd, &drained, sizeof(drained));
    }
}

int X11Frame::serveOnce(const bool& alive) {
    // Events already read along with a reply wait in XCB's queue, not on the socket: take them first.
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
        handle(*event);
        std::free(event);
        if (!alive || closeHandedOver.load()) {
            return 0;
        }
    }
    fireTimerIfDue();
    if (!alive || closeHandedOver.load()) {
        return 0;
    }
    paint();
    xcb_flush(connection);
    const X11Timer* timer = servedTimer.load();
    if (!invalid.isEmpty()) {
        return 0;
    }
    if (timer == nullptr || !timer->isRunning()) {
        return -1;
    }
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(due - Clock::now()).count();
    return static_cast<int>(std::max<decltype(left)>(left, 0));
}

void X11Frame::fireTimerIfDue() {
    const X11Timer* timer = servedTimer.load();
    if (timer == nullptr || !timer->isRunning()) {
        return;
    }
    if (timerChanged.exchange(false)) {
        due = Clock::now() + std::chrono::milliseconds(periodOf(*timer));
        return;
    }
    if (Clock::now() < due) {
        return;
    }
    // Set before firing: a firing that restarts the timer sets its own.
    due = std::max(due + std::chrono::milliseconds(periodOf(*timer)), Clock::now());
    timer->getCallback().fire();
}

void X11Frame::handle(const xcb_generic_event_t& event) {
    switch (event.response_type & ~kSentEvent) {
    case XCB_EXPOSE: {
        const auto& expose = reinterpret_cast<const xcb_expose_event_t&>(event);
        invalid.unite(CRect(expose.x, expose.y, expose.x + expose.width, expose.y + expose.height));
        break;
    }
    case XCB_BUTTON_PRESS:
        handleButton(reinterpret_cast<const xcb_button_press_event_t&>(event), true);
        break;
    case XCB_BUTTON_RELEASE:
        handleButton(reinterpret_cast<const xcb_button_press_event_t&>(event), false);
        break;
    case XCB_MOTION_NOTIFY: {
        const auto& motion = reinterpret_cast<const xcb_motion_notify_event_t&>(event);
        frame.platformOnMouseMoved(CPoint(motion.event_x, motion.event_y),
                                   x11::heldButtons(motion.state) | x11::modifiers(motion.state));
        break;
    }
    case XCB_KEY_PRESS:
    case XCB_KEY_RELEASE:
        handleKey(reinterpret_cast<const xcb_key_press_event_t&>(event),
                  (event.response_type & ~kSentEvent) == XCB_KEY_PRESS);
        break;
    case XCB_MAPPING_NOTIFY:
        // Sent to every client whatever it selected: the keyboard's layout changed.
        if (reinterpret_cast<const xcb_mapping_notify_event_t&>(event).request == XCB_MAPPING_KEYBOARD) {
            keyboard = std::make_unique<x11::Keyboard>(connection);
        }
        break;
    default:
        // Errors of unchecked requests (a window the host destroyed under us) and events we never chose.
        break;
    }
}

void X11Frame::handleButton(const xcb_button_press_event_t& event, bool pressed) {
    const CPoint where(event.event_x, event.event_y);
    const CButtonState held = x11::modifiers(event.state);
    if (event.detail == x11::kWheelUpButton || event.detail == x11::kWheelDownButton) {
        if (pressed) {
            frame.platformOnMouseWheel(where, event.detail == x11::kWheelUpButton ? 1.0f : -1.0f, held);
        }
        return;
    }
    const CButtonState button = x11::buttonFlag(event.detail);
    if (button == 0) {
        return;
    }
    // The click makes the clicked knob the frame's focus view; the X input focus stays the host's.
    if (pressed) {
        frame.platformOnMouseDown(where, button | held);
    } else {
        frame.platformOnMouseUp(where, (x11::heldButtons(event.state) & ~button) | held);
    }
}

// The one rule for keys: the editor keeps a key only when the focused control uses it (the arrows on a
// knob), with its release. Every other key the server delivered here, because the pointer is over the
// editor, goes on to the host as if the editor were not there. A key the host sent here itself is never
// sent back: the host has it already, and it must not arrive twice.
void X11Frame::handleKey(const xcb_key_press_event_t& event, bool pressed) {
    bool used = false;
    if (pressed) {
        VstKeyCode key = keyboard->translate(event.detail, event.state);
        used = (key.character != 0 || key.virt != 0) && frame.platformOnKeyDown(key);
        keptKeys[event.detail] = used;
    } else if (keptKeys[event.detail]) {
        VstKeyCode key = keyboard->translate(event.detail, event.state);
        frame.platformOnKeyUp(key);
        keptKeys[event.detail] = false;
        used = true;
    }
    if (!used && (event.response_type & kSentEvent) == 0) {
        forwardToHost(event);
    }
}

// Delivered as the server would have without our window: to the nearest ancestor where a client
// selected the event, relative to that window, unless a window on the way does not propagate it.
void X11Frame::forwardToHost(xcb_key_press_event_t event) {
    const bool press = (event.response_type & ~kSentEvent) == XCB_KEY_PRESS;
    const uint32_t mask = press ? XCB_EVENT_MASK_KEY_PRESS : XCB_EVENT_MASK_KEY_RELEASE;
    xcb_window_t child = window;
    xcb_window_t target = parentWindow;
    while (target != XCB_WINDOW_NONE) {
        auto childAttributes = reply(xcb_get_window_attributes_reply(
            connection, xcb_get_window_attributes(connection, child), nullptr));
        if (!childAttributes || (childAttributes->do_not_propagate_mask & mask) != 0) {
            return;
        }
        auto attributes = reply(xcb_get_window_attributes_reply(
            connection, xcb_get_window_attributes(connection, target), nullptr));
        if (!attributes) {
            return;
        }
        if ((attributes->all_event_masks & mask) != 0) {
            break;
        }
        auto tree = reply(xcb_query_tree_reply(connection, xcb_query_tree(connection, target), nullptr));
        if (!tree) {
            return;
        }
        child = target;
        target = tree->parent;
    }
    if (target == XCB_WINDOW_NONE) {
        return;
    }
    auto position = reply(xcb_translate_coordinates_reply(
        connection, xcb_translate_coordinates(connection, window, target, event.event_x, event.event_y),
        nullptr));
    if (!position) {
        return;
    }
    event.event = target;
    event.child = child;
    event.event_x = position->dst_x;
    event.event_y = position->dst_y;
    xcb_send_event(connection, 0, target, mask, reinterpret_cast<const char*>(&event));
    xcb_flush(connection);
}

void X11Frame::paint() {
    CRect area = invalid;
    area.bound(bounds);
    invalid = CRect();
    if (area.isEmpty() || surface == nullptr) {
        return;
    }
    frame.platformDrawRect(area);
    surface->show(frame.platformPixels(), area);
}
