#include <gtest/gtest.h>

#include "TestPlugins.h"

namespace lumo::test {

const std::vector<MachineCase>& AllMachines() {
    static const std::vector<MachineCase> machines = {
        {"Tarvo Lumo-31", "Lumo-31", 31, 17, 1.0 / 3.0},
        {"Tarvo Lumo-20", "Lumo-20", 20, 11, 1.0 / 2.0},
        {"Tarvo Lumo-15", "Lumo-15", 15, 8, 2.0 / 3.0},
    };
    return machines;
}

}  // namespace lumo::test
