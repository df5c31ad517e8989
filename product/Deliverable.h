// What makes one machine of the family: its names, band layout and band names. Each deliverables/
// entry defines one, checked when it is compiled; product/Deliverables.h lists them.
#pragma once

#include <array>
#include <cstddef>

#include "engine/BandLayout.h"

namespace lumo::product {

struct Deliverable {
    const char* fullName;         // "Tarvo Lumo-31": what every host shows
    const char* shortName;        // "Lumo-31"
    const char* windowClassName;  // of the graph window, one per deliverable
    engine::BandLayout layout;
    int defaultBandwidthTwelfths;         // twice the band spacing, derived from it
    const char* const* bandNames;         // nominal frequency, the parameter name ("1 kHz")
    const char* const* bandDescriptions;  // true centre rounded, the parameter description
};

// The default Bandwidth spans two band spacings, in the nearest whole twelfths of an octave.
constexpr int DefaultBandwidthTwelfths(double spacingOctaves) {
    return static_cast<int>(2.0 * spacingOctaves * 12.0 + 0.5);
}

// A deliverable as its entry writes it down: one name and description per band.
template <std::size_t Bands>
struct DeliverableDefinition {
    const char* fullName;
    const char* shortName;
    const char* windowClassName;
    int oneKilohertzBand;
    double spacingOctaves;
    std::array<const char*, Bands> bandNames;
    std::array<const char*, Bands> bandDescriptions;

    Deliverable View() const {
        return {fullName,
                shortName,
                windowClassName,
                {static_cast<int>(Bands), oneKilohertzBand, spacingOctaves},
                DefaultBandwidthTwelfths(spacingOctaves),
                bandNames.data(),
                bandDescriptions.data()};
    }
};

namespace checks {

constexpr bool SameText(const char* a, const char* b) {
    if (a == nullptr || b == nullptr) return false;
    while (*a != '\0' && *a == *b) ++a, ++b;
    return *a == *b;
}

template <std::size_t Bands>
constexpr bool AllGiven(const std::array<const char*, Bands>& texts) {
    for (const char* text : texts)
        if (text == nullptr || *text == '\0') return false;
    return true;
}

}  // namespace checks

// Instantiating this refuses an incomplete or inconsistent deliverable at compile time.
template <const auto& D>
struct VerifiedDeliverable {
    static_assert(D.bandNames.size() >= 1 && D.bandNames.size() <= engine::kMaxBands - 1,
                  "band count out of range");
    static_assert(checks::AllGiven(D.bandNames), "every band needs a name");
    static_assert(checks::AllGiven(D.bandDescriptions), "every band needs a description");
    static_assert(D.oneKilohertzBand >= 0 &&
                      D.oneKilohertzBand < static_cast<int>(D.bandNames.size()),
                  "the 1 kHz band must be one of the bands");
    static_assert(checks::SameText(D.bandNames[D.oneKilohertzBand], "1 kHz"),
                  "the band at the 1 kHz index must be named \"1 kHz\"");
    static_assert(D.fullName != nullptr && D.shortName != nullptr && D.windowClassName != nullptr,
                  "names missing");
    static constexpr bool kVerified = true;
};

}  // namespace lumo::product
