// Calls back into the host. Every wrapper sends one request with this instance's record and turns the
// host's pointer-sized answer into its own result; without a host callback it sends nothing and gives
// the answer callHost's 0 converts to.
#include "AudioEffectX.h"

namespace {

bool asBool(VstIntPtr answer) {
    return answer != 0;
}

VstInt32 asInt(VstIntPtr answer) {
    return static_cast<VstInt32>(answer);
}

template <typename T> T* asPointer(VstIntPtr answer) {
    return reinterpret_cast<T*>(answer);
}

} // namespace

VstIntPtr AudioEffect::callHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    return audioMaster != nullptr ? audioMaster(&cEffect, opcode, index, value, ptr, opt) : 0;
}

// AudioEffect

void AudioEffect::setParameterAutomated(VstInt32 index, float value) {
    // Local first, so the effect (and its editor) already hold the value when the host hears of it.
    setParameter(index, value);
    callHost(audioMasterAutomate, index, 0, nullptr, value);
}

VstInt32 AudioEffect::getMasterVersion() {
    // Hosts too old to answer are version 1 hosts.
    const VstInt32 version = asInt(callHost(audioMasterVersion));
    return version != 0 ? version : 1;
}

VstInt32 AudioEffect::getCurrentUniqueId() {
    return asInt(callHost(audioMasterCurrentId));
}

void AudioEffect::masterIdle() {
    callHost(audioMasterIdle);
}

// The host answers 0 for a connected pin; with no host at all every pin counts as connected.
bool AudioEffect::isInputConnected(VstInt32 input) {
    return callHost(audioMasterPinConnected, input, 0) == 0;
}

bool AudioEffect::isOutputConnected(VstInt32 output) {
    return callHost(audioMasterPinConnected, output, 1) == 0;
}

// AudioEffectX: the services the effect and its editor use

bool AudioEffectX::beginEdit(VstInt32 index) {
    return asBool(callHost(audioMasterBeginEdit, index));
}

bool AudioEffectX::endEdit(VstInt32 index) {
    return asBool(callHost(audioMasterEndEdit, index));
}

VstInt32 AudioEffectX::canHostDo(char* text) {
    // Any answer but 0 counts as yes, -1 included.
    return callHost(audioMasterCanDo, 0, 0, text) != 0 ? 1 : 0;
}

bool AudioEffectX::sizeWindow(VstInt32 width, VstInt32 height) {
    return asBool(callHost(audioMasterSizeWindow, width, height));
}

// AudioEffectX: the remaining services

void AudioEffectX::wantEvents(VstInt32 filter) {
    callHost(audioMasterWantMidi, 0, filter);
}

VstTimeInfo* AudioEffectX::getTimeInfo(VstInt32 filter) {
    return asPointer<VstTimeInfo>(callHost(audioMasterGetTime, 0, filter));
}

VstInt32 AudioEffectX::tempoAt(VstInt32 pos) {
    return asInt(callHost(audioMasterTempoAt, 0, pos));
}

VstInt32 AudioEffectX::getNumAutomatableParameters() {
    return asInt(callHost(audioMasterGetNumAutomatableParameters));
}

VstInt32 AudioEffectX::getParameterQuantization() {
    return asInt(callHost(audioMasterGetParameterQuantization));
}

bool AudioEffectX::ioChanged() {
    return asBool(callHost(audioMasterIOChanged));
}

bool AudioEffectX::needIdle() {
    return asBool(callHost(audioMasterNeedIdle));
}

double AudioEffectX::updateSampleRate() {
    // 0 and negative answers mean the host does not know; keep what we have.
    const VstIntPtr answer = callHost(audioMasterGetSampleRate);
    if (answer > 0) {
        sampleRate = static_cast<float>(answer);
    }
    return sampleRate;
}

VstInt32 AudioEffectX::updateBlockSize() {
    const VstInt32 answer = asInt(callHost(audioMasterGetBlockSize));
    if (answer > 0) {
        blockSize = answer;
    }
    return blockSize;
}

VstInt32 AudioEffectX::getInputLatency() {
    return asInt(callHost(audioMasterGetInputLatency));
}

VstInt32 AudioEffectX::getOutputLatency() {
    return asInt(callHost(audioMasterGetOutputLatency));
}

