// The editor's window: the views it holds, the pixels they draw into, and the platform window that shows
// those pixels inside the host's window and feeds the views mouse and keyboard input.
//
// Scale. Views keep window coordinates whatever the display's scale; the frame draws them at a scale
// factor into round(width x factor) x round(height x factor) pixels, the platform window's size, and
// hands the views mouse positions divided by the factor (so a drag covers factor times as many pixels
// for the same change). At factor 1 window coordinates are pixels.
// [GUI thread]
#pragma once

#include "CPixelBuffer.h"
#include "CViewContainer.h"
#include "Platform.h"

#include <memory>

class VSTGUIEditorInterface;

class CFrame : public CViewContainer, private IPlatformFrameCallback {
  public:
    // Makes the platform window, a child of the host's `systemWindow`, at `scaleFactor` (1 to 4; 1
    // otherwise).
    CFrame(const CRect& size, void* systemWindow, VSTGUIEditorInterface* editor, double scaleFactor = 1.0);
    ~CFrame() override;

    double getScaleFactor() const { return scaleFactor; }
    // Draws at a new factor from now on: new pixels, the platform window resized to them, everything
    // repainted. A factor outside 1 to 4 (NaN included) is ignored. Answers whether the factor changed.
    bool setScaleFactor(double factor);

    // Removes and releases every view and releases the frame, which destroys it and its window: at once,
    // or, when the window's own thread is inside a call to the host, on that thread as soon as the call
    // returns (the caller never waits for the host). Either way the frame is gone for the caller.
    void close();
    // Repaints every view marked dirty.
    void idle();
    // Asks the platform window to show `rect` (window coordinates) again.
    void invalidRect(const CRect& rect);

    // The editor hears of the start and end of every gesture on a control.
    void beginEdit(int32_t tag);
    void endEdit(int32_t tag);

    VSTGUIEditorInterface* getEditor() const { return editor; }
    void setFocusView(CView* view) { focusView = view; }
    CView* getFocusView() const { return focusView; }

    // Keys go to the view that has the focus: 1 when it used them, -1 when not.
    int32_t onKeyDown(VstKeyCode& key) override;
    int32_t onKeyUp(VstKeyCode& key) override;

    // What the platform window shows, for tests and tools: draws the whole frame and answers the pixels.
    const CPixelBuffer& renderAll();
    IPlatformFrame* getPlatformFrame() const { return platformFrame.get(); }

  protected:
    void viewWillBeRemoved(CView* view) override;

  private:
    void platformDrawRect(const CRect& pixelRect) override;
    // A platform's position in pixels, in window coordinates.
    CPoint toWindow(const CPoint& where) const {
        return CPoint(where.x / scaleFactor, where.y / scaleFactor);
    }
    const CPixelBuffer& platformPixels() const override { return pixels; }
    CMouseEventResult platformOnMouseDown(const CPoint& where, CButtonState buttons) override;
    CMouseEventResult platformOnMouseMoved(const CPoint& where, CButtonState buttons) override;
    CMouseEventResult platformOnMouseUp(const CPoint& where, CButtonState buttons) override;
    bool platformOnMouseWheel(const CPoint& where, float distance, CButtonState buttons) override;
    bool platformOnKeyDown(VstKeyCode& key) override { return onKeyDown(key) == 1; }
    bool platformOnKeyUp(VstKeyCode& key) override { return onKeyUp(key) == 1; }
    void platformClose() override;

    VSTGUIEditorInterface* editor;
    double scaleFactor;
    CPixelBuffer pixels;
    CView* focusView = nullptr;
    CView* mouseDownView = nullptr;
    std::unique_ptr<IPlatformFrame> platformFrame;
};
