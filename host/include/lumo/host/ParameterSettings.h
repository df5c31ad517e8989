// Parameter settings given as text ("Range=12", "Bandwidth=8", "1 kHz=96", "1 kHz=+6dB", "5=70").
#pragma once

#include <string>
#include <vector>

#include <lumo/abi/Records.h>

namespace lumo::host {

struct ParameterSetting {
    int index;
    int raw;
    std::string note;  // what a dB value was turned into; empty for raw values
};

// Resolves "NAME=VALUE" texts against a machine description. NAME is a parameter name (without
// regard to case) or index. VALUE is a raw value within the record's minimum..maximum; for band
// parameters it may also be a gain in dB ("+6dB", "-3.5 dB"), which picks the nearest slider
// value for the Range in force (the Range given among the settings, else its default), and the
// note tells which. Range is resolved first, whatever the order. Throws HostError on a bad name,
// a malformed or out-of-range value.
std::vector<ParameterSetting> ResolveSettings(const abi::MachineDescription& description,
                                              const std::vector<std::string>& texts);

}  // namespace lumo::host
