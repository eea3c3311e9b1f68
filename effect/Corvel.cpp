#include "Corvel.h"

#include "CorvelDisplay.h"

#include <cstdio>
#include <cstring>

namespace {

const char* const kParameterNames[kNumParams] = {"knob", "drive", "reso"};

// Copies text into a host buffer of `size` bytes, cutting it so the terminator always fits.
void copyText(char* destination, const char* source, std::size_t size) {
    std::snprintf(destination, size, "%s", source);
}

bool isParameter(VstInt32 index) {
    return index >= 0 && index < kNumParams;
}

constexpr std::memory_order relaxed = std::memory_order_relaxed;

} // namespace

Corvel::Corvel(audioMasterCallback audioMaster)
    : AudioEffectX(audioMaster, kNumPrograms, kNumParams), driveValue(0.0f), resoValue(0.0f), resonance(0.0f),
      knobTarget(0.0f) {
    setNumInputs(2);
    setNumOutputs(2);
    canProcessReplacing(true);
    setUniqueID(vstFourCC('Q', 'r', 'K', 't'));
    curProgram = 0;

    programs.reset(new CorvelProgram[kNumPrograms]);
    dspSampleRate = usableSampleRate();
    // The two mappers (80 to 10000 Hz and 80 to 5000 Hz) are part of the processing state.

    // Provisional resonance for the settling passes; the program below sets the real one.
    resoValue.store(0.5f, relaxed);
    resonance.store(0.501f, relaxed);
    resetFilters();

    refreshCounter = 0;
    knobTarget.store(0.5f, relaxed);
    knobSmoothed = 0.5f;
    const float r = resonance.load(relaxed);
    lowPassLeft.setCoefficients(20000.0f, r, dspSampleRate);
    lowPassRight.setCoefficients(20000.0f, r, dspSampleRate);
    highPassLeft.setCoefficients(20.0f, r, dspSampleRate);
    highPassRight.setCoefficients(20.0f, r, dspSampleRate);

    driveValue.store(0.0f, relaxed);
    lowPassLeft.drive = 0.0f;
    lowPassRight.drive = 0.0f;
    highPassLeft.drive = 0.0f;
    highPassRight.drive = 0.0f;

    if (programs) {
        setProgram(0);
    }
}

Corvel::~Corvel() = default;

void Corvel::setParameter(VstInt32 index, float value) {
    if (!isParameter(index)) {
        return;
    }
    CorvelProgram& program = programs[0];
    program.values[index] = value;
    switch (index) {
    case kKnob:
        knobTarget.store(value, relaxed);
        break;
    case kDrive:
        driveValue.store(value, relaxed);
        lowPassLeft.drive = value;
        lowPassRight.drive = value;
        highPassLeft.drive = value;
        highPassRight.drive = value;
        break;
    case kReso:
        resoValue.store(value, relaxed);
        resonance.store(value * 0.99f + 0.01f, relaxed);
        break;
    default:
        break;
    }
}

float Corvel::getParameter(VstInt32 index) {
    switch (index) {
    case kKnob:
        return knobTarget.load(relaxed);
    case kDrive:
        return driveValue.load(relaxed);
    case kReso:
        return resoValue.load(relaxed);
    default:
        return 0.0f;
    }
}

void Corvel::setProgram(VstInt32 /*program*/) {
    // One program only: any number selects it and re-applies its values.
    curProgram = 0;
    for (VstInt32 index = 0; index < kNumParams; ++index) {
        setParameter(index, programs[0].values[index]);
    }
}

void Corvel::setProgramName(char* name) {
    if (name == nullptr) {
        return;
    }
    copyText(programs[0].name, name, CorvelProgram::kNameSize);
}

void Corvel::getProgramName(char* name) {
    if (name == nullptr) {
        return;
    }
    const CorvelProgram& program = programs[0];
    if (std::strcmp(program.name, "Init") == 0) {
        // The default name carries the program number.
        std::snprintf(name, kVstMaxProgNameLen, "Init %d", curProgram + 1);
    } else {
        copyText(name, program.name, kVstMaxProgNameLen);
    }
}

void Corvel::getParameterLabel(VstInt32 index, char* label) {
    if (label == nullptr) {
        return;
    }
    copyText(label, index == kKnob ? "Hz" : "%", kVstMaxParamStrLen);
}

void Corvel::getParameterDisplay(VstInt32 index, char* text) {
    if (text == nullptr) {
        return;
    }
    switch (index) {
    case kKnob:
        formatKnobDisplay(knobTarget.load(relaxed), text);
        break;
    case kDrive:
        formatPercentDisplay(driveValue.load(relaxed), text);
        break;
    case kReso:
        formatPercentDisplay(resonance.load(relaxed), text);
        break;
    default:
        break;
    }
}

void Corvel::getParameterName(VstInt32 index, char* text) {
    if (text == nullptr || !isParameter(index)) {
        return;
    }
    copyText(text, kParameterNames[index], kVstMaxParamStrLen);
}

bool Corvel::getProgramNameIndexed(VstInt32 /*category*/, VstInt32 index, char* text) {
    if (index >= 1 || text == nullptr) {
        return false;
    }
    copyText(text, "DefaultProgram  ", kVstMaxProgNameLen);
    return true;
}

VstInt32 Corvel::processEvents(VstEvents* /*events*/) {
    return -1;
}

bool Corvel::getEffectName(char* name) {
    if (name == nullptr) {
        return false;
    }
    copyText(name, "Velmora", kVstMaxEffectNameLen);
    return true;
}

bool Corvel::getVendorString(char* text) {
    if (text == nullptr) {
        return false;
    }
    copyText(text, "Trevanor", kVstMaxVendorStrLen);
    return true;
}

bool Corvel::getProductString(char* text) {
    if (text == nullptr) {
        return false;
    }
    copyText(text, "Velmora", kVstMaxProductStrLen);
    return true;
}

VstInt32 Corvel::getVendorVersion() {
    return 1000;
}

VstInt32 Corvel::canDo(char* text) {
    static const char* const kCapabilities[] = {"receiveVstEvents",   "receiveVstMidiEvent",
                                                "receiveVstTimeInfo", "plugAsChannelInsert",
                                                "sendVstMidiEvent",   "sendVstEvents"};
    if (text == nullptr) {
        return -1;
    }
    for (const char* capability : kCapabilities) {
        if (std::strcmp(text, capability) == 0) {
            return 1;
        }
    }
    return -1;
}

VstInt32 Corvel::getPlugCategory() {
    return kPlugCategEffect;
}

bool Corvel::getMidiKeyName(VstInt32 /*channel*/, MidiKeyName* keyName) {
    if (keyName == nullptr) {
        return false;
    }
    copyText(keyName->keyName, "    ", kVstMaxNameLen);
    keyName->reserved = 0;
    keyName->flags = 0;
    return true;
}

bool Corvel::getPinProperties(VstInt32 index, VstPinProperties* properties) {
    if (index < 0 || index >= 2 || properties == nullptr) {
        return false;
    }
    std::snprintf(properties->label, kVstMaxLabelLen, "Vstx %1d", index + 1);
    properties->flags = kVstPinIsActive | kVstPinIsStereo;
    return true;
}
