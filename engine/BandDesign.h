// Peaking (bell) biquad design for one band at its fixed centre, in double precision, and the
// rule that decides whether the band runs in floats or in doubles.
#pragma once

#include "engine/BandLayout.h"
#include "engine/Biquad.h"

namespace lumo::engine {

// The normalised float coefficient set of `band` for a gain in dB and a bandwidth in octaves at
// this sample rate. A band whose centre lies at or above half the sample rate, or whose float
// coefficients would put a pole on or outside the unit circle, is the identity filter.
BiquadCoefficients DesignPeakingBand(const BandLayout& layout, int band, int sampleRateHz,
                                     double gainDb, double bandwidthOctaves);

// What a band runs.
struct BandDesign {
    bool runsInDouble = false;
    BiquadCoefficients single;    // DesignPeakingBand's set: what the band runs unless runsInDouble
    WideBiquadCoefficients wide;  // runsInDouble: what the band runs; otherwise `single`, widened
};

// DesignPeakingBand, kept where its float set gives the band's response, else the same design
// in double precision (the rule is written out at the definition).
BandDesign DesignBandToRun(const BandLayout& layout, int band, int sampleRateHz, double gainDb,
                           double bandwidthOctaves);

}  // namespace lumo::engine
