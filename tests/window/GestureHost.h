// A host callback that records the gesture notifications an editor sends (begin edit, automate, end
// edit), from whichever thread sends them, and answers the version request.
#pragma once

#include "VstAbi.h"

#include <mutex>
#include <vector>

struct HostCall {
    VstInt32 opcode;
    VstInt32 index;
    float value;
};

class GestureHost {
  public:
    static VstIntPtr VSTCALLBACK callback(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr, void*,
                                          float opt) {
        if (opcode == audioMasterAutomate || opcode == audioMasterBeginEdit || opcode == audioMasterEndEdit) {
            const std::lock_guard<std::mutex> lock(guard);
            calls.push_back({opcode, index, opt});
        }
        return opcode == audioMasterVersion ? kVstVersion : 0;
    }

    // The calls since the last take.
    static std::vector<HostCall> take() {
        const std::lock_guard<std::mutex> lock(guard);
        std::vector<HostCall> taken;
        taken.swap(calls);
        return taken;
    }

  private:
    static inline std::mutex guard;
    static inline std::vector<HostCall> calls;
};
