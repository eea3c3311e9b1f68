#include "CorvelEdit.h"

#include "ADEditor.h"

#include <cstring>

namespace {

// A host's request for a display scale: effVendorSpecific with these as index and value.
constexpr VstInt32 kScaleRequestIndex = vstFourCC('P', 'r', 'e', 'S');
constexpr VstIntPtr kScaleRequestValue = vstFourCC('A', 'e', 'C', 's');
const char* const kScaleCapability = "supportsViewDpiScaling";

} // namespace

CorvelEdit::CorvelEdit(audioMasterCallback audioMaster) : Corvel(audioMaster) {
    setUniqueID(vstFourCC('Q', 'r', 'K', 't'));
    // The editor attaches itself; the effect owns it from here on.
    editor = new ADEditor(this);
}

CorvelEdit::~CorvelEdit() {
    // A window still open closes while the effect is whole, so a gesture cut short still reaches the
    // host as the end of its edit.
    if (auto* guiEditor = static_cast<AEffGUIEditor*>(editor)) {
        guiEditor->close();
        // The window's own thread may still be finishing a gesture that reaches this effect.
        guiEditor->waitForWindowThreads();
    }
}

void CorvelEdit::setParameter(VstInt32 index, float value) {
    Corvel::setParameter(index, value);
    if (editor != nullptr) {
        static_cast<AEffGUIEditor*>(editor)->setParameter(index, value);
    }
}

VstInt32 CorvelEdit::getVendorVersion() {
    return 1005;
}

VstInt32 CorvelEdit::canDo(char* text) {
    if (text != nullptr && std::strcmp(text, kScaleCapability) == 0) {
        return 1;
    }
    return Corvel::canDo(text);
}

VstIntPtr CorvelEdit::vendorSpecific(VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    if (index == kScaleRequestIndex && value == kScaleRequestValue) {
        return editor != nullptr && static_cast<AEffGUIEditor*>(editor)->setContentScaleFactor(opt) ? 1 : 0;
    }
    return Corvel::vendorSpecific(index, value, ptr, opt);
}
