// Speaker arrangement tools. An arrangement is variable-length (header plus numChannels speaker records),
// so it lives in malloc'd memory; nothing here throws.
#include "AudioEffectX.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

constexpr size_t kNameChars = sizeof(VstSpeakerProperties::name) - 1;

size_t arrangementBytes(size_t channels) {
    const size_t bytes = offsetof(VstSpeakerArrangement, speakers) + channels * sizeof(VstSpeakerProperties);
    // Never smaller than the declared structure, so code that takes sizeof of it stays inside.
    return bytes < sizeof(VstSpeakerArrangement) ? sizeof(VstSpeakerArrangement) : bytes;
}

} // namespace

bool AudioEffectX::allocateArrangement(VstSpeakerArrangement** arrangement, VstInt32 channels) {
    if (arrangement == nullptr || channels < 0) {
        return false;
    }
    const size_t count = static_cast<size_t>(channels);
    if (count > (SIZE_MAX - sizeof(VstSpeakerArrangement)) / sizeof(VstSpeakerProperties)) {
        return false;
    }
    deallocateArrangement(arrangement);
    auto* fresh = static_cast<VstSpeakerArrangement*>(std::calloc(1, arrangementBytes(count)));
    if (fresh == nullptr) {
        return false;
    }
    fresh->numChannels = channels;
    *arrangement = fresh;
    return true;
}

bool AudioEffectX::deallocateArrangement(VstSpeakerArrangement** arrangement) {
    if (arrangement == nullptr) {
        return false;
    }
    std::free(*arrangement);
    *arrangement = nullptr;
    return true;
}

bool AudioEffectX::copySpeaker(VstSpeakerProperties* to, VstSpeakerProperties* from) {
    if (to == nullptr || from == nullptr) {
        return false;
    }
    to->azimuth = from->azimuth;
    to->elevation = from->elevation;
    to->radius = from->radius;
    to->reserved = from->reserved;
    to->type = from->type;
    for (size_t i = 0; i < sizeof(to->future); ++i) {
        to->future[i] = from->future[i];
    }
    // The source name need not be terminated; copy at most 63 characters and clear the rest.
    size_t length = 0;
    while (length < kNameChars && from->name[length] != '\0') {
        to->name[length] = from->name[length];
        ++length;
    }
    for (size_t i = length; i < sizeof(to->name); ++i) {
        to->name[i] = '\0';
    }
    return true;
}

bool AudioEffectX::matchArrangement(VstSpeakerArrangement** to, VstSpeakerArrangement* from) {
    if (to == nullptr || from == nullptr) {
        return false;
    }
    // Reallocating would free the source before it is read.
    if (*to == from) {
        return true;
    }
    if (!allocateArrangement(to, from->numChannels)) {
        return false;
    }
    (*to)->type = from->type;
    // The speaker array really holds numChannels records, whatever its declared length.
    VstSpeakerProperties* target = (*to)->speakers;
    VstSpeakerProperties* source = from->speakers;
    for (VstInt32 i = 0; i < from->numChannels; ++i) {
        if (!copySpeaker(target + i, source + i)) {
            return false;
        }
    }
    return true;
}
