// Loading a plug-in file and finding one by name.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include <lumo/abi/Exports.h>
#include <lumo/abi/Machine.h>

namespace lumo::host {

// The host boundary's declarations, as host code names them.
namespace abi = ::lumo::abi;

// Every failure of the host library: one line meant for the user.
class HostError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One loaded plug-in file (dlopen natively, LoadLibraryA on Windows); unloaded on destruction.
class PluginLibrary {
public:
    // Throws HostError: missing file, not a loadable library, or lacking an export.
    explicit PluginLibrary(const std::string& path);
    ~PluginLibrary();
    PluginLibrary(PluginLibrary&& other) noexcept;
    PluginLibrary& operator=(PluginLibrary&& other) noexcept;
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    // Calls the GetInfo export every time (the plug-in returns the same record each call).
    const abi::MachineDescription* GetInfo() const;
    // Calls the CreateMachine export: a new machine, or null.
    abi::MachineBase* CreateMachine() const;

    const std::string& Path() const { return path_; }

private:

    void Release();

    std::string path_;
    void* handle_ = nullptr;
    abi::GetInfoFunction getInfo_ = nullptr;
    abi::CreateMachineFunction createMachine_ = nullptr;
};

// File name suffix of plug-ins on this platform (".so" or ".dll").
const char* PluginSuffix();

// The plug-in directory: the LUMO_PLUGIN_DIR environment variable if set, else ../plugins next to
// the running executable.
std::string DefaultPluginDirectory();

// Plug-in files in a directory (their suffix matched without regard to case), sorted by name.
std::vector<std::string> ListPlugins(const std::string& pluginDirectory);

}  // namespace lumo::host
