// A small LV2 host over lilv for the tests and the benchmark, beside the VST build driven as
// velmora-render drives it, so that the two formats can run the same programme side by side.
#pragma once

#include "PluginLoader.h"

#include <lilv/lilv.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace lv2test {

// The three parameters in parameter order: the control ports 4 to 6, the VST parameters 0 to 2.
struct Controls {
    float knob;
    float drive;
    float reso;
};

// A lilv world holding the built bundle alone, whatever else is installed.
class Bundle {
  public:
    Bundle(); // throws std::runtime_error without the plug-in
    ~Bundle();
    Bundle(const Bundle&) = delete;
    Bundle& operator=(const Bundle&) = delete;

    LilvWorld* world() const { return world_; }
    const LilvPlugin* plugin() const { return plugin_; }

  private:
    LilvWorld* world_;
    const LilvPlugin* plugin_ = nullptr;
};

// One instance made with a null feature list, as the DJ application and lv2apply make it; its control
// ports read `controls` once connected.
class Lv2Instance {
  public:
    Lv2Instance(const Bundle& bundle, double sampleRate); // throws without an instance
    ~Lv2Instance();                                       // deactivates, then cleans up
    Lv2Instance(const Lv2Instance&) = delete;
    Lv2Instance& operator=(const Lv2Instance&) = delete;

    void connect(std::uint32_t port, void* data) { lilv_instance_connect_port(instance, port, data); }
    void connectControls();
    void activate();
    void deactivate();
    void run(std::uint32_t frames) { lilv_instance_run(instance, frames); }

    // Connects the audio ports to these channels (outputs may be the inputs), sets the controls, runs.
    void block(const Controls& values, float* const in[2], float* const out[2], std::uint32_t frames);

    Controls controls{};

  private:
    LilvInstance* instance;
    bool active = false;
};

// The VST build's Velmora.so, loaded and started as velmora-render loads and starts it.
class VstInstance {
  public:
    VstInstance(double sampleRate, int blockSize);

    render::Plugin& vst() { return *plugin; }
    // Sets the three parameters, as velmora-render sets them before every block, then processes.
    void block(const Controls& values, float* const in[2], float* const out[2], int frames);

  private:
    render::HostContext host;
    std::unique_ptr<render::Plugin> plugin;
};

// Control values at a block's first frame, given its time in seconds.
using Schedule = std::function<Controls(double seconds)>;

// Plays an interleaved stereo programme through an Lv2Instance or a VstInstance in blocks of exactly
// `block` frames, so that the address sanitizer sees any access past them; returns the interleaved
// output. In place, the outputs are the inputs.
template <typename Instance>
std::vector<float> play(Instance& instance, const std::vector<float>& stereo, double rate, int block,
                        const Schedule& schedule, bool inPlace = false) {
    const std::size_t frames = stereo.size() / 2;
    std::vector<float> result(stereo.size());
    for (std::size_t start = 0; start < frames; start += static_cast<std::size_t>(block)) {
        const std::size_t n = std::min(frames - start, static_cast<std::size_t>(block));
        std::vector<float> inLeft(n), inRight(n), outLeft(n), outRight(n);
        for (std::size_t i = 0; i < n; ++i) {
            inLeft[i] = stereo[(start + i) * 2];
            inRight[i] = stereo[(start + i) * 2 + 1];
        }
        float* const in[2] = {inLeft.data(), inRight.data()};
        float* const separate[2] = {outLeft.data(), outRight.data()};
        float* const* out = inPlace ? in : separate;
        instance.block(schedule(static_cast<double>(start) / rate), in, out, static_cast<int>(n));
        for (std::size_t i = 0; i < n; ++i) {
            result[(start + i) * 2] = out[0][i];
            result[(start + i) * 2 + 1] = out[1][i];
        }
    }
    return result;
}

} // namespace lv2test
