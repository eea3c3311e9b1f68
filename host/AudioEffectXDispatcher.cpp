// Host opcodes 25 to 79 and the extended operations whose base answers are more than a constant.
#include "AudioEffectX.h"

#include <cmath>

namespace {

VstIntPtr fromBool(bool answer) {
    return answer ? 1 : 0;
}

template <typename T> VstIntPtr fromPointer(T* pointer) {
    return reinterpret_cast<VstIntPtr>(pointer);
}

template <typename T> T* toPointer(VstIntPtr value) {
    return reinterpret_cast<T*>(value);
}

// Modifier keys arrive as a float; truncated to an integer, their low byte is the key code's modifier.
// Values no 32-bit integer can hold (not a number, out of range) would make the conversion undefined
// and carry no modifier bits anyway.
unsigned char modifierFrom(float opt) {
    if (std::isnan(opt) || opt >= 2147483648.0f || opt < -2147483648.0f) {
        return 0;
    }
    return static_cast<unsigned char>(static_cast<VstInt32>(opt) & 0xFF);
}

VstKeyCode keyCodeFrom(VstInt32 index, VstIntPtr value, float opt) {
    VstKeyCode key{};
    key.character = index;
    key.virt = static_cast<unsigned char>(value & 0xFF);
    key.modifier = modifierFrom(opt);
    return key;
}

} // namespace

VstIntPtr AudioEffectX::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    const VstInt32 value32 = static_cast<VstInt32>(value);
    char* text = static_cast<char*>(ptr);

    switch (opcode) {
    case effProcessEvents:
        return processEvents(static_cast<VstEvents*>(ptr));
    case effCanBeAutomated:
        return fromBool(canParameterBeAutomated(index));
    case effString2Parameter:
        return fromBool(string2parameter(index, text));
    case effGetNumProgramCategories:
        return getNumCategories();
    case effGetProgramNameIndexed:
        return fromBool(getProgramNameIndexed(value32, index, text));
    case effCopyProgram:
        return fromBool(copyProgram(index));
    case effConnectInput:
        inputConnected(index, value != 0);
        return 1;
    case effConnectOutput:
        outputConnected(index, value != 0);
        return 1;
    case effGetInputProperties:
        return fromBool(getInputProperties(index, static_cast<VstPinProperties*>(ptr)));
    case effGetOutputProperties:
        return fromBool(getOutputProperties(index, static_cast<VstPinProperties*>(ptr)));
    case effGetPlugCategory:
        return getPlugCategory();
    case effGetCurrentPosition:
        return reportCurrentPosition();
    case effGetDestinationBuffer:
        return fromPointer(reportDestinationBuffer());
    case effOfflineNotify:
        return fromBool(offlineNotify(static_cast<VstAudioFile*>(ptr), value32, index != 0));
    case effOfflinePrepare:
        return fromBool(offlinePrepare(static_cast<VstOfflineTask*>(ptr), value32));
    case effOfflineRun:
        return fromBool(offlineRun(static_cast<VstOfflineTask*>(ptr), value32));
    case effProcessVarIo:
        return fromBool(processVariableIo(static_cast<VstVariableIo*>(ptr)));
    case effSetSpeakerArrangement:
        return fromBool(setSpeakerArrangement(toPointer<VstSpeakerArrangement>(value),
                                              static_cast<VstSpeakerArrangement*>(ptr)));
    case effSetBlockSizeAndSampleRate:
        setBlockSizeAndSampleRate(value32, opt);
        return 1;
    case effSetBypass:
        return fromBool(setBypass(value != 0));
    case effGetEffectName:
        return fromBool(getEffectName(text));
    case effGetErrorText:
        return fromBool(getErrorText(text));
    case effGetVendorString:
        return fromBool(getVendorString(text));
    case effGetProductString:
        return fromBool(getProductString(text));
    case effGetVendorVersion:
        return getVendorVersion();
    case effVendorSpecific:
        return vendorSpecific(index, value, ptr, opt);
    case effCanDo:
        return canDo(text);
    case effGetTailSize:
        return getGetTailSize();
    case effIdle:
        return fxIdle();
    case effGetIcon:
        return fromPointer(getIcon());
    case effSetViewPosition:
        return fromBool(setViewPosition(index, value32));
    case effGetParameterProperties:
        return fromBool(getParameterProperties(index, static_cast<VstParameterProperties*>(ptr)));
    case effKeysRequired:
        // The opcode asks the opposite question: 1 means the effect can do without keys.
        return keysRequired() ? 0 : 1;
    case effGetVstVersion:
        return getVstVersion();
    case effEditKeyDown:
    case effEditKeyUp: {
        if (editor == nullptr) {
            return 0;
        }
        VstKeyCode key = keyCodeFrom(index, value, opt);
        return fromBool(opcode == effEditKeyDown ? editor->onKeyDown(key) : editor->onKeyUp(key));
    }
    case effSetEditKnobMode:
        return 0;
    case effGetMidiProgramName:
        return getMidiProgramName(index, static_cast<MidiProgramName*>(ptr));
    case effGetCurrentMidiProgram:
        return getCurrentMidiProgram(index, static_cast<MidiProgramName*>(ptr));
    case effGetMidiProgramCategory:
        return getMidiProgramCategory(index, static_cast<MidiProgramCategory*>(ptr));
    case effHasMidiProgramsChanged:
        return fromBool(hasMidiProgramsChanged(index));
    case effGetMidiKeyName:
        return fromBool(getMidiKeyName(index, static_cast<MidiKeyName*>(ptr)));
    case effBeginSetProgram:
        return fromBool(beginSetProgram());
    case effEndSetProgram:
        return fromBool(endSetProgram());
    case effGetSpeakerArrangement:
        return fromBool(getSpeakerArrangement(toPointer<VstSpeakerArrangement*>(value),
                                              static_cast<VstSpeakerArrangement**>(ptr)));
    case effShellGetNextPlugin:
        return getNextShellPlugin(text);
    case effStartProcess:
        return startProcess();
    case effStopProcess:
        return stopProcess();
    case effSetTotalSampleToProcess:
        return setTotalSampleToProcess(value32);
    case effSetPanLaw:
        return fromBool(setPanLaw(value32, opt));
    case effBeginLoadBank:
        return beginLoadBank(static_cast<VstPatchChunkInfo*>(ptr));
    case effBeginLoadProgram:
        return beginLoadProgram(static_cast<VstPatchChunkInfo*>(ptr));
    case effSetProcessPrecision:
        return fromBool(setProcessPrecision(value32));
    case effGetNumMidiInputChannels:
        return getNumMidiInputChannels();
    case effGetNumMidiOutputChannels:
        return getNumMidiOutputChannels();
    default:
        return AudioEffect::dispatcher(opcode, index, value, ptr, opt);
    }
}

void AudioEffectX::resume() {
    char receivesMidi[] = "receiveVstMidiEvent";
    if ((cEffect.flags & effFlagsIsSynth) != 0 || canDo(receivesMidi) == 1) {
        wantEvents(1);
    }
}

VstInt32 AudioEffectX::getPlugCategory() {
    return (cEffect.flags & effFlagsIsSynth) != 0 ? kPlugCategSynth : kPlugCategUnknown;
}

bool AudioEffectX::getSpeakerArrangement(VstSpeakerArrangement** pluginInput,
                                         VstSpeakerArrangement** pluginOutput) {
    // A host may pass null for either place; write only where there is one.
    if (pluginInput != nullptr) {
        *pluginInput = nullptr;
    }
    if (pluginOutput != nullptr) {
        *pluginOutput = nullptr;
    }
    return false;
}
