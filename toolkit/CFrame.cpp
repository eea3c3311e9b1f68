#include "CFrame.h"

#include "CDrawContext.h"
#include "VSTGUIEditorInterface.h"

namespace {

int pixelSize(CCoord length, double factor) {
    return length > 0 ? scaledPixel(length, factor) : 0;
}

CPixelBuffer pixelsFor(const CRect& size, double factor) {
    return CPixelBuffer(pixelSize(size.getWidth(), factor), pixelSize(size.getHeight(), factor));
}

} // namespace

CFrame::CFrame(const CRect& frameSize, void* systemWindow, VSTGUIEditorInterface* frameEditor,
               double frameScale)
    : CViewContainer(frameSize), editor(frameEditor),
      scaleFactor(isScaleFactor(frameScale) ? frameScale : 1.0), pixels(pixelsFor(frameSize, scaleFactor)) {
    frame = this;
    platformFrame = defaultPlatform().createFrame(*this, CRect(0, 0, pixels.getWidth(), pixels.getHeight()),
                                                  systemWindow, frameEditor);
}

bool CFrame::setScaleFactor(double factor) {
    if (!isScaleFactor(factor) || factor == scaleFactor) {
        return false;
    }
    scaleFactor = factor;
    pixels = pixelsFor(size, scaleFactor);
    if (platformFrame) {
        platformFrame->setSize(pixels.getWidth(), pixels.getHeight());
    }
    invalid();
    return true;
}

CFrame::~CFrame() {
    // The window goes first, so nothing draws or clicks while the views go.
    platformFrame.reset();
    removeAll(true);
}

void CFrame::close() {
    if (platformFrame && platformFrame->handOverClose()) {
        return;
    }
    platformClose();
}

void CFrame::platformClose() {
    removeAll(true);
    forget();
}

void CFrame::idle() {
    for (CView* view : views) {
        if (view->isDirty()) {
            view->invalid();
        }
    }
    if (isDirty()) {
        invalid();
    }
}

void CFrame::invalidRect(const CRect& rect) {
    CRect area = rect;
    area.bound(size);
    if (!area.isEmpty() && platformFrame) {
        platformFrame->invalidRect(scaledRect(area, scaleFactor));
    }
}

void CFrame::beginEdit(int32_t tag) {
    if (editor != nullptr) {
        editor->beginEdit(tag);
    }
}

void CFrame::endEdit(int32_t tag) {
    if (editor != nullptr) {
        editor->endEdit(tag);
    }
}

int32_t CFrame::onKeyDown(VstKeyCode& key) {
    return focusView != nullptr ? focusView->onKeyDown(key) : -1;
}

int32_t CFrame::onKeyUp(VstKeyCode& key) {
    return focusView != nullptr ? focusView->onKeyUp(key) : -1;
}

const CPixelBuffer& CFrame::renderAll() {
    platformDrawRect(CRect(0, 0, pixels.getWidth(), pixels.getHeight()));
    return pixels;
}

void CFrame::viewWillBeRemoved(CView* view) {
    if (view == focusView) {
        focusView = nullptr;
    }
    if (view == mouseDownView) {
        mouseDownView = nullptr;
    }
}

void CFrame::platformDrawRect(const CRect& pixelRect) {
    CDrawContext context(pixels, pixelRect, scaleFactor);
    drawRect(&context, CRect(pixelRect.left / scaleFactor, pixelRect.top / scaleFactor,
                             pixelRect.right / scaleFactor, pixelRect.bottom / scaleFactor));
    setDirty(false);
}

CMouseEventResult CFrame::platformOnMouseDown(const CPoint& pixel, CButtonState buttons) {
    const CPoint where = toWindow(pixel);
    mouseDownView = nullptr;
    CView* view = getViewAt(where, true);
    if (view == nullptr) {
        return kMouseEventNotHandled;
    }
    if (view->wantsFocus()) {
        focusView = view;
    }
    CPoint local = where;
    const CMouseEventResult result = view->onMouseDown(local, buttons);
    if (result == kMouseEventHandled) {
        mouseDownView = view;
    }
    return result;
}

CMouseEventResult CFrame::platformOnMouseMoved(const CPoint& pixel, CButtonState buttons) {
    if (mouseDownView == nullptr) {
        return kMouseEventNotHandled;
    }
    CPoint local = toWindow(pixel);
    return mouseDownView->onMouseMoved(local, buttons);
}

CMouseEventResult CFrame::platformOnMouseUp(const CPoint& pixel, CButtonState buttons) {
    CView* view = mouseDownView;
    mouseDownView = nullptr;
    if (view == nullptr) {
        return kMouseEventNotHandled;
    }
    CPoint local = toWindow(pixel);
    return view->onMouseUp(local, buttons);
}

bool CFrame::platformOnMouseWheel(const CPoint& pixel, float distance, CButtonState buttons) {
    const CPoint where = toWindow(pixel);
    CView* view = getViewAt(where, true);
    return view != nullptr && view->onWheel(where, distance, buttons);
}
