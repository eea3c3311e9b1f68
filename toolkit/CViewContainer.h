// A view holding other views over a background picture. It owns the views added to it: each keeps the
// reference it was created with until removeAll(true) or the container's end releases it. Views added
// later lie above earlier ones: they draw later and take the clicks where they overlap.
// [GUI thread]
#pragma once

#include "CColor.h"
#include "CView.h"

#include <vector>

class CBitmap;

class CViewContainer : public CView {
  public:
    explicit CViewContainer(const CRect& size);
    ~CViewContainer() override;

    void setBackground(CBitmap* bitmap);
    CBitmap* getBackground() const { return background; }
    // Fills the container under its background picture; opaque black unless told otherwise.
    void setBackgroundColor(const CColor& color) { backgroundColor = color; }

    bool addView(CView* view);
    // Takes every view out; with `withForget` each loses the container's reference (and so usually dies).
    void removeAll(bool withForget = true);
    int getNbViews() const { return static_cast<int>(views.size()); }
    CView* getView(int index) const;
    // The topmost view under `where`; with `mouseEnabledOnly`, views that take no mouse are looked through.
    CView* getViewAt(const CPoint& where, bool mouseEnabledOnly) const;

    // Background colour and picture, then every view meeting `updateRect`, each clipped to it.
    void drawRect(CDrawContext* context, const CRect& updateRect);

  protected:
    // A view is about to leave the container.
    virtual void viewWillBeRemoved(CView* /*view*/) {}

    std::vector<CView*> views;

  private:
    CBitmap* background = nullptr;
    CColor backgroundColor = kBlackCColor;
};
