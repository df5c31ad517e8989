#include "engine/StereoCascade.h"

namespace lumo::engine {

void RunCascade(const BiquadCoefficients* coefficients, StereoBiquadState* states, int count,
                float* interleaved, int frames) {
    for (int section = 0; section < count; ++section) {
        const BiquadCoefficients c = coefficients[section];
        StereoBiquadState s = states[section];
        for (int j = 0; j < frames; ++j) {
            float* f = interleaved + 2 * j;
            const float xl = f[0];
            const float yl = c.b0 * xl + s.left1;
            s.left1 = (c.b1 * xl + s.left2) - c.a1 * yl;
            s.left2 = c.b2 * xl - c.a2 * yl;
            f[0] = yl;
            const float xr = f[1];
            const float yr = c.b0 * xr + s.right1;
            s.right1 = (c.b1 * xr + s.right2) - c.a1 * yr;
            s.right2 = c.b2 * xr - c.a2 * yr;
            f[1] = yr;
        }
        states[section] = s;
    }
}

}  // namespace lumo::engine
