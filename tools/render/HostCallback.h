// The host side of the VST 2.4 conversation: what velmora-render answers when a plug-in calls it,
// and a record of the notifications the plug-in sent.
#pragma once

#include "VstAbi.h"

#include <array>
#include <string>

namespace render {

struct HostContext {
    double sampleRate = 44100.0;
    VstInt32 blockSize = 512;
    VstInt32 processLevel = 1; // kVstProcessLevelUser until rendering starts
    bool automationPlaying = false;
    std::string pluginDirectory;

    long automateCount = 0;
    long beginEditCount = 0;
    long endEditCount = 0;
    std::array<long, 64> opcodeCounts{}; // every host opcode received, for --verbose
};

// Routes calls to the HostContext stored in the record's resvd1 field (reserved for the host), or,
// while the entry point runs and no record exists yet, to the context being bound on this thread.
VstIntPtr VSTCALLBACK hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                   void* ptr, float opt);

// Marks `context` as the one for callbacks without a bound record, for the lifetime of the object.
class PendingHostBinding {
  public:
    explicit PendingHostBinding(HostContext* context);
    ~PendingHostBinding();
    PendingHostBinding(const PendingHostBinding&) = delete;
    PendingHostBinding& operator=(const PendingHostBinding&) = delete;

  private:
    HostContext* previous_;
};

void bindHostContext(AEffect* effect, HostContext* context);

// The host's answer to audioMasterCanDo: -1 for the published capabilities, none of which an offline
// file renderer offers, 0 for names it does not know.
VstIntPtr hostCanDo(const char* capability);

} // namespace render
