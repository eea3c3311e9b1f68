#include "CFrame.h"

#include "CDrawContext.h"
#include "VSTGUIEditorInterface.h"

namespace {

int pixelSize(CCoord length) {
    return length > 0 ? pixelIndex(length) : 0;
}

} // namespace

CFrame::CFrame(const CRect& frameSize, void* systemWindow, VSTGUIEditorInterface* frameEditor)
    : CViewContainer(frameSize), editor(frameEditor),
      pixels(pixelSize(frameSize.getWidth()), pixelSize(frameSize.getHeight())) {
    frame = this;
    platformFrame = defaultPlatform().createFrame(*this, frameSize, systemWindow, frameEditor);
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
        platformFrame->invalidRect(area);
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
    platformDrawRect(size);
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

void CFrame::platformDrawRect(const CRect& rect) {
    CDrawContext context(pixels, rect);
    drawRect(&context, rect);
    setDirty(false);
}

CMouseEventResult CFrame::platformOnMouseDown(const CPoint& where, CButtonState buttons) {
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

CMouseEventResult CFrame::platformOnMouseMoved(const CPoint& where, CButtonState buttons) {
    if (mouseDownView == nullptr) {
        return kMouseEventNotHandled;
    }
    CPoint local = where;
    return mouseDownView->onMouseMoved(local, buttons);
}

CMouseEventResult CFrame::platformOnMouseUp(const CPoint& where, CButtonState buttons) {
    CView* view = mouseDownView;
    mouseDownView = nullptr;
    if (view == nullptr) {
        return kMouseEventNotHandled;
    }
    CPoint local = where;
    return view->onMouseUp(local, buttons);
}

bool CFrame::platformOnMouseWheel(const CPoint& where, float distance, CButtonState buttons) {
    CView* view = getViewAt(where, true);
    return view != nullptr && view->onWheel(where, distance, buttons);
}
