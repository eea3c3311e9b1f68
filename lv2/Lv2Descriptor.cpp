// The library's one export, lv2_descriptor, and the C functions of its descriptor. Nothing may unwind
// into the host, which is C code.
#include "Lv2Effect.h"
#include "Lv2Uris.h"

#include <lv2/core/lv2.h>

#include <new>

namespace {

Lv2Effect* instanceOf(LV2_Handle handle) {
    return static_cast<Lv2Effect*>(handle);
}

// [instantiation thread] Needs no feature: the host's list is not read.
LV2_Handle instantiate(const LV2_Descriptor*, double sampleRate, const char*, const LV2_Feature* const*) {
    try {
        return new Lv2Effect(sampleRate);
    } catch (...) {
        return nullptr;
    }
}

// [audio thread]
void connectPort(LV2_Handle handle, uint32_t port, void* data) {
    if (handle != nullptr) {
        instanceOf(handle)->connect(port, data);
    }
}

// [instantiation thread]
void activate(LV2_Handle handle) {
    if (handle != nullptr) {
        instanceOf(handle)->activate();
    }
}

// [audio thread]
void run(LV2_Handle handle, uint32_t frames) {
    if (handle != nullptr) {
        instanceOf(handle)->run(frames);
    }
}

// [instantiation thread]
void deactivate(LV2_Handle handle) {
    if (handle != nullptr) {
        instanceOf(handle)->deactivate();
    }
}

// [instantiation thread]
void cleanup(LV2_Handle handle) {
    delete instanceOf(handle);
}

// [any thread] No extension: plain control ports carry everything, and hosts store them themselves.
const void* extensionData(const char*) {
    return nullptr;
}

const LV2_Descriptor kDescriptor = {kVelmoraPluginUri, instantiate, connectPort,  activate, run,
                                    deactivate,        cleanup,     extensionData};

} // namespace

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
    return index == 0 ? &kDescriptor : nullptr;
}
