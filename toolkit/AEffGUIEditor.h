// The editor binding for VST 2.4: an AEffEditor whose window is a CFrame. It reports the editor's
// rectangle (also before the first open), idles the frame, hands the frame's key strokes on, and passes
// the start and end of every gesture to the effect, which tells the host.
#pragma once

#include "AEffEditor.h"
#include "VSTGUIEditorInterface.h"
#include "VstStructures.h"

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

  protected:
    ERect rect{};
    bool inIdleStuff = false;

  private:
    bool keyToFrame(VstKeyCode& keyCode, bool down);
};
