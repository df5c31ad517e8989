// Tarvo Lumo-20: band layout and names. Everything else is shared by the three deliverables.
#pragma once

namespace lumo::layout {

constexpr int kBandCount = 20;
constexpr int kOneKilohertzBand = 11;
constexpr double kBandSpacingOctaves = 0.5;
constexpr int kDefaultBandwidth = 12;  // twelfths of an octave: twice the band spacing
constexpr const char* kFullName = "Tarvo Lumo-20";
constexpr const char* kShortName = "Lumo-20";
constexpr const char* kWindowClassName = "TarvoLumo20WndClassName";

// Per band, lowest first: the nominal frequency (parameter name) and the true centre (description).
extern const char* const kBandNames[kBandCount];
extern const char* const kBandDescriptions[kBandCount];

}  // namespace lumo::layout
