// Runs the running bands' stereo biquads one after another over a block of interleaved frames.
#pragma once

namespace lumo::engine {

struct BiquadCoefficients {
    float b0, b1, b2, a1, a2;  // normalised: a0 = 1
};

struct StereoBiquadState {
    float left1, left2, right1, right2;  // s1 and s2 of each channel
};

// count sections in series over `frames` interleaved stereo frames in place, section 0 first.
// For each section and frame, left then right, in 32-bit floats (transposed direct form II):
//   y = b0 x + s1;  s1 = (b1 x + s2) - a1 y;  s2 = b2 x - a2 y.
void RunCascade(const BiquadCoefficients* coefficients, StereoBiquadState* states, int count,
                float* interleaved, int frames);

}  // namespace lumo::engine
