// The three plug-ins as the host tests see them: where they are, and what their tables hold.
#pragma once

#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "lumo/host/HostedMachine.h"
#include "lumo/host/PluginLibrary.h"

namespace lumo::test {

// A machine's names and band layout: band i has its centre at 1000 x 2^((i - K) x S) Hz.
struct MachineCase {
    const char* fullName;
    const char* shortName;
    int bandCount;
    int oneKilohertzBand;   // K
    double spacingOctaves;  // S
};

const std::vector<MachineCase>& AllMachines();

// LUMO_PLUGIN_DIR if set, else the build's plug-in directory.
inline std::string PluginDirectory() {
    if (const char* dir = std::getenv("LUMO_PLUGIN_DIR"); dir != nullptr && *dir != '\0') return dir;
    return LUMO_TEST_PLUGIN_DIR;
}

inline std::string PluginPath(const MachineCase& machine) {
    return PluginDirectory() + "/" + machine.fullName + host::PluginSuffix();
}

// Loaded once per process and kept for the rest of the run.
inline const host::PluginLibrary& Library(const MachineCase& machine) {
    static std::map<std::string, std::unique_ptr<host::PluginLibrary>> libraries;
    auto& library = libraries[machine.fullName];
    if (!library) library = std::make_unique<host::PluginLibrary>(PluginPath(machine));
    return *library;
}

// Test names for parameterised suites: "Lumo31".
struct MachineName {
    std::string operator()(const testing::TestParamInfo<MachineCase>& info) const {
        std::string name;
        for (const char* c = info.param.shortName; *c != '\0'; ++c)
            if (std::isalnum(static_cast<unsigned char>(*c))) name += *c;
        return name;
    }
};

}  // namespace lumo::test
