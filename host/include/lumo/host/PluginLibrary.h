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

// Turns a MACHINE argument into a plug-in path: a path to an existing file is taken as it is;
// otherwise a full name ("Tarvo Lumo-31") or a short name ("Lumo-31"), matched without regard to
// case, is looked up in pluginDirectory. Throws HostError naming the machines available.
std::string ResolveMachine(const std::string& machine, const std::string& pluginDirectory);

// Plug-in files in a directory, sorted by name.
std::vector<std::string> ListPlugins(const std::string& pluginDirectory);

// The name of the graph window class of a machine: "Tarvo Lumo-31" -> "TarvoLumo31WndClassName".
std::string GraphWindowClassName(const abi::MachineDescription& description);

}  // namespace lumo::host
