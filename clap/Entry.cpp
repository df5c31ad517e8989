// The file's one export, clap_entry, and its plug-in factory. The only platform-specific part of
// the face: CLAP_EXPORT marks the export (dllexport on Windows; default visibility elsewhere,
// with exports.map keeping every other symbol local). Nothing here needs the file's own path
// (UTF-8 on every platform), so init ignores it.
#include <clap/entry.h>
#include <clap/plugin-factory.h>

#include <cstring>

#include "clap/Descriptors.h"
#include "clap/Plugin.h"

namespace lumo::clap {
namespace {

const clap_plugin_factory_t kFactory = {
    // The host, on any thread: how many plug-ins the file holds.
    [](const clap_plugin_factory_t*) { return static_cast<uint32_t>(kPluginCount); },
    // The host, on any thread: one plug-in's descriptor.
    [](const clap_plugin_factory_t*, uint32_t index) -> const clap_plugin_descriptor_t* {
        return index < static_cast<uint32_t>(kPluginCount) ? PluginKindAt(static_cast<int>(index)).descriptor
                                                           : nullptr;
    },
    // The host, on any thread (the main thread in practice): a new instance of a plug-in by its ID.
    [](const clap_plugin_factory_t*, const clap_host_t* host, const char* pluginId) -> const clap_plugin_t* {
        const PluginKind* kind = FindPluginKind(pluginId);
        if (kind == nullptr || host == nullptr || !clap_version_is_compatible(host->clap_version)) return nullptr;
        return CreatePlugin(*kind, host);
    },
};

}  // namespace
}  // namespace lumo::clap

extern "C" CLAP_EXPORT const clap_plugin_entry_t clap_entry = {
    CLAP_VERSION_INIT,
    // The host, on the main thread, once after loading the file: nothing to prepare.
    [](const char*) { return true; },
    // The host, on the main thread, before unloading the file.
    []() {},
    // The host, on any thread: the plug-in factory by its ID.
    [](const char* factoryId) -> const void* {
        return factoryId != nullptr && std::strcmp(factoryId, CLAP_PLUGIN_FACTORY_ID) == 0 ? &lumo::clap::kFactory
                                                                                           : nullptr;
    },
};
