#include "PluginEntry.h"

#include <new>

extern "C" AEffect* VSTPluginMain(audioMasterCallback audioMaster) {
    // A host must answer the version request; 0 means a host too old to drive us.
    if (audioMaster == nullptr || audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) {
        return nullptr;
    }
    // No failure may unwind into the host, which is C code.
    try {
        AudioEffect* effect = createEffectInstance(audioMaster);
        return effect != nullptr ? effect->getAeffect() : nullptr;
    } catch (...) {
        return nullptr;
    }
}
