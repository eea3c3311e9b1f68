#include "Win32Frame.h"

#include "CPixelBuffer.h"
#include "ModuleHandle.h"
#include "Win32Dpi.h"
#include "Win32Input.h"

#include <cstdio>
#include <mutex>

#include <windowsx.h>

namespace {

// The class lives while a frame does: registered with the first, unregistered with the last, so the
// library can be unloaded and loaded again.
std::mutex classGuard;
int liveFrames = 0;

HINSTANCE module() {
    return static_cast<HINSTANCE>(hInstance);
}

bool acquireClass() {
    const std::lock_guard<std::mutex> lock(classGuard);
    if (liveFrames == 0) {
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = &Win32Frame::messageArrived;
        windowClass.hInstance = module();
        windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        windowClass.lpszClassName = Win32Frame::className();
        if (RegisterClassExA(&windowClass) == 0) {
            return false;
        }
    }
    ++liveFrames;
    return true;
}

void releaseClass() {
    const std::lock_guard<std::mutex> lock(classGuard);
    if (--liveFrames == 0) {
        UnregisterClassA(Win32Frame::className(), module());
    }
}

CPoint pointOf(LPARAM position) {
    return CPoint(GET_X_LPARAM(position), GET_Y_LPARAM(position));
}

CButtonState buttonOf(UINT message) {
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        return kLButton;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
        return kMButton;
    default:
        return kRButton;
    }
}

} // namespace

const char* Win32Frame::className() {
    // The version and the module's address: two builds, or two copies of one, never share a class.
    static char name[64];
    static std::once_flag made;
    std::call_once(
        made, [] { std::snprintf(name, sizeof(name), "VelmoraFrame-%s-%p", VELMORA_VERSION, hInstance); });
    return name;
}

