// Peaking (bell) biquad design for one band at its fixed centre, in double precision.
#pragma once

#include "engine/BandLayout.h"
#include "engine/Biquad.h"

namespace lumo::engine {

// The normalised coefficient set of `band` for a gain in dB and a bandwidth in octaves at this
// sample rate. A band whose centre lies at or above half the sample rate, or whose float
// coefficients would put a pole on or outside the unit circle, is the identity filter.
BiquadCoefficients DesignPeakingBand(const BandLayout& layout, int band, int sampleRateHz,
                                     double gainDb, double bandwidthOctaves);

}  // namespace lumo::engine
