#include "X11Frame.h"

#include "VSTGUIEditorInterface.h"
#include "X11Platform.h"
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

constexpr uint32_t kEventMask = XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_BUTTON_PRESS |
                                XCB_EVENT_MASK_BUTTON_RELEASE | XCB_EVENT_MASK_POINTER_MOTION |
                                XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_KEY_RELEASE;

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

} // namespace

X11Frame::X11Frame(IPlatformFrameCallback& frameCallback, const CRect& size, void* parent,
                   VSTGUIEditorInterface* frameEditor)
    : frame(frameCallback), editor(frameEditor),
      owner(frameEditor != nullptr ? dynamic_cast<const void*>(frameEditor) : nullptr),
      bounds(0, 0, size.getWidth(), size.getHeight()), invalid(bounds) {
    X11Platform::instance().add(this);
    xcb_window_t parentWindow = 0;
    const int width = pixelIndex(bounds.right);
    const int height = pixelIndex(bounds.bottom);
    if (!windowId(parent, parentWindow) || width <= 0 || height <= 0 || width > UINT16_MAX ||
        height > UINT16_MAX) {
        return;
    }
    int screenNumber = 0;
    connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        connection = nullptr;
        return;
    }
    auto screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i) {
        xcb_screen_next(&screens);
    }
    const xcb_screen_t& screen = *screens.data;
    // The screen's own depth, visual and colour map, whatever the host's window uses: so the window
    // takes our pixels as they are, under any parent.
    window = xcb_generate_id(connection);
    const uint32_t values[] = {screen.black_pixel, kEventMask, screen.default_colormap};
    const bool made =
        succeeded(connection,
                  xcb_create_window_checked(
                      connection, screen.root_depth, window, parentWindow, 0, 0, static_cast<uint16_t>(width),
                      static_cast<uint16_t>(height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen.root_visual,
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
    surface = x11::Surface::create(connection, screen, window, width, height);
}

X11Frame::~X11Frame() {
    stopServing();
    X11Platform::instance().remove(this);
    surface.reset();
    if (connection != nullptr) {
        xcb_destroy_window(connection, window);
        xcb_disconnect(connection);
    }
    if (wakeFd >= 0) {
        close(wakeFd);
    }
}

void X11Frame::invalidRect(const CRect& rect) {
    invalid.unite(rect);
}

void X11Frame::timerStarted(X11Timer& timer) {
    if (onServingThread()) {
        due = Clock::now() + std::chrono::milliseconds(std::max(timer.getPeriod(), kShortestPeriod));
        return;
    }
    if (isServing()) {
        stopServing();
    } else {
        startServing(timer);
    }
}

void X11Frame::timerStopped(X11Timer& timer) {
    if (serves(timer) && !onServingThread()) {
        stopServing();
    }
}

void X11Frame::timerGone(X11Timer& timer) {
    timerStopped(timer);
    X11Timer* expected = &timer;
    servedTimer.compare_exchange_strong(expected, nullptr);
}

void X11Frame::startServing(X11Timer& timer) {
    if (connection == nullptr) {
        return;
    }
    servedTimer = &timer;
    due = Clock::now() + std::chrono::milliseconds(std::max(timer.getPeriod(), kShortestPeriod));
    std::promise<void> handedOver;
    server = std::thread([this, &handedOver] {
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
    if (onServingThread()) {
        // The frame goes from inside one of its own callbacks (a host closing the editor from its
        // automation callback): the thread cannot join itself, so it leaves as soon as that returns.
        *servingAlive = false;
        server.detach();
        servingThread = kNoThread;
        servedTimer = nullptr;
        return;
    }
    stopRequested = true;
    const uint64_t one = 1;
    (void)!write(wakeFd, &one, sizeof(one));
    server.join();
    uint64_t drained = 0;
    (void)!read(wakeFd, &drained, sizeof(drained));
    stopRequested = false;
    servingThread = kNoThread;
    servedTimer = nullptr;
    if (editor != nullptr) {
        editor->setGuiThread(currentThread());
    }
}

void X11Frame::serve() {
    // After every callback into the toolkit: whether this frame still exists.
    bool alive = true;
    servingAlive = &alive;
    pollfd waits[] = {{xcb_get_file_descriptor(connection), POLLIN, 0}, {wakeFd, POLLIN, 0}};
    while (!stopRequested.load()) {
        // Events already read along with a reply wait in XCB's queue, not on the socket: take them first.
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
            handle(*event);
            std::free(event);
            if (!alive) {
                return;
            }
        }
        if (xcb_connection_has_error(connection)) {
            // The server went away: nothing more to show or to hear.
            return;
        }
        fireTimerIfDue();
        if (!alive) {
            return;
        }
        paint();
        xcb_flush(connection);
        if (!stopRequested.load()) {
            poll(waits, 2, millisecondsToWait());
        }
    }
}

void X11Frame::fireTimerIfDue() {
    X11Timer* timer = servedTimer.load();
    if (timer == nullptr || !timer->isRunning() || Clock::now() < due) {
        return;
    }
    // Set before firing: a firing that restarts the timer sets its own.
    due = std::max(due + std::chrono::milliseconds(std::max(timer->getPeriod(), kShortestPeriod)),
                   Clock::now());
    timer->getCallback().fire();
}

int X11Frame::millisecondsToWait() const {
    X11Timer* timer = servedTimer.load();
    if (!invalid.isEmpty()) {
        return 0;
    }
    if (timer == nullptr || !timer->isRunning()) {
        return -1;
    }
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(due - Clock::now()).count();
    return static_cast<int>(std::max<decltype(left)>(left, 0));
}

void X11Frame::handle(const xcb_generic_event_t& event) {
    // The top bit marks events that another client sent.
    switch (event.response_type & ~0x80) {
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
    case XCB_KEY_RELEASE: {
        const auto& press = reinterpret_cast<const xcb_key_press_event_t&>(event);
        VstKeyCode key = keyboard->translate(press.detail, press.state);
        if (key.character == 0 && key.virt == 0) {
            break;
        }
        if ((event.response_type & ~0x80) == XCB_KEY_PRESS) {
            frame.platformOnKeyDown(key);
        } else {
            frame.platformOnKeyUp(key);
        }
        break;
    }
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
    if (pressed) {
        // A click gives the window the keyboard, for the arrow keys.
        xcb_set_input_focus(connection, XCB_INPUT_FOCUS_PARENT, window, XCB_CURRENT_TIME);
        frame.platformOnMouseDown(where, button | held);
    } else {
        frame.platformOnMouseUp(where, (x11::heldButtons(event.state) & ~button) | held);
    }
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
