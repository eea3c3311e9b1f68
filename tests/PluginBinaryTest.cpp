// The built plug-in, loaded with dlopen and driven only through its exported entry point and the
// record, the way a host drives it.
#include "GoldenScenario.h"
#include "VstStructures.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

typedef AEffect* (*EntryPoint)(audioMasterCallback);

struct HostCall {
    AEffect* effect;
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    float opt;
};

// What every callback into the host sent, and what the host answers to the version request.
std::vector<HostCall> hostCalls;
VstIntPtr versionAnswer = kVstVersion;

VstIntPtr VSTCALLBACK recordingHost(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void*,
                                    float opt) {
    hostCalls.push_back({effect, opcode, index, value, opt});
    return opcode == audioMasterVersion ? versionAnswer : 0;
}

class PluginBinary : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        library = dlopen(VELMORA_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(library, nullptr) << dlerror();
        entry = reinterpret_cast<EntryPoint>(dlsym(library, "VSTPluginMain"));
        ASSERT_NE(entry, nullptr);
    }
    static void TearDownTestSuite() {
        if (library != nullptr) {
            dlclose(library);
        }
    }
    void SetUp() override {
        hostCalls.clear();
        versionAnswer = kVstVersion;
    }

    static VstIntPtr dispatch(AEffect* effect, VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                              void* ptr = nullptr, float opt = 0.0f) {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }

    // Asks for a text into a buffer of `size` bytes placed inside a larger, marked one; fails if the
    // effect writes past `size` or leaves the text unterminated.
    static std::string askText(AEffect* effect, VstInt32 opcode, VstInt32 index, std::size_t size) {
        std::vector<char> buffer(size + 64, '#');
        dispatch(effect, opcode, index, 0, buffer.data());
        const std::size_t length = strnlen(buffer.data(), buffer.size());
        EXPECT_LT(length, size) << "opcode " << opcode << " index " << index;
        for (std::size_t i = size; i < buffer.size(); ++i) {
            EXPECT_EQ(buffer[i], '#') << "opcode " << opcode << " wrote past " << size << " bytes";
        }
        return std::string(buffer.data(), length < size ? length : size);
    }

    static void* library;
    static EntryPoint entry;
};

void* PluginBinary::library = nullptr;
EntryPoint PluginBinary::entry = nullptr;

} // namespace

TEST_F(PluginBinary, BothExportedNamesAreOneFunction) {
    void* alias = dlsym(library, "main");
    ASSERT_NE(alias, nullptr);
    EXPECT_EQ(alias, reinterpret_cast<void*>(entry));
}

TEST_F(PluginBinary, CreationAsksTheHostVersionOnceWithoutARecord) {
    AEffect* effect = entry(recordingHost);
    ASSERT_NE(effect, nullptr);
    ASSERT_EQ(hostCalls.size(), 1u);
    EXPECT_EQ(hostCalls[0].opcode, audioMasterVersion);
    EXPECT_EQ(hostCalls[0].effect, nullptr);
    EXPECT_EQ(hostCalls[0].index, 0);
    EXPECT_EQ(hostCalls[0].value, 0);
    EXPECT_EQ(dispatch(effect, effClose), 1);
}

TEST_F(PluginBinary, AnOldHostGetsNoRecord) {
    versionAnswer = 0;
    EXPECT_EQ(entry(recordingHost), nullptr);
    EXPECT_EQ(hostCalls.size(), 1u);
    EXPECT_EQ(entry(nullptr), nullptr);
}

TEST_F(PluginBinary, RecordReadsAsPublished) {
    AEffect* effect = entry(recordingHost);
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->magic, kEffectMagic);
    EXPECT_EQ(effect->numPrograms, 1);
    EXPECT_EQ(effect->numParams, 3);
    EXPECT_EQ(effect->numInputs, 2);
    EXPECT_EQ(effect->numOutputs, 2);
    EXPECT_EQ(effect->flags, effFlagsHasEditor | effFlagsCanReplacing);
    EXPECT_EQ(effect->flags, 0x11);
    EXPECT_EQ(effect->uniqueID, vstFourCC('Q', 'r', 'K', 't'));
    EXPECT_EQ(effect->version, 1);
    EXPECT_EQ(effect->initialDelay, 0);
    EXPECT_EQ(effect->ioRatio, 1.0f);
    EXPECT_NE(effect->object, nullptr);
    EXPECT_EQ(effect->user, nullptr);
    EXPECT_NE(effect->processReplacing, nullptr);
    EXPECT_NE(effect->processDoubleReplacing, nullptr);
    EXPECT_NE(effect->process, nullptr);
    for (char c : effect->future) {
        EXPECT_EQ(c, 0);
    }
    EXPECT_EQ(dispatch(effect, effClose), 1);
}

