#include "LoadedPlugin.h"

namespace lumo::clap_host {

std::unique_ptr<LoadedPlugin> LoadedPlugin::Open(const std::string& path, std::string& error) {
    std::unique_ptr<PluginModule> module = PluginModule::Open(path, error);
    if (!module) return nullptr;
    const clap_plugin_entry_t& entry = module->Entry();
    if (!clap_version_is_compatible(entry.clap_version)) {
        error = path + " is built for CLAP " + std::to_string(entry.clap_version.major) + ", not 1";
        return nullptr;
    }
    std::unique_ptr<LoadedPlugin> loaded(new LoadedPlugin(std::move(module)));
    if (!entry.init(loaded->module_->Path().c_str())) {
        error = path + ": clap_entry.init failed";
        return nullptr;
    }
    loaded->entryReady_ = true;
    loaded->factory_ = static_cast<const clap_plugin_factory_t*>(entry.get_factory(CLAP_PLUGIN_FACTORY_ID));
    if (loaded->factory_ == nullptr) {
        error = path + " has no plug-in factory";
        return nullptr;
    }
    return loaded;
}

LoadedPlugin::~LoadedPlugin() {
    if (plugin_ != nullptr) plugin_->destroy(plugin_);
    if (entryReady_) module_->Entry().deinit();
}

bool LoadedPlugin::Create(const std::string& pluginId, const TestHost& host, std::string& error) {
    plugin_ = factory_->create_plugin(factory_, host.Clap(), pluginId.c_str());
    if (plugin_ == nullptr) {
        error = "the factory creates no plug-in " + pluginId;
        return false;
    }
    if (!plugin_->init(plugin_)) {
        error = pluginId + ": init failed";
        return false;
    }
    return true;
}

const clap_plugin_params_t* LoadedPlugin::Params() const {
    return static_cast<const clap_plugin_params_t*>(plugin_->get_extension(plugin_, CLAP_EXT_PARAMS));
}

}  // namespace lumo::clap_host
