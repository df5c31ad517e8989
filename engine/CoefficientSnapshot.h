// Every band's coefficient set as the last parameter change left them, for readers on other
// threads (the response graph): what each band runs, as designed (BandDesign.h).
#pragma once

#include <cstdint>

#include "engine/BandLayout.h"
#include "engine/Biquad.h"

namespace lumo::engine {

struct CoefficientSnapshot {
    int bandCount = 0;
    // Band order, lowest centre first; identity until designed. Each band's float set
    // (DesignPeakingBand): what the band runs unless it runs in double.
    BiquadCoefficients bands[kMaxBands];
    std::uint32_t doubleBands = 0;  // bit i set: band i runs in double precision, with wide[i]
    // A double band's set; a float band's set widened (exactly its float values).
    WideBiquadCoefficients wide[kMaxBands];

    bool RunsInDouble(int band) const { return ((doubleBands >> band) & 1u) != 0; }
};

// Readers compare snapshots byte for byte (to skip redrawing an unchanged curve): no padding, so
// that every byte is a member's.
static_assert(kMaxBands <= 32, "one bit of doubleBands per band");
static_assert(sizeof(CoefficientSnapshot) ==
                  sizeof(int) + sizeof(std::uint32_t) +
                      kMaxBands * (sizeof(BiquadCoefficients) + sizeof(WideBiquadCoefficients)),
              "CoefficientSnapshot has padding");

}  // namespace lumo::engine
