// A CLAP file as a host holds it: the module opened and its entry initialised with the file's
// path, then (optionally) one plug-in of its factory created by id and initialised. Torn down in
// the reverse order: destroy, deinit, close.
#pragma once

#include "PluginModule.h"
#include "TestHost.h"

#include <clap/ext/params.h>
#include <clap/plugin-factory.h>

#include <memory>
#include <string>

namespace lumo::clap_host {

class LoadedPlugin {
public:
    // Opens the file and initialises its entry; null with the reason in error.
    static std::unique_ptr<LoadedPlugin> Open(const std::string& path, std::string& error);
    ~LoadedPlugin();
    LoadedPlugin(const LoadedPlugin&) = delete;
    LoadedPlugin& operator=(const LoadedPlugin&) = delete;

    const clap_plugin_factory_t& Factory() const { return *factory_; }

    // Creates and initialises the plug-in with that id for host (main thread); false with the
    // reason in error.
    bool Create(const std::string& pluginId, const TestHost& host, std::string& error);
    const clap_plugin_t& Plugin() const { return *plugin_; }
    // The plug-in's parameters extension, or null.
    const clap_plugin_params_t* Params() const;

private:
    explicit LoadedPlugin(std::unique_ptr<PluginModule> module) : module_(std::move(module)) {}

    std::unique_ptr<PluginModule> module_;
    bool entryReady_ = false;
    const clap_plugin_factory_t* factory_ = nullptr;
    const clap_plugin_t* plugin_ = nullptr;
};

}  // namespace lumo::clap_host
