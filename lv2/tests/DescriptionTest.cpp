// The bundle as a host that gives no features reads it: the ports in the order the DJ application
// assumes, the control ports being the VST parameters with their names, range and defaults, nothing
// required, and the scale points of the knob where the effect's zones are; and as a host that shows
// plug-in UIs reads it: the editor, an X11 UI in the bundle's UI library, needing only a parent window
// and idle calls.
#include "CorvelParameters.h"
#include "Lv2Ports.h"
#include "Lv2TestHost.h"
#include "Lv2Uris.h"

#include <gtest/gtest.h>
#include <lv2/ui/ui.h>

#include <string>

using namespace lv2test;

namespace {

const char* const kLv2 = "http://lv2plug.in/ns/lv2core#";

struct PortFacts {
    const char* symbol; // for controls: the VST parameter's name
    const char* kind;   // AudioPort or ControlPort
    const char* direction;
};

const PortFacts kPorts[kPortCount] = {
    {"in_left", "AudioPort", "InputPort"},   {"in_right", "AudioPort", "InputPort"},
    {"out_left", "AudioPort", "OutputPort"}, {"out_right", "AudioPort", "OutputPort"},
    {"knob", "ControlPort", "InputPort"},    {"drive", "ControlPort", "InputPort"},
    {"reso", "ControlPort", "InputPort"},
};

class Node {
  public:
    Node(LilvWorld* world, const std::string& uri) : node(lilv_new_uri(world, uri.c_str())) {}
    ~Node() { lilv_node_free(node); }
    operator const LilvNode*() const { return node; }

  private:
    LilvNode* node;
};

} // namespace

TEST(Lv2Description, PortsAreAudioInThenOutThenTheVstParameters) {
    Bundle bundle;
    VstInstance vst(44100.0, 64);
    const LilvPlugin* plugin = bundle.plugin();
    ASSERT_EQ(lilv_plugin_get_num_ports(plugin), static_cast<std::uint32_t>(kPortCount));
    ASSERT_EQ(vst.vst().parameterNames().size(), static_cast<std::size_t>(kNumParams));
    AEffect& record = vst.vst().effect();
    for (std::uint32_t index = 0; index < kPortCount; ++index) {
        SCOPED_TRACE("port " + std::to_string(index));
        const LilvPort* port = lilv_plugin_get_port_by_index(plugin, index);
        ASSERT_NE(port, nullptr);
        EXPECT_STREQ(lilv_node_as_string(lilv_port_get_symbol(plugin, port)), kPorts[index].symbol);
        EXPECT_TRUE(
            lilv_port_is_a(plugin, port, Node(bundle.world(), std::string(kLv2) + kPorts[index].kind)));
        EXPECT_TRUE(
            lilv_port_is_a(plugin, port, Node(bundle.world(), std::string(kLv2) + kPorts[index].direction)));
        if (index < kFirstControl) {
            continue;
        }
        const VstInt32 parameter = static_cast<VstInt32>(index - kFirstControl);
        EXPECT_EQ(vst.vst().parameterNames()[static_cast<std::size_t>(parameter)], kPorts[index].symbol);
        LilvNode* def = nullptr;
        LilvNode* min = nullptr;
        LilvNode* max = nullptr;
        lilv_port_get_range(plugin, port, &def, &min, &max);
        ASSERT_TRUE(def != nullptr && min != nullptr && max != nullptr);
        EXPECT_EQ(lilv_node_as_float(def), record.getParameter(&record, parameter)) << "the VST default";
        EXPECT_EQ(lilv_node_as_float(min), 0.0f);
        EXPECT_EQ(lilv_node_as_float(max), 1.0f);
        lilv_node_free(def);
        lilv_node_free(min);
        lilv_node_free(max);
    }
}

