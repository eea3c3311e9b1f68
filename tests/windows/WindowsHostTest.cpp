// Velmora.dll as a Windows host sees it: loaded with LoadLibrary, reached through its two exported names
// and its record, its version block read back with the version API, its manifest found as a resource.
#include "ModuleHandle.h"
#include "VstAbi.h"
#include "VstStructures.h"

#include <gtest/gtest.h>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

namespace {

typedef AEffect* (*EntryPoint)(audioMasterCallback);

std::wstring dllPath() {
    const char* path = VELMORA_DLL_PATH;
    return std::wstring(path, path + std::strlen(path));
}

struct HostCall {
    AEffect* effect;
    VstInt32 opcode;
};

std::vector<HostCall> hostCalls;
VstIntPtr versionAnswer = kVstVersion;

VstIntPtr VSTCALLBACK recordingHost(AEffect* effect, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    hostCalls.push_back({effect, opcode});
    return opcode == audioMasterVersion ? versionAnswer : 0;
}

VstIntPtr dispatch(AEffect* effect, VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                   void* ptr = nullptr, float opt = 0.0f) {
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

// Asks for a text into `size` bytes inside a larger, marked buffer; fails on an overrun or a missing
// terminator.
std::string askText(AEffect* effect, VstInt32 opcode, VstInt32 index, std::size_t size) {
    std::vector<char> buffer(size + 32, '#');
    dispatch(effect, opcode, index, 0, buffer.data());
    const std::size_t length = strnlen(buffer.data(), buffer.size());
    EXPECT_LT(length, size) << "opcode " << opcode;
    for (std::size_t i = size; i < buffer.size(); ++i) {
        EXPECT_EQ(buffer[i], '#') << "opcode " << opcode << " wrote past " << size << " bytes";
    }
    return std::string(buffer.data(), length < size ? length : size);
}

class WindowsDll : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        module = LoadLibraryW(dllPath().c_str());
        ASSERT_NE(module, nullptr) << "LoadLibrary " << VELMORA_DLL_PATH << ": error " << GetLastError();
        FARPROC symbol = GetProcAddress(module, "VSTPluginMain");
        ASSERT_NE(symbol, nullptr);
        std::memcpy(&entry, &symbol, sizeof entry);
    }
    static void TearDownTestSuite() {
        if (module != nullptr) {
            EXPECT_TRUE(FreeLibrary(module));
            module = nullptr;
        }
    }
    void SetUp() override {
        ASSERT_NE(entry, nullptr);
        hostCalls.clear();
        versionAnswer = kVstVersion;
    }

    static HMODULE module;
    static EntryPoint entry;
};

HMODULE WindowsDll::module = nullptr;
EntryPoint WindowsDll::entry = nullptr;

// The version API reads the block from the file, as Explorer and hosts do.
class WindowsDllVersion : public ::testing::Test {
  protected:
    void SetUp() override {
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeW(dllPath().c_str(), &ignored);
        ASSERT_GT(size, 0u) << "no version block, error " << GetLastError();
        block.resize(size);
        ASSERT_TRUE(GetFileVersionInfoW(dllPath().c_str(), 0, size, block.data()));
    }

    // Null when the value is absent.
    const wchar_t* stringValue(const std::wstring& name, UINT& length) {
        const std::wstring path = L"\\StringFileInfo\\080004e4\\" + name;
        void* value = nullptr;
        length = 0;
        if (!VerQueryValueW(block.data(), path.c_str(), &value, &length)) {
            return nullptr;
        }
        return static_cast<const wchar_t*>(value);
    }

    std::vector<unsigned char> block;
};

} // namespace

TEST_F(WindowsDll, BothExportedNamesAreOneFunction) {
    FARPROC alias = GetProcAddress(module, "main");
    ASSERT_NE(alias, nullptr);
    void* aliasAddress = nullptr;
    std::memcpy(&aliasAddress, &alias, sizeof aliasAddress);
    void* entryAddress = nullptr;
    std::memcpy(&entryAddress, &entry, sizeof entryAddress);
    EXPECT_EQ(aliasAddress, entryAddress);
    EXPECT_EQ(GetProcAddress(module, "DllMain"), nullptr);
}

