#include "Lv2BenchHost.h"

#include <lv2/buf-size/buf-size.h>
#include <lv2/parameters/parameters.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace lumo::lv2bench {
namespace {

constexpr uint32_t kAtomCapacity = 8192;

bool Matches(const Setting& setting, const char* symbol) {
    const std::string& s = setting.symbol;
    if (!s.empty() && s.back() == '*') return std::strncmp(symbol, s.c_str(), s.size() - 1) == 0;
    return s == symbol;
}

}  // namespace

void Fail(const std::string& message) {
    std::fprintf(stderr, "lumo-lv2-bench: %s\n", message.c_str());
    std::exit(1);
}

LV2_URID UridTable::Map(LV2_URID_Map_Handle handle, const char* uri) {
    auto* self = static_cast<UridTable*>(handle);
    for (size_t i = 0; i < self->uris.size(); ++i)
        if (self->uris[i] == uri) return static_cast<LV2_URID>(i + 1);
    self->uris.emplace_back(uri);
    return static_cast<LV2_URID>(self->uris.size());
}

const char* UridTable::Unmap(LV2_URID_Unmap_Handle handle, LV2_URID urid) {
    auto* self = static_cast<UridTable*>(handle);
    return urid >= 1 && urid <= self->uris.size() ? self->uris[urid - 1].c_str() : nullptr;
}

HostFeatures::HostFeatures(int32_t nominalBlock, int32_t maxBlock, float rateHz)
    : maxBlock_(maxBlock), nominalBlock_(nominalBlock), rateHz_(rateHz) {
    const LV2_URID intType = Map(LV2_ATOM__Int);
    const LV2_URID floatType = Map(LV2_ATOM__Float);
    options_[0] = {LV2_OPTIONS_INSTANCE, 0, Map(LV2_BUF_SIZE__minBlockLength), sizeof minBlock_, intType, &minBlock_};
    options_[1] = {LV2_OPTIONS_INSTANCE, 0, Map(LV2_BUF_SIZE__maxBlockLength), sizeof maxBlock_, intType, &maxBlock_};
    options_[2] = {LV2_OPTIONS_INSTANCE, 0, Map(LV2_BUF_SIZE__nominalBlockLength), sizeof nominalBlock_, intType, &nominalBlock_};
    options_[3] = {LV2_OPTIONS_INSTANCE, 0, Map(LV2_PARAMETERS__sampleRate), sizeof rateHz_, floatType, &rateHz_};
    options_[4] = {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr};
    mapFeature_ = {LV2_URID__map, &map_};
    unmapFeature_ = {LV2_URID__unmap, &unmap_};
    optionsFeature_ = {LV2_OPTIONS__options, options_};
    boundedFeature_ = {LV2_BUF_SIZE__boundedBlockLength, nullptr};
    list_[0] = &mapFeature_;
    list_[1] = &unmapFeature_;
    list_[2] = &optionsFeature_;
    list_[3] = &boundedFeature_;
    list_[4] = nullptr;
}

Lv2World::Lv2World() : world(lilv_world_new()) {
    lilv_world_load_all(world);
    audioClass = lilv_new_uri(world, LV2_CORE__AudioPort);
    controlClass = lilv_new_uri(world, LV2_CORE__ControlPort);
    atomClass = lilv_new_uri(world, LV2_ATOM__AtomPort);
    inputClass = lilv_new_uri(world, LV2_CORE__InputPort);
}

Lv2World::~Lv2World() {
    for (LilvNode* node : {pluginUri, audioClass, controlClass, atomClass, inputClass}) lilv_node_free(node);
    lilv_world_free(world);
}

const LilvPlugin* Lv2World::Plugin(const char* uri) {
    pluginUri = lilv_new_uri(world, uri);
    const LilvPlugin* plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), pluginUri);
    if (plugin == nullptr) Fail(std::string("no plug-in ") + uri + " on LV2_PATH");
    return plugin;
}

