#pragma once

namespace lumo {

// x: 0 at 20 Hz to 1 at 20 kHz on a logarithmic axis; y: response in dB divided by 30.
struct CurvePoint {
    float x;
    float y;
};

constexpr int kCurveSlots = 152;
constexpr int kCurvePointCount = 121;

}  // namespace lumo
