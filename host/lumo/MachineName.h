// MACHINE as lumo's user names it: a plug-in path, a full name ("Tarvo Lumo-31") or a short name
// ("Lumo-31").
#pragma once

#include <string>

namespace lumo::cli {

// A path to an existing file is taken as it is; otherwise a full name or a short name (the full
// name without "Tarvo "), matched without regard to case, is looked up among the plug-in files
// of pluginDirectory, whose names are the full names. Throws host::HostError naming the machines
// available.
std::string ResolveMachine(const std::string& machine, const std::string& pluginDirectory);

}  // namespace lumo::cli
