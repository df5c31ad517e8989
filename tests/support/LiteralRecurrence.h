// The literal recurrence that every cascade kernel must reproduce bit for bit, for the tests and
// the benchmarks: band after band over the whole block, frame after frame, left then right, in
// 32-bit floats. Every build compiles with -ffp-contract=off, so no multiply and add fuse.
#pragma once

#include "engine/Biquad.h"
#include "engine/cascade/Cascade.h"

namespace lumo::test {

// One sample through one band: y = b0*x + s1; s1 = (b1*x + s2) - a1*y; s2 = b2*x - a2*y.
inline float LiteralBiquadStep(const engine::BiquadCoefficients& c, float& s1, float& s2, float x) {
    const float y = c.b0 * x + s1;
    s1 = (c.b1 * x + s2) - c.a1 * y;
    s2 = c.b2 * x - c.a2 * y;
    return y;
}

// The arguments of an engine::CascadeKernel: `count` bands in series over `frames` interleaved
// stereo frames, in place, states updated. Never inlined, so that none of its float operations
// moves across a caller's change of MXCSR (flush-to-zero, denormals-are-zero).
__attribute__((noinline)) inline void RunLiteralRecurrence(
    const engine::BiquadCoefficients* coefficients, engine::StereoBiquadState* states, int count,
    float* interleaved, int frames) {
    for (int band = 0; band < count; ++band) {
        const engine::BiquadCoefficients& c = coefficients[band];
        engine::StereoBiquadState& s = states[band];
        for (int frame = 0; frame < frames; ++frame) {
            float* sample = interleaved + 2 * frame;
            sample[0] = LiteralBiquadStep(c, s.left1, s.left2, sample[0]);
            sample[1] = LiteralBiquadStep(c, s.right1, s.right2, sample[1]);
        }
    }
}

}  // namespace lumo::test
