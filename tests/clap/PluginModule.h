// A CLAP plug-in file opened and its clap_entry found; the platform's part (dlopen, or later
// LoadLibraryW on Windows) lives in PluginModule<Platform>.cpp only.
#pragma once

#include <clap/entry.h>

#include <memory>
#include <string>

namespace lumo::clap_host {

class PluginModule {
public:
    // Opens the file and finds its entry; null with the reason in error when either fails.
    static std::unique_ptr<PluginModule> Open(const std::string& path, std::string& error);
    ~PluginModule();
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    const clap_plugin_entry_t& Entry() const { return *entry_; }
    // The file's absolute path, as clap_entry.init wants it.
    const std::string& Path() const { return path_; }

private:
    PluginModule(std::string path, void* handle, const clap_plugin_entry_t* entry)
        : path_(std::move(path)), handle_(handle), entry_(entry) {}
    std::string path_;
    void* handle_;
    const clap_plugin_entry_t* entry_;
};

}  // namespace lumo::clap_host
