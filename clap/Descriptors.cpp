#include "clap/Descriptors.h"

#include <cstring>

#ifndef LUMO_VERSION
#error "LUMO_VERSION is set by the build"
#endif

namespace lumo::clap {
namespace {

const char* kFeatures[] = {CLAP_PLUGIN_FEATURE_AUDIO_EFFECT, CLAP_PLUGIN_FEATURE_EQUALIZER,
                           CLAP_PLUGIN_FEATURE_STEREO, nullptr};

constexpr clap_plugin_descriptor_t Describe(const char* id, const char* name, const char* description) {
    return {CLAP_VERSION_INIT, id, name, "Tarvo Lumo", "", "", "", LUMO_VERSION, description, kFeatures};
}

// The IDs are the plug-ins' identity in saved sessions: never change them.
const clap_plugin_descriptor_t kDescriptors[kPluginCount] = {
    Describe("org.tarvo-lumo.lumo-31", "Tarvo Lumo-31", "Stereo graphic equaliser: 31 bands, 1/3 octave apart"),
    Describe("org.tarvo-lumo.lumo-20", "Tarvo Lumo-20", "Stereo graphic equaliser: 20 bands, 1/2 octave apart"),
    Describe("org.tarvo-lumo.lumo-15", "Tarvo Lumo-15", "Stereo graphic equaliser: 15 bands, 2/3 octave apart"),
};

const PluginKind kKinds[kPluginCount] = {
    {&kDescriptors[0], product::Lumo31},
    {&kDescriptors[1], product::Lumo20},
    {&kDescriptors[2], product::Lumo15},
};

}  // namespace

const PluginKind& PluginKindAt(int index) { return kKinds[index]; }

const PluginKind* FindPluginKind(const char* pluginId) {
    if (pluginId == nullptr) return nullptr;
    for (const PluginKind& kind : kKinds)
        if (std::strcmp(kind.descriptor->id, pluginId) == 0) return &kind;
    return nullptr;
}

}  // namespace lumo::clap
