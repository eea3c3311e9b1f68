// The editor binding for VST 2.4: an AEffEditor whose window is a CFrame. It reports the editor's
// rectangle (also before the first open), idles the frame, hands the frame's key strokes on, and passes
// the start and end of every gesture to the effect, which tells the host.
//
// Scale. The editor draws at one display scale factor: the host's request if it made one (any plug-in
// format's, through setContentScaleFactor), else the system's, which a window learns as it opens (and on
// Windows while open, from the host's window), else 1. The rectangle is the unscaled size times that
// factor, rounded; when it changes while the window is open, the window follows and the host is told
// with sizeWindow where it offers that.
#pragma once

#include "AEffEditor.h"
#include "CGeometry.h"
#include "VSTGUIEditorInterface.h"
#include "VstStructures.h"

#include <atomic>

class AudioEffect;

class AEffGUIEditor : public AEffEditor, public VSTGUIEditorInterface {
  public:
    // [the effect's thread] Attaches itself to the effect, which owns it from then on.
    explicit AEffGUIEditor(AudioEffect* effect);
    ~AEffGUIEditor() override;

    // [GUI thread]
    bool getRect(ERect** ppRect) override;
    // The calling thread becomes the editor's GUI thread.
    bool open(void* ptr) override;
    // Returns without waiting for the window's own thread (see CFrame::close).
    void close() override;
    // Waits until no thread of the platform still runs this editor's code for a window already closed:
    // before the effect, or the editor, goes. Never for the host's close.
    void waitForWindowThreads();
    // The frame's idle, unless one is already running further up the stack.
    void idle() override;
    // Keys the host passes on (effEditKeyDown / effEditKeyUp), for the focused control: true when it
    // used them. [the host's GUI thread]
    bool onKeyDown(VstKeyCode& keyCode) override;
    bool onKeyUp(VstKeyCode& keyCode) override;

    // [any thread] A parameter of the effect changed.
    virtual void setParameter(VstInt32 /*index*/, float /*value*/) {}

    // [GUI thread] To the effect's beginEdit / endEdit.
    void beginEdit(int32_t index) override;
    void endEdit(int32_t index) override;

    // [the host's GUI thread] The host asks the editor to draw at a display scale factor, 1 to 4 (an open
    // window takes it at once, or at the next timer firing while its own thread is inside a host call).
    // Anything else, NaN and the infinities included, changes nothing and answers false. Every plug-in
    // format's scale request comes through here.
    bool setContentScaleFactor(float factor);
    // [any thread] The factor the editor draws at.
    double getContentScaleFactor() const { return scaleFactor.load(); }

  protected:
    // [the effect's thread] The editor's size at scale 1, in window coordinates.
    void setUnscaledSize(CCoord width, CCoord height);
    // [GUI thread, as open ends] Unless the host chose a scale, the editor and its new window take the
    // system's.
    void adoptSystemScale(CFrame* newFrame);

    ERect rect{};
    bool inIdleStuff = false;

  private:
    bool keyToFrame(VstKeyCode& keyCode, bool down);
    // [the host's GUI thread] The editor's factor from now on: the rectangle, and the host told when an
    // open window changes size.
    void changeScale(double factor);
    // [GUI thread] The window follows the editor's factor, and the system's while the host chose none.
    void followScale(CFrame* shown);

    CCoord unscaledWidth = 0;
    CCoord unscaledHeight = 0;
    std::atomic<double> scaleFactor{1.0};
    std::atomic<bool> hostChoseScale{false};
};