TEST_F(WindowsDll, CreationAsksTheHostVersionAndOldHostsGetNothing) {
    AEffect* effect = entry(recordingHost);
    ASSERT_NE(effect, nullptr);
    ASSERT_EQ(hostCalls.size(), 1u);
    EXPECT_EQ(hostCalls[0].opcode, audioMasterVersion);
    EXPECT_EQ(hostCalls[0].effect, nullptr);
    EXPECT_EQ(dispatch(effect, effClose), 1);

    versionAnswer = 0;
    EXPECT_EQ(entry(recordingHost), nullptr);
    EXPECT_EQ(entry(nullptr), nullptr);
}

TEST_F(WindowsDll, RecordReadsAsPublished) {
    AEffect* effect = entry(recordingHost);
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->magic, 0x56737450);
    EXPECT_EQ(effect->numPrograms, 1);
    EXPECT_EQ(effect->numParams, 3);
    EXPECT_EQ(effect->numInputs, 2);
    EXPECT_EQ(effect->numOutputs, 2);
    EXPECT_EQ(effect->flags, 0x11) << "replacing processing and an editor";
    EXPECT_EQ(effect->uniqueID, ('Q' << 24) | ('r' << 16) | ('K' << 8) | 't');
    EXPECT_EQ(effect->version, 1);
    EXPECT_EQ(effect->initialDelay, 0);
    EXPECT_EQ(effect->ioRatio, 1.0f);
    EXPECT_NE(effect->object, nullptr);
    EXPECT_EQ(effect->user, nullptr);
    EXPECT_NE(effect->process, nullptr);
    EXPECT_NE(effect->processReplacing, nullptr);
    EXPECT_NE(effect->processDoubleReplacing, nullptr);
    EXPECT_EQ(dispatch(effect, effGetVendorVersion), 1005);
    ERect* rect = nullptr;
    EXPECT_EQ(dispatch(effect, effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right, 171);
    EXPECT_EQ(rect->bottom, 149);
    EXPECT_EQ(dispatch(effect, effClose), 1);
}

TEST_F(WindowsDll, TextsAndParametersThroughTheRecord) {
    AEffect* effect = entry(recordingHost);
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(askText(effect, effGetEffectName, 0, kVstMaxEffectNameLen), "Velmora");
    EXPECT_EQ(askText(effect, effGetVendorString, 0, kVstMaxVendorStrLen), "Trevanor");
    EXPECT_EQ(askText(effect, effGetProductString, 0, kVstMaxProductStrLen), "Velmora");
    EXPECT_EQ(askText(effect, effGetProgramName, 0, kVstMaxProgNameLen), "Init 1");
    const char* names[] = {"knob", "drive", "reso"};
    for (VstInt32 index = 0; index < 3; ++index) {
        EXPECT_EQ(askText(effect, effGetParamName, index, kVstMaxParamStrLen), names[index]);
    }
    // The display goes through the C runtime's formatting, which differs between the platforms.
    effect->setParameter(effect, 0, 0.1125f);
    effect->setParameter(effect, 2, 1.0f);
    EXPECT_EQ(effect->getParameter(effect, 0), 0.1125f);
    EXPECT_EQ(askText(effect, effGetParamDisplay, 0, kVstMaxParamStrLen), "267");
    EXPECT_EQ(askText(effect, effGetParamDisplay, 1, kVstMaxParamStrLen), " 0");
    EXPECT_EQ(askText(effect, effGetParamDisplay, 2, kVstMaxParamStrLen), "100");
    for (float value : {-1e38f, 0.4499f, 0.5512f, 3e38f}) {
        effect->setParameter(effect, 0, value);
        askText(effect, effGetParamDisplay, 0, kVstMaxParamStrLen);
    }
    EXPECT_EQ(dispatch(effect, effClose), 1);
}

TEST_F(WindowsDll, InstancesAreIndependentAndCloseInAnyOrder) {
    std::vector<AEffect*> effects;
    for (int i = 0; i < 6; ++i) {
        effects.push_back(entry(recordingHost));
        ASSERT_NE(effects.back(), nullptr);
        effects.back()->setParameter(effects.back(), 1, 0.125f * static_cast<float>(i));
    }
    for (std::size_t i : {4u, 0u, 5u, 1u, 3u, 2u}) {
        EXPECT_EQ(effects[i]->getParameter(effects[i], 1), 0.125f * static_cast<float>(i));
        EXPECT_EQ(dispatch(effects[i], effClose), 1);
    }
}