TEST(Lv2Description, RequiresNothingAndIsAHardRealTimeFilter) {
    Bundle bundle;
    const LilvPlugin* plugin = bundle.plugin();
    LilvNodes* required = lilv_plugin_get_required_features(plugin);
    EXPECT_EQ(lilv_nodes_size(required), 0u);
    lilv_nodes_free(required);
    LilvNodes* optional = lilv_plugin_get_optional_features(plugin);
    EXPECT_TRUE(lilv_nodes_contains(optional, Node(bundle.world(), std::string(kLv2) + "hardRTCapable")));
    lilv_nodes_free(optional);
    EXPECT_FALSE(lilv_plugin_has_latency(plugin));

    LilvNodes* types = lilv_plugin_get_value(plugin, Node(bundle.world(), LILV_NS_RDF "type"));
    EXPECT_TRUE(lilv_nodes_contains(types, Node(bundle.world(), std::string(kLv2) + "FilterPlugin")));
    lilv_nodes_free(types);
    LilvNode* name = lilv_plugin_get_name(plugin);
    EXPECT_STREQ(lilv_node_as_string(name), "Velmora");
    lilv_node_free(name);
    LilvNode* author = lilv_plugin_get_author_name(plugin);
    ASSERT_NE(author, nullptr);
    EXPECT_STREQ(lilv_node_as_string(author), "Trevanor");
    lilv_node_free(author);

    Lv2Instance instance(bundle, 48000.0); // null feature list: the plug-in must not need one
}

// A host that shows the knob's scale points must show what the effect does there.
TEST(Lv2Description, KnobScalePointsNameTheZoneTheyLieIn) {
    Bundle bundle;
    const LilvPlugin* plugin = bundle.plugin();
    const LilvPort* knob = lilv_plugin_get_port_by_index(plugin, kFirstControl + kKnob);
    LilvScalePoints* points = lilv_port_get_scale_points(plugin, knob);
    ASSERT_NE(points, nullptr);
    EXPECT_EQ(lilv_scale_points_size(points), 3u);
    LILV_FOREACH(scale_points, i, points) {
        const LilvScalePoint* point = lilv_scale_points_get(points, i);
        const float value = lilv_node_as_float(lilv_scale_point_get_value(point));
        const std::string label = lilv_node_as_string(lilv_scale_point_get_label(point));
        const char* zone = value < kDeadZoneLow ? "Low-pass" : value > kDeadZoneHigh ? "High-pass" : "Dry";
        EXPECT_EQ(label.rfind(zone, 0), 0u) << value << " is labelled " << label;
    }
    lilv_scale_points_free(points);
}

TEST(Lv2Description, TheUiIsAnX11UiInTheBundleNeedingOnlyAParentAndIdleCalls) {
    Bundle bundle;
    LilvWorld* world = bundle.world();
    LilvUIs* uis = lilv_plugin_get_uis(bundle.plugin());
    ASSERT_EQ(lilv_uis_size(uis), 1u);
    const LilvUI* ui = lilv_uis_get(uis, lilv_uis_begin(uis));
    const LilvNode* uri = lilv_ui_get_uri(ui);
    EXPECT_STREQ(lilv_node_as_uri(uri), kVelmoraUiUri);
    EXPECT_TRUE(lilv_ui_is_a(ui, Node(world, LV2_UI__X11UI)));
    char* binary = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_binary_uri(ui)), nullptr);
    EXPECT_STREQ(binary, VELMORA_LV2_BUNDLE "/velmora_ui.so");
    lilv_free(binary);

    // Read as a host reads a UI's own description: exactly the two features it cannot do without.
    lilv_world_load_resource(world, uri);
    LilvNodes* required =
        lilv_world_find_nodes(world, uri, Node(world, std::string(kLv2) + "requiredFeature"), nullptr);
    EXPECT_EQ(lilv_nodes_size(required), 2u);
    EXPECT_TRUE(lilv_nodes_contains(required, Node(world, LV2_UI__idleInterface)));
    EXPECT_TRUE(lilv_nodes_contains(required, Node(world, LV2_UI__parent)));
    lilv_nodes_free(required);
    EXPECT_TRUE(lilv_world_ask(world, uri, Node(world, std::string(kLv2) + "extensionData"),
                               Node(world, LV2_UI__idleInterface)));
    lilv_uis_free(uis);
}
