// The effect a host gets: the effect with its editor. Every parameter change, whoever makes it (host
// automation, a program, the editor's own knobs), reaches the editor after the effect has stored it. A
// host may ask the editor to draw at a display scale (effVendorSpecific 'PreS' 'AeCs' with the factor in
// `opt`); it says so by answering canDo("supportsViewDpiScaling").
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
    VstInt32 canDo(char* text) override;
    // 1 when it took the scale, 0 for a bad factor or any other request.
    VstIntPtr vendorSpecific(VstInt32 index, VstIntPtr value, void* ptr, float opt) override;
};
