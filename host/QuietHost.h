// The least a host can be, for programs that host the plug-in only to draw or show it (tools,
// benchmarks): it speaks VST 2.4 and answers nothing else. The plug-in itself never includes it.
#pragma once

#include "VstAbi.h"

// [any thread]
inline VstIntPtr VSTCALLBACK quietHost(AEffect* /*effect*/, VstInt32 opcode, VstInt32 /*index*/,
                                       VstIntPtr /*value*/, void* /*ptr*/, float /*opt*/) {
    return opcode == audioMasterVersion ? kVstVersion : 0;
}