TEST_F(PluginBinary, AnswersThroughTheDispatcher) {
    AEffect* effect = entry(recordingHost);
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(dispatch(effect, effGetPlugCategory), kPlugCategEffect);
    EXPECT_EQ(dispatch(effect, effGetVstVersion), 2400);
    EXPECT_EQ(dispatch(effect, effGetVendorVersion), 1005);
    EXPECT_EQ(dispatch(effect, effProcessEvents), -1);
    EXPECT_EQ(dispatch(effect, effGetTailSize), 0);
    EXPECT_EQ(dispatch(effect, effSetBypass, 0, 1), 0);
    void* chunk = nullptr;
    EXPECT_EQ(dispatch(effect, effGetChunk, 0, 0, &chunk), 0);
    // The editor's size, asked before any open; a null parent still opens (and shows nothing).
    ERect* rect = nullptr;
    EXPECT_EQ(dispatch(effect, effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ((std::vector<int>{rect->top, rect->left, rect->bottom, rect->right}),
              (std::vector<int>{0, 0, 149, 171}));
    EXPECT_EQ(dispatch(effect, effEditOpen), 1);
    EXPECT_EQ(dispatch(effect, effEditIdle), 0);
    EXPECT_EQ(dispatch(effect, effEditClose), 0);
    EXPECT_EQ(dispatch(effect, effCanDo, 0, 0, const_cast<char*>("receiveVstTimeInfo")), 1);
    EXPECT_EQ(dispatch(effect, effCanDo, 0, 0, const_cast<char*>("bypass")), -1);
    EXPECT_EQ(dispatch(effect, effGetProgram), 0);

    EXPECT_EQ(askText(effect, effGetEffectName, 0, kVstMaxEffectNameLen), "Velmora");
    EXPECT_EQ(askText(effect, effGetVendorString, 0, kVstMaxVendorStrLen), "Trevanor");
    EXPECT_EQ(askText(effect, effGetProductString, 0, kVstMaxProductStrLen), "Velmora");
    EXPECT_EQ(askText(effect, effGetProgramName, 0, kVstMaxProgNameLen), "Init 1");
    EXPECT_EQ(askText(effect, effGetProgramNameIndexed, 0, kVstMaxProgNameLen), "DefaultProgram  ");
    const char* names[] = {"knob", "drive", "reso"};
    const char* labels[] = {"Hz", "%", "%"};
    const char* displays[] = {"---", " 0", "51"};
    for (VstInt32 index = 0; index < 3; ++index) {
        EXPECT_EQ(askText(effect, effGetParamName, index, kVstMaxParamStrLen), names[index]);
        EXPECT_EQ(askText(effect, effGetParamLabel, index, kVstMaxParamStrLen), labels[index]);
        EXPECT_EQ(askText(effect, effGetParamDisplay, index, kVstMaxParamStrLen), displays[index]);
    }
    EXPECT_EQ(dispatch(effect, effClose), 1);
}

TEST_F(PluginBinary, AHostsDisplayScaleSizesTheEditorAndBadFactorsChangeNothing) {
    AEffect* effect = entry(recordingHost);
    ASSERT_NE(effect, nullptr);
    const auto rect = [effect] {
        ERect* r = nullptr;
        dispatch(effect, effEditGetRect, 0, 0, &r);
        return std::vector<int>{r->top, r->left, r->bottom, r->right};
    };
    const auto requestScale = [effect](float factor, VstIntPtr value = vstFourCC('A', 'e', 'C', 's')) {
        return dispatch(effect, effVendorSpecific, vstFourCC('P', 'r', 'e', 'S'), value, nullptr, factor);
    };
    EXPECT_EQ(dispatch(effect, effCanDo, 0, 0, const_cast<char*>("supportsViewDpiScaling")), 1);
    EXPECT_EQ(requestScale(2.0f), 1);
    const std::vector<int> twice = {0, 0, 298, 342};
    EXPECT_EQ(rect(), twice);
    const float bad[] = {0.0f,
                         -1.0f,
                         0.5f,
                         4.5f,
                         std::numeric_limits<float>::quiet_NaN(),
                         -std::nanf(""),
                         std::numeric_limits<float>::infinity(),
                         -std::numeric_limits<float>::infinity()};
    for (const float factor : bad) {
        EXPECT_EQ(requestScale(factor), 0) << factor;
        EXPECT_EQ(rect(), twice) << factor;
    }
    EXPECT_EQ(requestScale(1.0f, 0), 0) << "another vendor's request";
    EXPECT_EQ(rect(), twice);
    EXPECT_EQ(dispatch(effect, effClose), 1);
}

TEST_F(PluginBinary, TextsFitTheirBuffersWhateverTheValues) {
    AEffect* effect = entry(recordingHost);
    ASSERT_NE(effect, nullptr);
    const std::string longName(500, 'n');
    dispatch(effect, effSetProgramName, 0, 0, const_cast<char*>(longName.c_str()));
    EXPECT_EQ(askText(effect, effGetProgramName, 0, kVstMaxProgNameLen), std::string(23, 'n'));
    for (float value : {-1e38f, -12345.0f, 0.0f, 0.4499f, 0.5512f, 12345.0f, 3e38f}) {
        for (VstInt32 index = 0; index < 3; ++index) {
            effect->setParameter(effect, index, value);
            askText(effect, effGetParamDisplay, index, kVstMaxParamStrLen);
        }
    }
    EXPECT_EQ(dispatch(effect, effClose), 1);
}

TEST_F(PluginBinary, ParametersThroughTheRecord) {
    AEffect* effect = entry(recordingHost);
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->getParameter(effect, 0), 0.5f);
    EXPECT_EQ(effect->getParameter(effect, 1), 0.0f);
    EXPECT_EQ(effect->getParameter(effect, 2), 0.5f);
    effect->setParameter(effect, 0, 0.1125f);
    effect->setParameter(effect, 2, 1.0f);
    effect->setParameter(effect, 7, 1.0f);
    EXPECT_EQ(effect->getParameter(effect, 0), 0.1125f);
    EXPECT_EQ(effect->getParameter(effect, 2), 1.0f);
    EXPECT_EQ(effect->getParameter(effect, 7), 0.0f);
    EXPECT_EQ(askText(effect, effGetParamDisplay, 0, kVstMaxParamStrLen), "267");
    EXPECT_EQ(askText(effect, effGetParamDisplay, 2, kVstMaxParamStrLen), "100");
    EXPECT_EQ(dispatch(effect, effClose), 1);
}

TEST_F(PluginBinary, UnusedProcessingCallbacksLeaveOutputsAlone) {
    AEffect* effect = entry(recordingHost);
    ASSERT_NE(effect, nullptr);
    float in[4] = {0.1f, 0.2f, 0.3f, 0.4f}, out[4] = {9, 9, 9, 9};
    float* ins[2] = {in, in};
    float* outs[2] = {out, out};
    effect->process(effect, ins, outs, 4);
    double din[4] = {0.1, 0.2, 0.3, 0.4}, dout[4] = {9, 9, 9, 9};
    double* dins[2] = {din, din};
    double* douts[2] = {dout, dout};
    effect->processDoubleReplacing(effect, dins, douts, 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(out[i], 9.0f);
        EXPECT_EQ(dout[i], 9.0);
    }
    effect->processReplacing(effect, ins, outs, 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(out[i], in[i]); // a new instance sits in the dry centre
    }
    EXPECT_EQ(dispatch(effect, effClose), 1);
}

TEST_F(PluginBinary, InstancesAreIndependentAndCloseInAnyOrder) {
    std::vector<AEffect*> effects;
    for (int i = 0; i < 8; ++i) {
        effects.push_back(entry(recordingHost));
        ASSERT_NE(effects.back(), nullptr);
        effects.back()->setParameter(effects.back(), 0, 0.1f * static_cast<float>(i));
    }
    for (int i : {3, 0, 7}) {
        EXPECT_EQ(dispatch(effects[static_cast<std::size_t>(i)], effClose), 1);
        effects[static_cast<std::size_t>(i)] = nullptr;
    }
    for (std::size_t i = 0; i < effects.size(); ++i) {
        if (effects[i] != nullptr) {
            EXPECT_FLOAT_EQ(effects[i]->getParameter(effects[i], 0), 0.1f * static_cast<float>(i));
            EXPECT_EQ(dispatch(effects[i], effClose), 1);
        }
    }
}

TEST_F(PluginBinary, GoldenScenarioThroughTheBinary) {
    AEffect* effect = entry(recordingHost);
    ASSERT_NE(effect, nullptr);
    const GoldenRun run = runGoldenScenario(effect);
    EXPECT_EQ(dispatch(effect, effClose), 1);
    std::uint64_t expected = 0;
    ASSERT_TRUE(readDigestFile(VELMORA_GOLDEN_DIGEST_FILE, expected));
    EXPECT_EQ(run.digest, expected) << std::hex << run.digest;
}