PluginInstances::PluginInstances(const Lv2World& lv2, const LilvPlugin* plugin, const char* uri,
                                 int count, HostFeatures& features,
                                 const std::vector<Setting>& settings,
                                 std::vector<std::vector<float>>& noise)
    : lv2_(lv2),
      plugin_(plugin),
      settings_(settings),
      noise_(noise),
      sequenceType_(features.Map(LV2_ATOM__Sequence)),
      chunkType_(features.Map(LV2_ATOM__Chunk)) {
    const uint32_t portCount = lilv_plugin_get_num_ports(plugin);
    controls_.resize(static_cast<size_t>(portCount) * static_cast<size_t>(count));  // never moves
    for (int n = 0; n < count; ++n) {
        LilvInstance* instance = lilv_plugin_instantiate(plugin, features.RateHz(), features.List());
        if (instance == nullptr) Fail(std::string("cannot instantiate ") + uri);
        running_.push_back(instance);
        for (uint32_t port = 0; port < portCount; ++port)
            Connect(instance, port, controls_[static_cast<size_t>(n) * portCount + port]);
        lilv_instance_activate(instance);
    }
    if (audioInputs_ != 2)
        Fail("the instances take " + std::to_string(audioInputs_) + " audio inputs, not 2");
}

PluginInstances::~PluginInstances() {
    for (LilvInstance* instance : running_) {
        lilv_instance_deactivate(instance);
        lilv_instance_free(instance);
    }
}

void PluginInstances::Run(int frames) {
    for (LV2_Atom* atom : atomOutputs_) {
        atom->size = kAtomCapacity;
        atom->type = chunkType_;
    }
    for (LilvInstance* instance : running_) lilv_instance_run(instance, static_cast<uint32_t>(frames));
}

// One port of an instance; control is the value a control port reads.
void PluginInstances::Connect(LilvInstance* instance, uint32_t index, float& control) {
    const LilvPort* port = lilv_plugin_get_port_by_index(plugin_, index);
    const bool input = lilv_port_is_a(plugin_, port, lv2_.inputClass);
    const char* symbol = lilv_node_as_string(lilv_port_get_symbol(plugin_, port));
    if (lilv_port_is_a(plugin_, port, lv2_.audioClass)) {
        if (input) {
            if (audioInputs_ >= 2) Fail("more than two audio inputs in all: not a stereo effect");
            lilv_instance_connect_port(instance, index, noise_[static_cast<size_t>(audioInputs_++)].data());
        } else {
            outputs_.emplace_back(noise_.front().size());  // a block as long as the noise's
            lilv_instance_connect_port(instance, index, outputs_.back().data());
        }
    } else if (lilv_port_is_a(plugin_, port, lv2_.controlClass)) {
        LilvNode* defaultValue = nullptr;
        lilv_port_get_range(plugin_, port, &defaultValue, nullptr, nullptr);
        control = defaultValue != nullptr ? lilv_node_as_float(defaultValue) : 0.0f;
        lilv_node_free(defaultValue);
        if (input)
            for (const Setting& setting : settings_)
                if (Matches(setting, symbol)) control = setting.value;
        lilv_instance_connect_port(instance, index, &control);
    } else if (lilv_port_is_a(plugin_, port, lv2_.atomClass)) {
        atoms_.emplace_back((sizeof(LV2_Atom) + kAtomCapacity) / 8 + 1, 0);
        auto* atom = reinterpret_cast<LV2_Atom*>(atoms_.back().data());
        if (input) {
            atom->size = sizeof(LV2_Atom_Sequence_Body);
            atom->type = sequenceType_;
        } else {
            atomOutputs_.push_back(atom);
        }
        lilv_instance_connect_port(instance, index, atom);
    } else {
        Fail(std::string("port ") + symbol + " is of a kind this bench does not connect");
    }
}

}  // namespace lumo::lv2bench
