// The effect's editor: a window the size of its background picture, with the main knob (LP left, HP
// right), the DRIVE and RESO knobs, the ON/OFF lamp that lights while the filter is engaged, the cut-off
// read-out and an invisible button over the maker's logo that opens the maker's web page.
//
// Threads. open, close, idle and getRect come on the host's GUI thread, and the window draws and takes
// the mouse on the editor's GUI thread (the thread that opened it, or a thread the platform serves the
// window with). Parameter changes arrive on any host thread, the audio thread included: on the GUI
// thread they move the controls at once; on any other thread they only mark the parameter as changed
// (one atomic word, no allocation, no lock, no call into the toolkit), and the next timer firing moves
// the controls to the effect's latest values before the window repaints.
#pragma once

#include "AEffGUIEditor.h"
#include "CAnimKnob.h"
#include "CBitmap.h"
#include "CControlListener.h"
#include "CKickButton.h"
#include "CKnob.h"
#include "COnOffButton.h"
#include "CTextLabel.h"
#include "CVSTGUITimer.h"

#include <atomic>
#include <cstdint>

// The tags of the two controls that stand for no parameter; the knobs carry their parameter's index.
enum ADEditorTag : int32_t { kOnOff = 4, kLogo = 6 };

class ADEditor : public AEffGUIEditor, public CControlListener, public CBaseObject {
  public:
    // [the effect's thread] Loads the pictures and starts the repaint timer at its closed-window pace.
    explicit ADEditor(AudioEffect* effect);
    ~ADEditor() override;

    // [GUI thread] Builds the window in the host's `ptr` (closing a window still open first); always true.
    bool open(void* ptr) override;
    // [GUI thread]
    void close() override;
    // [GUI thread] The host's idle calls do nothing: the timer drives the repainting.
    void idle() override;
    // [any thread] A parameter of the effect changed; moves its control, the read-out and the lamp.
    void setParameter(VstInt32 index, float value) override;
    // [GUI thread] One timer firing: pending parameter changes, then the frame's idle.
    virtual void timerIdle();

    // [GUI thread] A user's change on a control.
    void valueChanged(CControl* control) override;
    // [GUI thread] The timer's notification.
    CMessageResult notify(CBaseObject* sender, const char* message) override;

  private:
    // The controls to a new value of a parameter, on the GUI thread.
    void applyParameter(VstInt32 index, float value);
    // The parameters changed on other threads since the last firing, to the effect's latest values.
    void applyPendingParameters();

    CBitmap* backgroundBitmap;
    CBitmap* onOffBitmap;
    CBitmap* knobBitmap;
    CBitmap* smallKnobBitmap;
    CVSTGUITimer* idleTimer;
    // From the end of open to the start of close: the frame and the controls exist. The editor's one
    // test of whether its window is open. Atomic: the window's own thread may still be finishing a
    // gesture as the host closes.
    std::atomic<bool> editorOpen;
    CTextLabel* frequencyLabel = nullptr;
    CKnob* mainKnob = nullptr;
    COnOffButton* onOffLamp = nullptr;
    CKickButton* logoButton;
    CAnimKnob* resoKnob = nullptr;
    CAnimKnob* driveKnob = nullptr;
    // One bit per parameter changed off the GUI thread.
    std::atomic<uint32_t> pendingParameters{0};
};
