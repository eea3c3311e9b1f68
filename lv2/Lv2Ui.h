// One LV2 UI instance: the VST editor on a model effect of its own, in the host's window.
//
// The model is a CorvelEdit, the effect the VST host gets, so the editor reads the same values and
// display texts and behaves exactly as under VST; its audio side never runs. It is the host of the
// model that changes: the model's host callback (this class's, finding the instance through the
// record's `user` field, the host's own in VST 2.4) turns a gesture's automation into write_function
// for the control port and its begin and end into ui:touch. A port event is a host's setParameter.
//
// Threads: every call, in and out, is on the host's UI thread. The X11 platform linked with this UI
// serves the window from idle() (events, the editor's repaint timer, the repaint); nothing starts a
// thread.
#pragma once

#include "Lv2UiHost.h"
#include "VstAbi.h"

#include <cstdint>
#include <memory>

class AEffGUIEditor;
class CorvelEdit;

class Lv2Ui {
  public:
    // [UI thread] Null when the host does not give what the UI needs or the window cannot be made.
    static std::unique_ptr<Lv2Ui> create(const Lv2UiHost& host);
    // [UI thread] Closes the window and frees the model.
    ~Lv2Ui();
    Lv2Ui(const Lv2Ui&) = delete;
    Lv2Ui& operator=(const Lv2Ui&) = delete;

    // The widget of a ui:X11UI: the UI's own X11 window id, in the pointer's value.
    void* widget() const { return reinterpret_cast<void*>(static_cast<std::uintptr_t>(window)); }

    // [UI thread] A control port's new value (format 0, one float); anything else is ignored.
    void portEvent(std::uint32_t port, std::uint32_t size, std::uint32_t format, const void* buffer);
    // [UI thread] Serves the window; always 0 (the UI never closes itself).
    int idle();

  private:
    explicit Lv2Ui(const Lv2UiHost& host);
    // The one place that knows the window's size: the editor's rectangle, told to the host.
    void requestSize();
    static VstIntPtr VSTCALLBACK modelHost(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                           void* ptr, float opt);

    const Lv2UiHost host;
    std::uint32_t window = 0;
    AEffGUIEditor* editor = nullptr;
    // Last: it goes first, while what its closing window may still call (the end of a gesture) is whole.
    std::unique_ptr<CorvelEdit> model;
};
