#include "CViewContainer.h"

#include "CBitmap.h"
#include "CDrawContext.h"

CViewContainer::CViewContainer(const CRect& containerSize) : CView(containerSize) {}

CViewContainer::~CViewContainer() {
    removeAll(true);
    setBackground(nullptr);
}

void CViewContainer::setBackground(CBitmap* bitmap) {
    exchangeReference(background, bitmap);
    setDirty(true);
}

bool CViewContainer::addView(CView* view) {
    if (view == nullptr) {
        return false;
    }
    views.push_back(view);
    view->attached(frame);
    return true;
}

void CViewContainer::removeAll(bool withForget) {
    // Views leave topmost first, each forgotten after it is out of the list.
    while (!views.empty()) {
        CView* view = views.back();
        viewWillBeRemoved(view);
        views.pop_back();
        view->removed();
        if (withForget) {
            view->forget();
        }
    }
}

CView* CViewContainer::getView(int index) const {
    return index >= 0 && index < getNbViews() ? views[static_cast<std::size_t>(index)] : nullptr;
}

CView* CViewContainer::getViewAt(const CPoint& where, bool mouseEnabledOnly) const {
    for (auto view = views.rbegin(); view != views.rend(); ++view) {
        if ((*view)->getViewSize().pointInside(where) && (!mouseEnabledOnly || (*view)->getMouseEnabled())) {
            return *view;
        }
    }
    return nullptr;
}

void CViewContainer::drawRect(CDrawContext* context, const CRect& updateRect) {
    CRect area = updateRect;
    area.bound(size);
    if (area.isEmpty()) {
        return;
    }
    context->setClipRect(area);
    context->setFillColor(backgroundColor);
    context->drawRect(size, kDrawFilled);
    if (background != nullptr) {
        background->draw(context, size);
    }
    for (CView* view : views) {
        CRect clip = view->getViewSize();
        clip.bound(area);
        if (!clip.isEmpty()) {
            context->setClipRect(clip);
            view->draw(context);
            view->setDirty(false);
        }
    }
    context->setClipRect(area);
}
