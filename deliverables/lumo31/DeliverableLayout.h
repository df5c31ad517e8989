// Tarvo Lumo-31: band layout and names. Everything else is shared by the three deliverables.
#pragma once

namespace lumo::layout {

constexpr int kBandCount = 31;
constexpr int kOneKilohertzBand = 17;
constexpr double kBandSpacingOctaves = 0.3333333333333333;
constexpr int kDefaultBandwidth = 8;  // twelfths of an octave: twice the band spacing
constexpr const char* kFullName = "Tarvo Lumo-31";
constexpr const char* kShortName = "Lumo-31";
constexpr const char* kWindowClassName = "TarvoLumo31WndClassName";

// Per band, lowest first: the nominal frequency (parameter name) and the true centre (description).
extern const char* const kBandNames[kBandCount];
extern const char* const kBandDescriptions[kBandCount];

}  // namespace lumo::layout
