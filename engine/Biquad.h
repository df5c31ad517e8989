// One band's coefficient set, normalised so that a0 = 1: b0 + b1 z^-1 + b2 z^-2 over
// 1 + a1 z^-1 + a2 z^-2, in floats. A new set is the identity filter. The design makes it, the
// cascade runs it (both channels of a band alike) and the graph evaluates it, all in this form.
#pragma once

namespace lumo::engine {

struct BiquadCoefficients {
    float b0 = 1.0f, b1 = 0.0f, b2 = 0.0f, a1 = 0.0f, a2 = 0.0f;

    // True when the filter passes its input unchanged.
    bool IsIdentity() const {
        return b0 == 1.0f && b1 == 0.0f && b2 == 0.0f && a1 == 0.0f && a2 == 0.0f;
    }
};

// The same form in doubles, for a band whose float design misses its response and that runs in
// double precision instead (BandDesign.h). A new set is the identity filter.
struct WideBiquadCoefficients {
    double b0 = 1.0, b1 = 0.0, b2 = 0.0, a1 = 0.0, a2 = 0.0;
};

}  // namespace lumo::engine