// The pin number was never part of these two requests.
AEffect* AudioEffectX::getPreviousPlug(VstInt32 /*input*/) {
    return asPointer<AEffect>(callHost(audioMasterGetPreviousPlug));
}

AEffect* AudioEffectX::getNextPlug(VstInt32 /*output*/) {
    return asPointer<AEffect>(callHost(audioMasterGetNextPlug));
}

VstInt32 AudioEffectX::willProcessReplacing() {
    return asInt(callHost(audioMasterWillReplaceOrAccumulate));
}

VstInt32 AudioEffectX::getCurrentProcessLevel() {
    return asInt(callHost(audioMasterGetCurrentProcessLevel));
}

VstInt32 AudioEffectX::getAutomationState() {
    return asInt(callHost(audioMasterGetAutomationState));
}

bool AudioEffectX::offlineStart(VstAudioFile* audioFiles, VstInt32 numAudioFiles, VstInt32 numNewAudioFiles) {
    return asBool(callHost(audioMasterOfflineStart, numNewAudioFiles, numAudioFiles, audioFiles));
}

bool AudioEffectX::offlineRead(VstOfflineTask* offline, VstInt32 option, bool readSource) {
    return asBool(callHost(audioMasterOfflineRead, readSource ? 1 : 0, option, offline));
}

bool AudioEffectX::offlineWrite(VstOfflineTask* offline, VstInt32 option) {
    return asBool(callHost(audioMasterOfflineWrite, 0, option, offline));
}

VstInt32 AudioEffectX::offlineGetCurrentPass() {
    return asBool(callHost(audioMasterOfflineGetCurrentPass)) ? 1 : 0;
}

VstInt32 AudioEffectX::offlineGetCurrentMetaPass() {
    return asBool(callHost(audioMasterOfflineGetCurrentMetaPass)) ? 1 : 0;
}

void AudioEffectX::setOutputSamplerate(float rate) {
    callHost(audioMasterSetOutputSampleRate, 0, 0, nullptr, rate);
}

VstSpeakerArrangement* AudioEffectX::getOutputSpeakerArrangement() {
    return asPointer<VstSpeakerArrangement>(callHost(audioMasterGetOutputSpeakerArrangement));
}

bool AudioEffectX::getHostVendorString(char* text) {
    return asBool(callHost(audioMasterGetVendorString, 0, 0, text));
}

bool AudioEffectX::getHostProductString(char* text) {
    return asBool(callHost(audioMasterGetProductString, 0, 0, text));
}

VstInt32 AudioEffectX::getHostVendorVersion() {
    return asInt(callHost(audioMasterGetVendorVersion));
}

VstIntPtr AudioEffectX::hostVendorSpecific(VstInt32 arg1, VstIntPtr arg2, void* ptrArg, float floatArg) {
    return callHost(audioMasterVendorSpecific, arg1, arg2, ptrArg, floatArg);
}

VstInt32 AudioEffectX::getHostLanguage() {
    return asInt(callHost(audioMasterGetLanguage));
}

void* AudioEffectX::openWindow(VstWindow* window) {
    return asPointer<void>(callHost(audioMasterOpenWindow, 0, 0, window));
}

bool AudioEffectX::closeWindow(VstWindow* window) {
    return asBool(callHost(audioMasterCloseWindow, 0, 0, window));
}

void* AudioEffectX::getDirectory() {
    return asPointer<void>(callHost(audioMasterGetDirectory));
}

bool AudioEffectX::updateDisplay() {
    return asBool(callHost(audioMasterUpdateDisplay));
}

// A host would dereference the pointer; a null request is refused here without asking.
bool AudioEffectX::openFileSelector(VstFileSelect* select) {
    return select != nullptr && asBool(callHost(audioMasterOpenFileSelector, 0, 0, select));
}

bool AudioEffectX::closeFileSelector(VstFileSelect* select) {
    return select != nullptr && asBool(callHost(audioMasterCloseFileSelector, 0, 0, select));
}

bool AudioEffectX::getChunkFile(void* nativePath) {
    return nativePath != nullptr && asBool(callHost(audioMasterGetChunkFile, 0, 0, nativePath));
}

VstSpeakerArrangement* AudioEffectX::getInputSpeakerArrangement() {
    return asPointer<VstSpeakerArrangement>(callHost(audioMasterGetInputSpeakerArrangement));
}
