#include "InProcessHost.h"

#include "VstAbi.h"

#include <cstring>
#include <dlfcn.h>
#include <stdexcept>

namespace render_test {

namespace {

double hostRate = 44100.0;
VstIntPtr hostBlock = 512;

VstIntPtr VSTCALLBACK answer(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    switch (opcode) {
    case audioMasterVersion:
        return kVstVersion;
    case audioMasterGetSampleRate:
        return static_cast<VstIntPtr>(hostRate);
    case audioMasterGetBlockSize:
        return hostBlock;
    default:
        return 0;
    }
}

} // namespace

std::vector<float> renderInProcess(const std::string& pluginPath, const std::vector<float>& stereo,
                                   int sampleRate, int blockSize, const std::string& parameter,
                                   const render::Envelope& envelope) {
    void* library = dlopen(pluginPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr)
        throw std::runtime_error("dlopen failed: " + pluginPath);
    void* symbol = dlsym(library, "VSTPluginMain");
    AEffect* (*entry)(audioMasterCallback) = nullptr;
    std::memcpy(&entry, &symbol, sizeof(entry));
    hostRate = sampleRate;
    hostBlock = blockSize;
    AEffect* effect = entry != nullptr ? entry(answer) : nullptr;
    if (effect == nullptr) {
        dlclose(library);
        throw std::runtime_error("no instance from " + pluginPath);
    }
    auto dispatch = [effect](VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    };

    dispatch(effOpen, 0, 0, nullptr, 0.0f);
    VstInt32 index = -1;
    for (VstInt32 i = 0; i < effect->numParams && index < 0; ++i) {
        char name[256] = {};
        dispatch(effGetParamName, i, 0, name, 0.0f);
        if (parameter == name)
            index = i;
    }
    dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
    dispatch(effSetBlockSize, 0, blockSize, nullptr, 0.0f);
    dispatch(effMainsChanged, 0, 1, nullptr, 0.0f);

    const size_t frames = stereo.size() / 2;
    std::vector<float> result(stereo.size());
    std::vector<float> inL(static_cast<size_t>(blockSize)), inR(inL), outL(inL), outR(inL);
    for (size_t start = 0; start < frames; start += static_cast<size_t>(blockSize)) {
        const size_t n = std::min(frames - start, static_cast<size_t>(blockSize));
        for (size_t i = 0; i < n; ++i) {
            inL[i] = stereo[(start + i) * 2];
            inR[i] = stereo[(start + i) * 2 + 1];
        }
        if (index >= 0)
            effect->setParameter(effect, index, envelope.valueAt(static_cast<double>(start) / sampleRate));
        float* inputs[2] = {inL.data(), inR.data()};
        float* outputs[2] = {outL.data(), outR.data()};
        effect->processReplacing(effect, inputs, outputs, static_cast<VstInt32>(n));
        for (size_t i = 0; i < n; ++i) {
            result[(start + i) * 2] = outL[i];
            result[(start + i) * 2 + 1] = outR[i];
        }
    }
    dispatch(effMainsChanged, 0, 0, nullptr, 0.0f);
    dispatch(effClose, 0, 0, nullptr, 0.0f);
    dlclose(library);
    return result;
}

} // namespace render_test
