#include "Lv2TestHost.h"

#include "Lv2Ports.h"
#include "Lv2Uris.h"

#include <stdexcept>
#include <string>

namespace lv2test {

Bundle::Bundle() : world_(lilv_world_new()) {
    LilvNode* bundle = lilv_new_file_uri(world_, nullptr, VELMORA_LV2_BUNDLE "/");
    lilv_world_load_bundle(world_, bundle);
    lilv_node_free(bundle);
    LilvNode* uri = lilv_new_uri(world_, kVelmoraPluginUri);
    plugin_ = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world_), uri);
    lilv_node_free(uri);
    if (plugin_ == nullptr) {
        lilv_world_free(world_);
        throw std::runtime_error(std::string("no ") + kVelmoraPluginUri + " in " VELMORA_LV2_BUNDLE);
    }
}

Bundle::~Bundle() {
    lilv_world_free(world_);
}

Lv2Instance::Lv2Instance(const Bundle& bundle, double sampleRate)
    : instance(lilv_plugin_instantiate(bundle.plugin(), sampleRate, nullptr)) {
    if (instance == nullptr) {
        throw std::runtime_error("the plug-in gave no instance");
    }
}

Lv2Instance::~Lv2Instance() {
    if (active) {
        lilv_instance_deactivate(instance);
    }
    lilv_instance_free(instance);
}

void Lv2Instance::connectControls() {
    connect(kFirstControl + kKnob, &controls.knob);
    connect(kFirstControl + kDrive, &controls.drive);
    connect(kFirstControl + kReso, &controls.reso);
}

void Lv2Instance::activate() {
    lilv_instance_activate(instance);
    active = true;
}

void Lv2Instance::deactivate() {
    lilv_instance_deactivate(instance);
    active = false;
}

void Lv2Instance::block(const Controls& values, float* const in[2], float* const out[2],
                        std::uint32_t frames) {
    connect(kInputLeft, in[0]);
    connect(kInputRight, in[1]);
    connect(kOutputLeft, out[0]);
    connect(kOutputRight, out[1]);
    controls = values;
    run(frames);
}

VstInstance::VstInstance(double sampleRate, int blockSize)
    : plugin(render::Plugin::load(VELMORA_PLUGIN, host)) {
    plugin->start(sampleRate, blockSize);
}

void VstInstance::block(const Controls& values, float* const in[2], float* const out[2], int frames) {
    AEffect& record = plugin->effect();
    record.setParameter(&record, kKnob, values.knob);
    record.setParameter(&record, kDrive, values.drive);
    record.setParameter(&record, kReso, values.reso);
    record.processReplacing(&record, const_cast<float**>(in), const_cast<float**>(out), frames);
}

} // namespace lv2test
