// The effect a host gets: the effect with its editor. Every parameter change, whoever makes it (host
// automation, a program, the editor's own knobs), reaches the editor after the effect has stored it.
#pragma once

#include "Corvel.h"

class CorvelEdit : public Corvel {
  public:
    // [the host's loading thread]
    explicit CorvelEdit(audioMasterCallback audioMaster);
    // [GUI thread] Closes a window still open.
    ~CorvelEdit() override;

    // [any thread]
    void setParameter(VstInt32 index, float value) override;
    // [GUI thread]
    VstInt32 getVendorVersion() override;
};
