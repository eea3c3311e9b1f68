#include "CorvelEdit.h"
#include "PluginEntry.h"

// The effect a host gets: the effect with its editor.
AudioEffect* createEffectInstance(audioMasterCallback audioMaster) {
    return new CorvelEdit(audioMaster);
}
