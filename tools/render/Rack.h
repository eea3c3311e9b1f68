// The plug-in instances a render runs: one for a plug-in with stereo outputs, or, for a mono plug-in
// (one input, one output), one per channel with the same settings, as hosts run such plug-ins.
#pragma once

#include "PluginLoader.h"

#include <memory>
#include <vector>

namespace render {

class Rack {
  public:
    // Takes the loaded plug-in and, if it is mono, loads its second instance from the same library.
    explicit Rack(std::unique_ptr<Plugin> first);

    // The instance that answers questions (names, identity); with two, they answer alike.
    Plugin& lead() { return *instances_.front(); }
    size_t size() const { return instances_.size(); }

    // Each call goes to every instance.
    void setParameter(VstInt32 index, float value);
    void start(double sampleRate, VstInt32 blockSize);
    void stop();

    // One block of at most the started block size: `in` and `out` are two channels each.
    void process(float* const in[2], float* const out[2], VstInt32 frames);

  private:
    std::vector<std::unique_ptr<Plugin>> instances_;
    // The single instance's own channels: it may have more than two, or a mono input.
    std::vector<std::vector<float>> inputs_;
    std::vector<std::vector<float>> outputs_;
    std::vector<float*> inputPointers_;
    std::vector<float*> outputPointers_;
};

// For --info: how a render runs this plug-in.
const char* describeLayout(const AEffect& effect);

} // namespace render
