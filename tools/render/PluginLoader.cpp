#include "PluginLoader.h"

#include "RenderError.h"

#include <cerrno>
#include <cstring>
#include <dlfcn.h>
#include <unistd.h>

namespace render {

namespace {

typedef AEffect*(VSTCALLBACK* EntryPoint)(audioMasterCallback host);

std::string trim(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    const size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::string directoryOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

bool isMonoEffect(const AEffect& effect) {
    return effect.numInputs == 1 && effect.numOutputs == 1;
}

std::string defaultPluginPath() {
    std::vector<char> buffer(4096);
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (length <= 0)
        throw RenderError("cannot find the directory of this program; use --plugin PATH");
    const std::string directory = directoryOf(std::string(buffer.data(), static_cast<size_t>(length)));
    // In the build tree the plug-in sits beside the program; installed, it is in lib/vst beside bin/.
    const std::string besideProgram = directory + "/Velmora.so";
    const std::string installed = directory + "/../lib/vst/Velmora.so";
    if (access(besideProgram.c_str(), F_OK) != 0 && access(installed.c_str(), F_OK) == 0) {
        return installed;
    }
    return besideProgram;
}

Plugin::Plugin(std::string path, void* library, HostContext& host)
    : path_(std::move(path)), library_(library), host_(host) {}

std::unique_ptr<Plugin> Plugin::load(const std::string& path, HostContext& host) {
    if (access(path.c_str(), R_OK) != 0)
        throw RenderError("cannot read plug-in '" + path + "': " + std::strerror(errno));
    // dlopen searches the library path for names without a slash; a path given by the user means a file.
    const std::string openPath = path.find('/') == std::string::npos ? "./" + path : path;
    void* library = dlopen(openPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* reason = dlerror();
        throw RenderError("'" + path +
                          "' is not a loadable plug-in library: " + (reason ? reason : "dlopen failed"));
    }
    std::unique_ptr<Plugin> plugin(new Plugin(path, library, host));

    void* symbol = dlsym(library, "VSTPluginMain");
    if (symbol == nullptr)
        symbol = dlsym(library, "main");
    if (symbol == nullptr)
        throw RenderError("'" + path +
                          "' is not a VST 2.4 plug-in: it exports neither VSTPluginMain nor main");
    EntryPoint entry;
    static_assert(sizeof(entry) == sizeof(symbol), "function and object pointers differ in size");
    std::memcpy(&entry, &symbol, sizeof(entry));

    host.pluginDirectory = directoryOf(path);
    AEffect* effect = nullptr;
    {
        PendingHostBinding binding(&host);
        effect = entry(hostCallback);
    }
    if (effect == nullptr)
        throw RenderError("plug-in '" + path +
                          "' refused to create an instance (its entry point returned null)");
    if (effect->magic != kEffectMagic)
        throw RenderError("'" + path + "' is not a VST 2.4 plug-in: its record has the wrong magic number");
    if (effect->dispatcher == nullptr)
        throw RenderError("plug-in '" + path + "' has no dispatcher");
    plugin->effect_ = effect;
    bindHostContext(effect, &host);
    if (effect->processReplacing == nullptr)
        throw RenderError("plug-in '" + path + "' has no processReplacing function");
    if (effect->numInputs < 0 || effect->numInputs > 64 || effect->numOutputs > 64)
        throw RenderError("plug-in '" + path + "' reports an implausible channel count");
    if (effect->numOutputs < 2 && !isMonoEffect(*effect))
        throw RenderError("plug-in '" + path + "' has " + std::to_string(effect->numInputs) +
                          " input(s) and " + std::to_string(effect->numOutputs) +
                          " output(s); velmora-render runs plug-ins with two or more outputs, or with one "
                          "input and one output");

    plugin->dispatch(effOpen);
    plugin->opened_ = true;
    return plugin;
}

Plugin::~Plugin() {
    if (effect_ != nullptr) {
        if (running_)
            stop();
        // A record we rejected before effOpen is still an instance: effClose is how it is freed.
        dispatch(effClose);
        effect_ = nullptr;
    }
    if (library_ != nullptr)
        dlclose(library_);
}

VstIntPtr Plugin::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

void Plugin::start(double sampleRate, VstInt32 blockSize) {
    host_.sampleRate = sampleRate;
    host_.blockSize = blockSize;
    dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
    dispatch(effSetBlockSize, 0, blockSize);
    dispatch(effMainsChanged, 0, 1);
    running_ = true;
}

void Plugin::stop() {
    dispatch(effMainsChanged, 0, 0);
    running_ = false;
}

const std::vector<std::string>& Plugin::parameterNames() {
    if (!namesRead_) {
        for (VstInt32 i = 0; i < effect_->numParams; ++i) {
            // Far larger than the published 8 bytes: a sloppy plug-in must not break the lookup.
            char name[256] = {};
            dispatch(effGetParamName, i, 0, name);
            name[sizeof(name) - 1] = '\0';
            parameterNames_.push_back(trim(name));
        }
        namesRead_ = true;
    }
    return parameterNames_;
}

VstInt32 Plugin::findParameter(const std::string& text) {
    const auto& names = parameterNames();
    for (size_t i = 0; i < names.size(); ++i) {
        if (names[i] == text)
            return static_cast<VstInt32>(i);
    }
    if (!text.empty() && text.find_first_not_of("0123456789") == std::string::npos && text.size() < 10) {
        const long index = std::stol(text);
        if (index < effect_->numParams)
            return static_cast<VstInt32>(index);
    }
    std::string known;
    for (size_t i = 0; i < names.size(); ++i)
        known += (i ? ", " : "") + names[i];
    throw RenderError("unknown parameter '" + text + "' (the plug-in has " +
                      (names.empty() ? std::string("no parameters")
                                     : known + ", or an index 0 to " + std::to_string(names.size() - 1)) +
                      ")");
}

} // namespace render
