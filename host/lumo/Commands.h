// The subcommands of lumo. Each registers itself on the application; its callback throws
// lumo::host::HostError (one line for the user) when it cannot do its work.
#pragma once

#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "MachineName.h"
#include "ParameterSettings.h"
#include "lumo/host/HostedMachine.h"
#include "lumo/host/PluginLibrary.h"

namespace lumo::cli {

struct GlobalOptions {
    std::string pluginDirectory;  // empty: the default plug-in directory

    std::string PluginDirectory() const {
        return pluginDirectory.empty() ? host::DefaultPluginDirectory() : pluginDirectory;
    }
    host::PluginLibrary Load(const std::string& machine) const {
        return host::PluginLibrary(ResolveMachine(machine, PluginDirectory()));
    }
};

// Ends lumo with this status after the command has said why (several one-line messages).
struct ExitStatus {
    int code;
};

void AddInfoCommand(CLI::App& app, const GlobalOptions& global);
void AddGraphCommand(CLI::App& app, const GlobalOptions& global);
#ifdef LUMO_WITH_SNDFILE
void AddEqCommand(CLI::App& app, const GlobalOptions& global);
#endif

// Resolves --set texts, applies them with every other parameter at its default, and prints
// the notes of values given in dB.
void ApplySettings(host::HostedMachine& machine, const std::vector<std::string>& settings);

}  // namespace lumo::cli
