// One band's stereo filter: the right channel runs on the left channel's coefficients, so a
// BandFilter is built in place and never copied or moved.
#pragma once

#include "Biquad.h"

namespace lumo {

class BandFilter {
public:
    BandFilter();
    BandFilter(const BandFilter&) = delete;
    BandFilter& operator=(const BandFilter&) = delete;

    // Runs left over the left samples and right over the right samples of n frames, in place.
    void Process(float* frames, int n);
    // Zeroes both channels' state words; the coefficients stay.
    void ResetState();
    // False once a non-finite sample (or an overflow) has reached a state word.
    bool StateIsFinite() const;

    Biquad left;   // its b and a are the band's coefficient set
    Biquad right;
};

}  // namespace lumo
