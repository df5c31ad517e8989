#include "MachineName.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include "lumo/host/PluginLibrary.h"
#include "lumo/host/Text.h"

namespace fs = std::filesystem;

namespace lumo::cli {

std::string ResolveMachine(const std::string& machine, const std::string& pluginDirectory) {
    std::error_code error;
    const bool looksLikePath = machine.find('/') != std::string::npos ||
                               machine.find('\\') != std::string::npos ||
                               host::ToLower(fs::path(machine).extension().string()) == host::PluginSuffix();
    if (looksLikePath || fs::is_regular_file(machine, error)) {
        if (!fs::exists(machine, error))
            throw host::HostError("cannot open plug-in " + machine + ": no such file");
        return machine;
    }

    const std::string wanted = host::ToLower(machine);
    const std::vector<std::string> plugins = host::ListPlugins(pluginDirectory);
    std::string available;
    for (const std::string& plugin : plugins) {
        const std::string fullName = fs::path(plugin).stem().string();
        const std::string lowerName = host::ToLower(fullName);
        if (lowerName == wanted || lowerName == "tarvo " + wanted) return plugin;
        available += (available.empty() ? "" : ", ") + fullName;
    }
    if (plugins.empty())
        throw host::HostError("unknown machine '" + machine + "': no plug-ins in " + pluginDirectory +
                              " (set --plugins or LUMO_PLUGIN_DIR)");
    throw host::HostError("unknown machine '" + machine + "' (available in " + pluginDirectory +
                          ": " + available + ")");
}

}  // namespace lumo::cli
