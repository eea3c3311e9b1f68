// Construction of the instance record, its six C callbacks, editor ownership and the number-to-text helpers.
#include "AudioEffect.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

AudioEffect* objectOf(AEffect* effect) {
    return effect != nullptr ? static_cast<AudioEffect*>(effect->object) : nullptr;
}

// The host is C code: nothing may unwind into it, so every callback stops exceptions here.

VstIntPtr VSTCALLBACK dispatchEffect(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                     void* ptr, float opt) {
    AudioEffect* object = objectOf(effect);
    if (object == nullptr) {
        return 0;
    }
    VstIntPtr result = 0;
    try {
        result = object->dispatcher(opcode, index, value, ptr, opt);
    } catch (...) {
        result = 0;
    }
    if (opcode == effClose) {
        // The host forgets the record after this call, so the instance goes even if close() failed.
        delete object;
        return 1;
    }
    return result;
}

void VSTCALLBACK accumulateEffect(AEffect* effect, float** inputs, float** outputs, VstInt32 sampleFrames) {
    if (AudioEffect* object = objectOf(effect)) {
        try {
            object->process(inputs, outputs, sampleFrames);
        } catch (...) {
        }
    }
}

void VSTCALLBACK setEffectParameter(AEffect* effect, VstInt32 index, float parameter) {
    if (AudioEffect* object = objectOf(effect)) {
        try {
            object->setParameter(index, parameter);
        } catch (...) {
        }
    }
}

float VSTCALLBACK getEffectParameter(AEffect* effect, VstInt32 index) {
    if (AudioEffect* object = objectOf(effect)) {
        try {
            return object->getParameter(index);
        } catch (...) {
        }
    }
    return 0.0f;
}

void VSTCALLBACK processEffectReplacing(AEffect* effect, float** inputs, float** outputs,
                                        VstInt32 sampleFrames) {
    if (AudioEffect* object = objectOf(effect)) {
        try {
            object->processReplacing(inputs, outputs, sampleFrames);
        } catch (...) {
        }
    }
}

void VSTCALLBACK processEffectDoubleReplacing(AEffect* effect, double** inputs, double** outputs,
                                              VstInt32 sampleFrames) {
    if (AudioEffect* object = objectOf(effect)) {
        try {
            object->processDoubleReplacing(inputs, outputs, sampleFrames);
        } catch (...) {
        }
    }
}

// snprintf always terminates within the size it is given; a size of 0 or less writes nothing at all.
bool canWrite(const char* text, VstInt32 maxLen) {
    return text != nullptr && maxLen > 0;
}

} // namespace

AudioEffect::AudioEffect(audioMasterCallback hostCallback, VstInt32 programCount, VstInt32 paramCount) {
    audioMaster = hostCallback;
    numPrograms = programCount;
    sampleRate = 44100.0f;
    blockSize = 1024;
    editor = nullptr;
    curProgram = 0;
    numParams = paramCount;

    std::memset(&cEffect, 0, sizeof(cEffect));
    cEffect.dispatcher = dispatchEffect;
    cEffect.process = accumulateEffect;
    cEffect.setParameter = setEffectParameter;
    cEffect.getParameter = getEffectParameter;
    cEffect.processReplacing = processEffectReplacing;
    cEffect.processDoubleReplacing = processEffectDoubleReplacing;
    cEffect.magic = kEffectMagic;
    cEffect.numPrograms = programCount;
    cEffect.numParams = paramCount;
    cEffect.numInputs = 1;
    cEffect.numOutputs = 2;
    cEffect.ioRatio = 1.0f;
    cEffect.object = this;
    cEffect.uniqueID = vstFourCC('N', 'o', 'E', 'f');
    cEffect.version = 1;
    canProcessReplacing(true);
}

AudioEffect::~AudioEffect() {
    delete editor;
    editor = nullptr;
}

void AudioEffect::setEditor(AEffEditor* newEditor) {
    editor = newEditor;
    setFlag(effFlagsHasEditor, newEditor != nullptr);
}

void AudioEffect::setFlag(VstInt32 flag, bool state) {
    if (state) {
        cEffect.flags |= flag;
    } else {
        cEffect.flags &= ~flag;
    }
}

void AudioEffect::dB2string(float value, char* text, VstInt32 maxLen) {
    if (!canWrite(text, maxLen)) {
        return;
    }
    if (value <= 0.0f) {
        std::snprintf(text, static_cast<size_t>(maxLen), "-oo");
    } else {
        std::snprintf(text, static_cast<size_t>(maxLen), "%.2f",
                      20.0 * std::log10(static_cast<double>(value)));
    }
}

void AudioEffect::Hz2string(float samples, char* text, VstInt32 maxLen) {
    // A period of 0 samples has no frequency; show 0 rather than infinity.
    float2string(samples != 0.0f ? sampleRate / samples : 0.0f, text, maxLen);
}

void AudioEffect::ms2string(float samples, char* text, VstInt32 maxLen) {
    float2string(sampleRate > 0.0f ? samples * 1000.0f / sampleRate : 0.0f, text, maxLen);
}

void AudioEffect::float2string(float value, char* text, VstInt32 maxLen) {
    if (canWrite(text, maxLen)) {
        std::snprintf(text, static_cast<size_t>(maxLen), "%.2f", static_cast<double>(value));
    }
}

void AudioEffect::int2string(VstInt32 value, char* text, VstInt32 maxLen) {
    if (canWrite(text, maxLen)) {
        std::snprintf(text, static_cast<size_t>(maxLen), "%d", static_cast<int>(value));
    }
}
