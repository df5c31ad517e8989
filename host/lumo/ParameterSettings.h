// lumo's parameter settings given as text ("Range=12", "Bandwidth=8", "1 kHz=96", "1 kHz=+6dB",
// "5=70", "1kHz=+6dB", "Bandwidth=1/3oct"): what the Tarvo Lumo machines' parameters mean to
// the people who type them.
#pragma once

#include <string>
#include <vector>

#include "lumo/host/PluginLibrary.h"

namespace lumo::cli {

struct ParameterSetting {
    int index;
    int raw;
    std::string note;  // what a dB or octave value was turned into; empty for raw values
};

// Resolves "NAME=VALUE" texts against a machine description. NAME is a parameter name (without
// regard to case), an index, or a band's frequency as people type it ("1kHz", "1k", "1000 Hz",
// "1000Hz"; matched against the band names, then the centres in the descriptions). VALUE, for a
// Tarvo Lumo machine, is what product/ValueParsing.h reads (a raw value, a band's gain in dB at
// the Range given among the settings or else its default, a Bandwidth in octaves), for another
// machine a raw value. Range is resolved first, whatever the order. Throws host::HostError on a
// bad name, a malformed or out-of-range value.
std::vector<ParameterSetting> ResolveSettings(const abi::MachineDescription& description,
                                              const std::vector<std::string>& texts);

// True for the band gain parameters (every parameter but Range and Bandwidth).
bool IsBandParameter(const abi::MachineDescription& description, int index);

// A band's centre as its description gives it ("1000 Hz", "19.7 Hz"); 0 when there is none.
double BandCentreHz(const abi::ParameterRecord& record);

// The slider value of a band at 0 dB (the middle of its range).
int FlatSlider(const abi::ParameterRecord& record);

}  // namespace lumo::cli
