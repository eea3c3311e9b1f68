#include "Corvel.h"
#include "PluginEntry.h"

// The effect a host gets. (Without an editor for now: flags then read effFlagsCanReplacing only.)
AudioEffect* createEffectInstance(audioMasterCallback audioMaster) {
    return new Corvel(audioMaster);
}
