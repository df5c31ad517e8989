// PluginModule on Linux: dlopen with the plug-in's own symbols kept to itself (RTLD_LOCAL). The
// path is made absolute, so that a bare file name is not looked for in the library path.
#include "PluginModule.h"

#include <dlfcn.h>

#include <filesystem>

namespace lumo::clap_host {

std::unique_ptr<PluginModule> PluginModule::Open(const std::string& path, std::string& error) {
    std::error_code failure;
    const std::string absolute = std::filesystem::absolute(path, failure).string();
    void* handle = dlopen(absolute.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* reason = dlerror();
        error = "cannot load " + path + ": " + (reason ? reason : "unknown error");
        return nullptr;
    }
    const auto* entry = static_cast<const clap_plugin_entry_t*>(dlsym(handle, "clap_entry"));
    if (entry == nullptr) {
        error = path + " exports no clap_entry";
        dlclose(handle);
        return nullptr;
    }
    return std::unique_ptr<PluginModule>(new PluginModule(absolute, handle, entry));
}

PluginModule::~PluginModule() { dlclose(handle_); }

}  // namespace lumo::clap_host
