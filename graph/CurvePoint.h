// One point of the response curve, in the units the painter maps onto its grid.
#pragma once

namespace lumo::graph {

// x: 0 at 20 Hz to 1 at 20 kHz on a logarithmic axis (frequency 20 x 1000^x Hz);
// y: the combined response in dB divided by 30 (1 is +30 dB), not limited to -1..1.
struct CurvePoint {
    float x;
    float y;
};

// Slot 0 is the start anchor (0, 0), slots 1..n the n curve points, slot n + 1 the end anchor
// (1, 0): together a polygon closed onto the 0 dB line.
constexpr int kCurvePointCount = 121;
constexpr int kCurveSlots = kCurvePointCount + 2;

struct Curve {
    CurvePoint slots[kCurveSlots] = {};
};

}  // namespace lumo::graph
