// The portable kernel: one section after the other over the block, frame by frame, left then
// right. It is the recurrence as written, and the fallback where no SIMD path runs.
#include <cmath>

#include "engine/cascade/CascadeKernels.h"

namespace lumo::engine {

bool CascadeScalar(const BiquadCoefficients* coefficients, StereoBiquadState* states, int count,
                   float* interleaved, int frames) {
    bool finite = true;
    for (int section = 0; section < count; ++section) {
        const BiquadCoefficients c = coefficients[section];
        StereoBiquadState s = states[section];
        float* sample = interleaved;
        for (int frame = 0; frame < frames; ++frame, sample += 2) {
            const float left = sample[0];
            const float leftOut = c.b0 * left + s.left1;
            s.left1 = (c.b1 * left + s.left2) - c.a1 * leftOut;
            s.left2 = c.b2 * left - c.a2 * leftOut;
            sample[0] = leftOut;

            const float right = sample[1];
            const float rightOut = c.b0 * right + s.right1;
            s.right1 = (c.b1 * right + s.right2) - c.a1 * rightOut;
            s.right2 = c.b2 * right - c.a2 * rightOut;
            sample[1] = rightOut;
        }
        states[section] = s;
        finite = finite && std::isfinite(s.left1) && std::isfinite(s.left2) &&
                 std::isfinite(s.right1) && std::isfinite(s.right2);
    }
    return finite;
}

}  // namespace lumo::engine
