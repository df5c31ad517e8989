// A machine's parameters as every host sees them, in the order of the Buzz parameter block:
// Range, Bandwidth, then one gain per band, lowest band first. Raw values are whole steps.
#pragma once

#include "engine/RawParameters.h"
#include "product/Deliverable.h"

namespace lumo::product {

constexpr int kRangeParameter = 0;
constexpr int kBandwidthParameter = 1;
constexpr int kFirstBandParameter = 2;  // band i is parameter i + 2
constexpr int kMaxParameters = engine::kMaxBands + 2;

enum class ParameterKind {
    Range,      // dB the band ends reach, 0..32
    Bandwidth,  // every band's width in twelfths of an octave, 1..24
    BandGain,   // a band's slider, 0..128, 64 flat, the ends -Range and +Range dB
};

struct Parameter {
    ParameterKind kind;
    int band;                 // BandGain: the band; otherwise -1
    const char* name;         // "Range", "Bandwidth", "1 kHz"
    const char* description;  // "Range", "Bandwidth", "1000 Hz" (the band's centre rounded)
    int minimum;
    int maximum;
    int defaultValue;

    // The machine's rule for a raw value from a host: anything outside the range is taken as
    // the nearer end.
    int Clamp(int raw) const { return raw < minimum ? minimum : raw > maximum ? maximum : raw; }
};

int ParameterCount(const Deliverable& d);

// index 0..ParameterCount(d) - 1.
Parameter ParameterAt(const Deliverable& d, int index);

// A band's centre frequency, 1000 x 2^((band - K) x S) Hz, as the filter design computes it.
double BandCentreHz(const Deliverable& d, int band);

}  // namespace lumo::product