Win32Frame::Win32Frame(IPlatformFrameCallback& frameCallback, const CRect& size, void* parent)
    : frame(frameCallback), parentWindow(static_cast<HWND>(parent)) {
    if (parentWindow == nullptr || !IsWindow(parentWindow) || !acquireClass()) {
        return;
    }
    {
        const win32::ParentAwareness sameDpi(parentWindow);
        window = CreateWindowExA(0, className(), "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0,
                                 pixelIndex(size.getWidth()), pixelIndex(size.getHeight()), parentWindow,
                                 nullptr, module(), nullptr);
    }
    if (window == nullptr) {
        releaseClass();
        return;
    }
    // Until this is set, the class's procedure leaves every message to Windows.
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Win32Frame::~Win32Frame() {
    if (window == nullptr) {
        return;
    }
    // The host's window gets the keyboard back rather than nobody.
    handBackFocus();
    // No message reaches this frame once it is going.
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    DestroyWindow(window);
    releaseClass();
}

void Win32Frame::invalidRect(const CRect& rect) {
    if (window == nullptr) {
        return;
    }
    const RECT area = {pixelIndex(rect.left), pixelIndex(rect.top), pixelIndex(rect.right),
                       pixelIndex(rect.bottom)};
    InvalidateRect(window, &area, FALSE);
}

void Win32Frame::setSize(int width, int height) {
    if (window == nullptr) {
        return;
    }
    SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(window, nullptr, FALSE);
}

double Win32Frame::systemScaleFactor() const {
    return window != nullptr ? win32::windowScaleFactor(parentWindow) : 0.0;
}

LRESULT CALLBACK Win32Frame::messageArrived(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Win32Frame*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    return self != nullptr ? self->handle(message, wParam, lParam)
                           : DefWindowProcA(window, message, wParam, lParam);
}

LRESULT Win32Frame::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        paint();
        return 0;
    case WM_ERASEBKGND:
        // Every pixel is painted: no flash of the class background.
        return 1;
    case WM_LBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_RBUTTONDOWN:
        mouseDown(wParam, lParam);
        return 0;
    case WM_MOUSEMOVE:
        if (tracking) {
            frame.platformOnMouseMoved(pointOf(lParam), win32::mouseState(wParam));
        }
        return 0;
    case WM_LBUTTONUP:
    case WM_MBUTTONUP:
    case WM_RBUTTONUP:
        mouseUp(message, wParam, lParam);
        return 0;
    case WM_CAPTURECHANGED:
        // Someone took the mouse mid-drag: the gesture ends here, as with a release.
        if (tracking && reinterpret_cast<HWND>(lParam) != window) {
            tracking = false;
            frame.platformOnMouseUp(CPoint(), 0);
        }
        return 0;
    case WM_MOUSEWHEEL: {
        POINT where = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ScreenToClient(window, &where);
        const float steps = static_cast<float>(GET_WHEEL_DELTA_WPARAM(wParam)) / WHEEL_DELTA;
        frame.platformOnMouseWheel(CPoint(where.x, where.y), steps,
                                   win32::mouseState(GET_KEYSTATE_WPARAM(wParam)));
        return 0;
    }
    case WM_MOUSELEAVE:
        if (!tracking) {
            handBackFocus();
        }
        return 0;
    case WM_GETDLGCODE:
        // The arrow keys are ours, also inside a host's dialog.
        return DLGC_WANTARROWS;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
        return handleKey(message, wParam, lParam);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

void Win32Frame::paint() {
    PAINTSTRUCT paintStruct;
    const HDC context = BeginPaint(window, &paintStruct);
    const RECT& area = paintStruct.rcPaint;
    if (area.right > area.left && area.bottom > area.top) {
        frame.platformDrawRect(CRect(area.left, area.top, area.right, area.bottom));
        const CPixelBuffer& pixels = frame.platformPixels();
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = pixels.getWidth();
        // Negative: rows top to bottom, as the buffer holds them.
        info.bmiHeader.biHeight = -pixels.getHeight();
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        // The whole buffer, which the paint's clipping region cuts down to what was invalid: source
        // offsets into a top-down DIB are read differently by different GDI implementations.
        SetDIBitsToDevice(context, 0, 0, static_cast<DWORD>(pixels.getWidth()),
                          static_cast<DWORD>(pixels.getHeight()), 0, 0, 0,
                          static_cast<UINT>(pixels.getHeight()), pixels.data().data(), &info, DIB_RGB_COLORS);
    }
    EndPaint(window, &paintStruct);
}

// The one rule for keys: the editor keeps a key only when the focused control uses it (the arrows on a
// knob), with its release. Every other key, and every character, goes to the host's window, once: a host
// that hands it back to the focused window does not get it again.
LRESULT Win32Frame::handleKey(UINT message, WPARAM wParam, LPARAM lParam) {
    const std::size_t code = wParam & 0xff;
    bool used = false;
    if (message == WM_KEYDOWN) {
        VstKeyCode key = win32::keyFromVirtualKey(wParam);
        used = (key.character != 0 || key.virt != 0) && frame.platformOnKeyDown(key);
        keptKeys[code] = used;
    } else if (message == WM_KEYUP && keptKeys[code]) {
        VstKeyCode key = win32::keyFromVirtualKey(wParam);
        frame.platformOnKeyUp(key);
        keptKeys[code] = false;
        used = true;
    }
    if (used || forwardingKey) {
        return 0;
    }
    forwardingKey = true;
    const LRESULT result = SendMessageA(GetParent(window), message, wParam, lParam);
    forwardingKey = false;
    return result;
}

void Win32Frame::handBackFocus() {
    if (focusBefore == nullptr) {
        return;
    }
    if (GetFocus() == window) {
        SetFocus(IsWindow(focusBefore) ? focusBefore : GetParent(window));
    }
    focusBefore = nullptr;
}

void Win32Frame::mouseDown(WPARAM keyState, LPARAM position) {
    // A click gives the window the keyboard, for the arrow keys, until the pointer leaves it; and the
    // mouse until the release.
    const HWND focused = GetFocus();
    if (focused != window) {
        focusBefore = focused != nullptr ? focused : GetParent(window);
        SetFocus(window);
    }
    TRACKMOUSEEVENT leave = {sizeof(leave), TME_LEAVE, window, 0};
    TrackMouseEvent(&leave);
    SetCapture(window);
    tracking =
        frame.platformOnMouseDown(pointOf(position), win32::mouseState(keyState)) == kMouseEventHandled;
    if (!tracking) {
        ReleaseCapture();
    }
}

void Win32Frame::mouseUp(UINT message, WPARAM keyState, LPARAM position) {
    const CButtonState state = win32::mouseState(keyState);
    if (tracking && (state & (kLButton | kMButton | kRButton)) == 0) {
        tracking = false;
        ReleaseCapture();
    }
    frame.platformOnMouseUp(pointOf(position), state & ~buttonOf(message));
    // A drag that ended outside: the pointer left while the window held the mouse.
    RECT client;
    GetClientRect(window, &client);
    const CPoint where = pointOf(position);
    if (!tracking && !PtInRect(&client, POINT{static_cast<LONG>(where.x), static_cast<LONG>(where.y)})) {
        handBackFocus();
    }
}
