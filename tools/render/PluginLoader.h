// Loading a VST 2.4 plug-in library and driving its record through the start-up sequence.
#pragma once

#include "HostCallback.h"
#include "VstAbi.h"

#include <memory>
#include <string>
#include <vector>

namespace render {

class Plugin {
  public:
    // dlopen, entry point ("VSTPluginMain", else "main"), record checks, effOpen. Throws RenderError.
    static std::unique_ptr<Plugin> load(const std::string& path, HostContext& host);
    ~Plugin(); // switches off if running, effClose, dlclose

    Plugin(const Plugin&) = delete;
    Plugin& operator=(const Plugin&) = delete;

    AEffect& effect() { return *effect_; }
    const std::string& path() const { return path_; }
    HostContext& host() { return host_; }

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f);

    // effSetSampleRate, effSetBlockSize, effMainsChanged 1: after effOpen, the plug-in is off until here.
    void start(double sampleRate, VstInt32 blockSize);
    // effMainsChanged 0.
    void stop();

    // Parameter names as the plug-in reports them, surrounding blanks removed.
    const std::vector<std::string>& parameterNames();
    // A reported name, else a decimal index; throws RenderError naming `text` and the known names.
    VstInt32 findParameter(const std::string& text);

  private:
    Plugin(std::string path, void* library, HostContext& host);

    std::string path_;
    void* library_ = nullptr;
    AEffect* effect_ = nullptr;
    HostContext& host_;
    bool opened_ = false;
    bool running_ = false;
    std::vector<std::string> parameterNames_;
    bool namesRead_ = false;
};

// One input and one output: a host runs such a plug-in once per channel.
bool isMonoEffect(const AEffect& effect);

// Velmora.so in the directory of the running executable, else in ../lib/vst from there.
std::string defaultPluginPath();

} // namespace render
