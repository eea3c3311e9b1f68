#include "HostCallback.h"

#include <cstring>

namespace render {

namespace {

thread_local HostContext* pendingContext = nullptr;

HostContext& contextFor(AEffect* effect) {
    if (effect != nullptr && effect->resvd1 != 0)
        return *reinterpret_cast<HostContext*>(effect->resvd1);
    if (pendingContext != nullptr)
        return *pendingContext;
    // A plug-in asking before any binding (for example from a thread of its own) gets the defaults.
    static thread_local HostContext defaults;
    return defaults;
}

void copyText(void* ptr, const char* text, size_t capacity) {
    if (ptr == nullptr)
        return;
    std::strncpy(static_cast<char*>(ptr), text, capacity - 1);
    static_cast<char*>(ptr)[capacity - 1] = '\0';
}

constexpr VstInt32 kVstLangEnglish = 1;
constexpr VstInt32 kVstAutomationOff = 1;
constexpr VstInt32 kVstAutomationRead = 2;

} // namespace

PendingHostBinding::PendingHostBinding(HostContext* context) : previous_(pendingContext) {
    pendingContext = context;
}

PendingHostBinding::~PendingHostBinding() {
    pendingContext = previous_;
}

void bindHostContext(AEffect* effect, HostContext* context) {
    effect->resvd1 = reinterpret_cast<VstIntPtr>(context);
}

VstIntPtr hostCanDo(const char* capability) {
    if (capability == nullptr)
        return 0;
    // An offline renderer of plain audio: none of the published host capabilities apply.
    static const char* const kNotDone[] = {
        "sendVstEvents",
        "sendVstMidiEvent",
        "sendVstTimeInfo",
        "receiveVstEvents",
        "receiveVstMidiEvent",
        "reportConnectionChanges",
        "acceptIOChanges",
        "sizeWindow",
        "offline",
        "openFileSelector",
        "closeFileSelector",
        "supplyIdle",
        "supportShell",
        "shellCategory",
        "editFile",
        "asyncProcessing",
        "sendVstMidiEventFlagIsRealtime",
        "startStopProcess",
    };
    for (const char* name : kNotDone) {
        if (std::strcmp(capability, name) == 0)
            return -1;
    }
    return 0;
}

VstIntPtr VSTCALLBACK hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 /*index*/, VstIntPtr /*value*/,
                                   void* ptr, float /*opt*/) {
    HostContext& host = contextFor(effect);
    if (opcode >= 0 && static_cast<size_t>(opcode) < host.opcodeCounts.size())
        ++host.opcodeCounts[static_cast<size_t>(opcode)];

    switch (opcode) {
    case audioMasterVersion:
        return kVstVersion;
    case audioMasterAutomate:
        ++host.automateCount;
        return 0;
    case audioMasterBeginEdit:
        ++host.beginEditCount;
        return 1;
    case audioMasterEndEdit:
        ++host.endEditCount;
        return 1;
    case audioMasterGetSampleRate:
        return static_cast<VstIntPtr>(host.sampleRate);
    case audioMasterGetBlockSize:
        return host.blockSize;
    case audioMasterGetCurrentProcessLevel:
        return host.processLevel;
    case audioMasterGetAutomationState:
        return host.automationPlaying ? kVstAutomationRead : kVstAutomationOff;
    case audioMasterGetVendorString:
        copyText(ptr, "Velmora", kVstMaxVendorStrLen);
        return 1;
    case audioMasterGetProductString:
        copyText(ptr, "velmora-render", kVstMaxProductStrLen);
        return 1;
    case audioMasterGetVendorVersion:
        return 1000;
    case audioMasterGetLanguage:
        return kVstLangEnglish;
    case audioMasterGetDirectory:
        return host.pluginDirectory.empty() ? 0 : reinterpret_cast<VstIntPtr>(host.pluginDirectory.c_str());
    case audioMasterCanDo:
        return hostCanDo(static_cast<const char*>(ptr));
    case audioMasterGetInputLatency:
    case audioMasterGetOutputLatency:
        return 0;
    default:
        // No time info, no events, no window, no offline interface, no I/O changes: "not supported".
        return 0;
    }
}

} // namespace render
