// One band's designed coefficient set: b0 + b1 z^-1 + b2 z^-2 over a0 + a1 z^-1 + a2 z^-2, stored
// as floats. A new set is the identity filter; both channels of a band run with it.
#pragma once

namespace lumo::engine {

struct Biquad {
    float b[3] = {1.0f, 0.0f, 0.0f};  // b0, b1, b2
    float a[3] = {1.0f, 0.0f, 0.0f};  // a0, a1, a2

    // Divides the six coefficients by a0 (in double, each rounded back to float); a0 becomes 1.
    void Normalize() {
        const double r = 1.0 / static_cast<double>(a[0]);
        a[0] = 1.0f;
        a[1] = static_cast<float>(static_cast<double>(a[1]) * r);
        a[2] = static_cast<float>(static_cast<double>(a[2]) * r);
        b[0] = static_cast<float>(static_cast<double>(b[0]) * r);
        b[1] = static_cast<float>(static_cast<double>(b[1]) * r);
        b[2] = static_cast<float>(static_cast<double>(b[2]) * r);
    }
    // True when the filter passes its input unchanged.
    bool IsIdentity() const {
        return b[0] == 1.0f && b[1] == 0.0f && b[2] == 0.0f && a[0] == 1.0f && a[1] == 0.0f &&
               a[2] == 0.0f;
    }
};

}  // namespace lumo::engine
