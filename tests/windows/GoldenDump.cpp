// velmora-golden-dump PLUGIN OUTPUT [--expect-digest FILE]
//
// Loads a built plug-in the way a host does, runs the scripted golden scenario through its record and
// writes the output as raw little-endian 32-bit floats, interleaved left/right. One source for both
// platforms, so the Linux and the Windows runs differ only in the plug-in binary and its runtime.
// With --expect-digest the run also fails unless its digest matches the committed one.
#include "GoldenScenario.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace {

typedef AEffect* (*EntryPoint)(audioMasterCallback);

VstIntPtr VSTCALLBACK quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? kVstVersion : 0;
}

// The library stays loaded until the process ends: the dump is the process's only job.
EntryPoint loadEntryPoint(const char* path) {
#if defined(_WIN32)
    HMODULE module = LoadLibraryA(path);
    if (module == nullptr) {
        std::fprintf(stderr, "cannot load %s: error %lu\n", path, GetLastError());
        return nullptr;
    }
    FARPROC symbol = GetProcAddress(module, "VSTPluginMain");
    EntryPoint entry = nullptr;
    static_assert(sizeof symbol == sizeof entry, "function pointers");
    if (symbol != nullptr) {
        std::memcpy(&entry, &symbol, sizeof entry);
    }
#else
    void* module = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        std::fprintf(stderr, "cannot load %s: %s\n", path, dlerror());
        return nullptr;
    }
    EntryPoint entry = reinterpret_cast<EntryPoint>(dlsym(module, "VSTPluginMain"));
#endif
    if (entry == nullptr) {
        std::fprintf(stderr, "%s does not export VSTPluginMain\n", path);
    }
    return entry;
}

bool writeInterleaved(const char* path, const GoldenRun& run) {
    std::vector<float> frames;
    frames.reserve(run.left.size() * 2);
    for (std::size_t i = 0; i < run.left.size(); ++i) {
        frames.push_back(run.left[i]);
        frames.push_back(run.right[i]);
    }
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) {
        std::fprintf(stderr, "cannot create %s\n", path);
        return false;
    }
    const bool written = std::fwrite(frames.data(), sizeof(float), frames.size(), file) == frames.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        std::fprintf(stderr, "cannot write %s\n", path);
    }
    return written && closed;
}

} // namespace

int main(int argc, char** argv) {
    // Wine hands a redirected stdout to a fully buffered stream: a crash would swallow the report.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    const bool checkDigest = argc == 5 && std::strcmp(argv[3], "--expect-digest") == 0;
    if (argc != 3 && !checkDigest) {
        std::fprintf(stderr, "usage: %s PLUGIN OUTPUT [--expect-digest FILE]\n", argv[0]);
        return 2;
    }
    const EntryPoint entry = loadEntryPoint(argv[1]);
    if (entry == nullptr) {
        return 1;
    }
    AEffect* effect = entry(quietHost);
    if (effect == nullptr || effect->magic != kEffectMagic) {
        std::fprintf(stderr, "the entry point returned no effect record\n");
        return 1;
    }
    const GoldenRun run = runGoldenScenario(effect);
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    if (!writeInterleaved(argv[2], run)) {
        return 1;
    }
    std::printf("%zu frames, digest %016llx, written to %s\n", run.left.size(),
                static_cast<unsigned long long>(run.digest), argv[2]);
    if (checkDigest) {
        std::uint64_t expected = 0;
        if (!readDigestFile(argv[4], expected)) {
            std::fprintf(stderr, "cannot read the digest file %s\n", argv[4]);
            return 1;
        }
        if (expected != run.digest) {
            std::fprintf(stderr, "digest %016llx differs from the committed %016llx\n",
                         static_cast<unsigned long long>(run.digest),
                         static_cast<unsigned long long>(expected));
            return 1;
        }
        std::printf("matches the committed digest\n");
    }
    return 0;
}
