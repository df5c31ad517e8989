// The equaliser's parameters as raw values: a slider per band, a global Range and Bandwidth.
#pragma once

#include "engine/ParameterScale.h"

namespace lumo::engine {

// Band sliders: 64 is 0 dB, the ends reach -Range and +Range dB.
constexpr int kSliderMinimum = 0;
constexpr int kSliderMaximum = 128;
constexpr int kSliderCentre = 64;

// Range: the boost and cut in dB that the slider ends reach.
constexpr int kRangeMinimumDb = 0;
constexpr int kRangeMaximumDb = 32;
constexpr int kRangeDefaultDb = 16;

// Bandwidth of every band, in twelfths of an octave (1/12 to 2 octaves).
constexpr int kBandwidthMinimumTwelfths = 1;
constexpr int kBandwidthMaximumTwelfths = 24;
constexpr double kBandwidthMinimumOctaves = 0.08333333333333333;
constexpr double kBandwidthMaximumOctaves = 2.0;

// Gain scale before the first Range arrives.
constexpr double kInitialGainSpanDb = 16.0;

// The band sliders onto -Range..+Range dB.
constexpr ParameterScale GainScaleFor(double rangeDb) {
    return {kSliderMinimum, kSliderMaximum, -rangeDb, rangeDb};
}
// Range's raw value is its value in dB.
constexpr ParameterScale kRangeScale{kRangeMinimumDb, kRangeMaximumDb, kRangeMinimumDb,
                                     kRangeMaximumDb};
constexpr ParameterScale kBandwidthScale{kBandwidthMinimumTwelfths, kBandwidthMaximumTwelfths,
                                         kBandwidthMinimumOctaves, kBandwidthMaximumOctaves};

}  // namespace lumo::engine
