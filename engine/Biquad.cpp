#include "Biquad.h"

namespace lumo {

Biquad::Biquad()
    : state1(0.0f), state2(0.0f), b{1.0f, 0.0f, 0.0f}, a{1.0f, 0.0f, 0.0f}, aInUse(a), bInUse(b) {}

void Biquad::Normalize() {
    const double r = 1.0 / static_cast<double>(a[0]);
    a[0] = 1.0f;
    a[1] = static_cast<float>(static_cast<double>(a[1]) * r);
    a[2] = static_cast<float>(static_cast<double>(a[2]) * r);
    b[0] = static_cast<float>(static_cast<double>(b[0]) * r);
    b[1] = static_cast<float>(static_cast<double>(b[1]) * r);
    b[2] = static_cast<float>(static_cast<double>(b[2]) * r);
}

bool Biquad::IsIdentity() const {
    return b[0] == 1.0f && b[1] == 0.0f && b[2] == 0.0f && a[0] == 1.0f && a[1] == 0.0f &&
           a[2] == 0.0f;
}

}  // namespace lumo