TEST_F(WindowsDll, DryCentrePassesAudioUnchangedInPlaceAndNot) {
    AEffect* effect = entry(recordingHost);
    ASSERT_NE(effect, nullptr);
    dispatch(effect, effSetSampleRate, 0, 0, nullptr, 48000.0f);
    dispatch(effect, effSetBlockSize, 0, 64);
    dispatch(effect, effMainsChanged, 0, 1);
    float left[64], right[64], outLeft[64], outRight[64];
    for (int i = 0; i < 64; ++i) {
        left[i] = 0.01f * static_cast<float>(i) - 0.3f;
        right[i] = -left[i];
    }
    const std::vector<float> originalLeft(left, left + 64);
    float* inputs[2] = {left, right};
    float* outputs[2] = {outLeft, outRight};
    effect->processReplacing(effect, inputs, outputs, 64);
    EXPECT_EQ(std::memcmp(outLeft, left, sizeof left), 0);
    EXPECT_EQ(std::memcmp(outRight, right, sizeof right), 0);
    float* inPlace[2] = {left, right};
    effect->processReplacing(effect, inPlace, inPlace, 64);
    EXPECT_EQ(std::memcmp(left, originalLeft.data(), sizeof left), 0);
    dispatch(effect, effMainsChanged, 0, 0);
    EXPECT_EQ(dispatch(effect, effClose), 1);
}

TEST_F(WindowsDll, ManifestIsResourceTwoAndAsksForNoElevation) {
    // A DLL's manifest is ID 2; a stray ID 1 (an executable's) would mean a second manifest got linked in.
    EXPECT_EQ(FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24)), nullptr);
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(2), MAKEINTRESOURCEW(24));
    ASSERT_NE(resource, nullptr);
    const DWORD size = SizeofResource(module, resource);
    HGLOBAL loaded = LoadResource(module, resource);
    ASSERT_NE(loaded, nullptr);
    const char* text = static_cast<const char*>(LockResource(loaded));
    ASSERT_NE(text, nullptr);
    const std::string manifest(text, size);
    EXPECT_NE(manifest.find("<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>"),
              std::string::npos)
        << manifest;
}

TEST_F(WindowsDllVersion, FixedInfoIsVersionOneOfADll) {
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0u);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));
    EXPECT_EQ(fixed->dwFileFlags & fixed->dwFileFlagsMask, 0u); // no debug, pre-release or patched flags
}

TEST_F(WindowsDllVersion, OneTranslationNeutralLanguageWindowsLatin1) {
    WORD* pairs = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&pairs),
                               &length));
    ASSERT_EQ(length, 2 * sizeof(WORD));
    EXPECT_EQ(pairs[0], 0x0800);
    EXPECT_EQ(pairs[1], 1252);
}

TEST_F(WindowsDllVersion, StringValuesUnderLanguage080004e4) {
    const struct {
        const wchar_t* name;
        const wchar_t* value;
    } expected[] = {
        {L"FileDescription", L"VST Effect Plug-In"},
        {L"FileVersion", L"1.001"},
        {L"ProductVersion", L"1, 0, 0, 0"},
        {L"InternalName", L"Velmora"},
        {L"PrivateBuild", L"Velmora"},
        {L"CompanyName", L"Trevanor"},
        {L"Comments", L""},
        {L"LegalCopyright", L""},
        {L"LegalTrademarks", L""},
        {L"OriginalFilename", L""},
        {L"ProductName", L""},
        {L"SpecialBuild", L""},
    };
    for (const auto& entry : expected) {
        const std::wstring name(entry.name);
        const std::string printable(name.begin(), name.end());
        UINT length = 0;
        const wchar_t* value = stringValue(name, length);
        ASSERT_NE(value, nullptr) << printable << " is missing";
        // The length counts the terminator when there is text; an empty value may report 0 or 1.
        const std::wstring text(value, wcsnlen(value, length));
        EXPECT_EQ(text, std::wstring(entry.value)) << printable;
    }
}

TEST(ModuleHandle, DllMainKeepsTheHandleAndAcceptsEveryReason) {
    // The load-time hook, linked in directly: the DLL's own copy keeps its handle where no host can look.
    const DWORD reasons[] = {DLL_PROCESS_ATTACH, DLL_THREAD_ATTACH, DLL_THREAD_DETACH, DLL_PROCESS_DETACH};
    char marker[4];
    for (DWORD reason : reasons) {
        HINSTANCE handle = reinterpret_cast<HINSTANCE>(&marker[reason]);
        EXPECT_EQ(DllMain(handle, reason, nullptr), TRUE) << "reason " << reason;
        EXPECT_EQ(hInstance, static_cast<void*>(handle)) << "reason " << reason;
    }
}
