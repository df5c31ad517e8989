// lumo's parameter settings given as text ("Range=12", "Bandwidth=8", "1 kHz=96", "1 kHz=+6dB",
// "5=70", "1kHz=+6dB", "Bandwidth=1/3oct"): what the Tarvo Lumo machines' parameters mean to
// the people who type them.
#pragma once

#include <string>
#include <vector>

#include "lumo/host/PluginLibrary.h"

namespace lumo::cli {

// Bandwidth's raw value counts twelfths of an octave (1..24: 1/12 to 2 octaves).
constexpr int kBandwidthStepsPerOctave = 12;

struct ParameterSetting {
    int index;
    int raw;
    std::string note;  // what a dB or octave value was turned into; empty for raw values
};

// Resolves "NAME=VALUE" texts against a machine description. NAME is a parameter name (without
// regard to case), an index, or a band's frequency as people type it ("1kHz", "1k", "1000 Hz",
// "1000Hz"; matched against the band names, then the centres in the descriptions). VALUE is a
// raw value within the record's minimum..maximum; for band parameters it may also be a gain in
// dB ("+6dB", "-3.5 dB"), which picks the nearest slider value for the Range in force (the Range
// given among the settings, else its default); for Bandwidth a width in octaves ("0.67oct",
// "1/3 oct", "2 octaves"), which picks the nearest step. The note tells which. Range is resolved
// first, whatever the order. Throws host::HostError on a bad name, a malformed or out-of-range value.
std::vector<ParameterSetting> ResolveSettings(const abi::MachineDescription& description,
                                              const std::vector<std::string>& texts);

// True for the band gain parameters (every parameter but Range and Bandwidth).
bool IsBandParameter(const abi::MachineDescription& description, int index);

// A band's centre as its description gives it ("1000 Hz", "19.7 Hz"); 0 when there is none.
double BandCentreHz(const abi::ParameterRecord& record);

// The slider value of a band at 0 dB (the middle of its range).
int FlatSlider(const abi::ParameterRecord& record);

}  // namespace lumo::cli
