// The path of a band that runs in double precision (DesignBandToRun): one stereo section over
// interleaved float frames in place, outside the float cascade.
#pragma once

#include "engine/Biquad.h"

namespace lumo::engine {

// The section's transposed direct form II state words (s1, s2) for each channel, in double.
struct WideStereoState {
    double left1, left2, right1, right2;
};

// Frame by frame, left and right alike: x is the float sample widened to double, then, in
// doubles exactly as written (no fused multiply-add),
//   y = b0*x + s1;  s1 = (b1*x + s2) - a1*y;  s2 = b2*x - a2*y;
// and the sample becomes y rounded to float. The caller's MXCSR applies.
void RunWideBand(const WideBiquadCoefficients& coefficients, WideStereoState& state,
                 float* interleaved, int frames);

}  // namespace lumo::engine
