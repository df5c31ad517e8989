// Tarvo Lumo-15: band layout and names. Everything else is shared by the three deliverables.
#pragma once

namespace lumo::layout {

constexpr int kBandCount = 15;
constexpr int kOneKilohertzBand = 8;
constexpr double kBandSpacingOctaves = 0.6666666666666666;
constexpr int kDefaultBandwidth = 16;  // twelfths of an octave: twice the band spacing
constexpr const char* kFullName = "Tarvo Lumo-15";
constexpr const char* kShortName = "Lumo-15";
constexpr const char* kWindowClassName = "TarvoLumo15WndClassName";

// Per band, lowest first: the nominal frequency (parameter name) and the true centre (description).
extern const char* const kBandNames[kBandCount];
extern const char* const kBandDescriptions[kBandCount];

}  // namespace lumo::layout
