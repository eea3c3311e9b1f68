#include "CView.h"

#include "CFrame.h"

CView::CView(const CRect& viewSize) : size(viewSize) {}

void CView::invalid() {
    setDirty(false);
    invalidRect(size);
}

void CView::invalidRect(const CRect& rect) {
    if (frame != nullptr) {
        frame->invalidRect(rect);
    }
}
