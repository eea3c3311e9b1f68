#include "CorvelEdit.h"

#include "ADEditor.h"

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
