// One channel's second-order section, transposed direct form II in 32-bit floats.
#pragma once

namespace lumo {

class Biquad {
public:
    Biquad();
    // Divides the channel's own six coefficients by a0; a0 becomes 1.
    virtual void Normalize();
    // True for b = (1, 0, 0), a = (1, 0, 0): the filter passes its input unchanged.
    bool IsIdentity() const;

    float state1;
    float state2;
    float b[3];           // b0, b1, b2
    float a[3];           // a0, a1, a2
    const float* aInUse;  // the denominator this channel runs with
    const float* bInUse;  // the numerator this channel runs with

    Biquad(const Biquad&) = delete;
    Biquad& operator=(const Biquad&) = delete;
};

}  // namespace lumo
