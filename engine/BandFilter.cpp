#include "BandFilter.h"

#include <cmath>

namespace lumo {

BandFilter::BandFilter() {
    right.bInUse = left.b;
    right.aInUse = left.a;
}

void BandFilter::ResetState() {
    left.state1 = left.state2 = 0.0f;
    right.state1 = right.state2 = 0.0f;
}

bool BandFilter::StateIsFinite() const {
    return std::isfinite(left.state1) && std::isfinite(left.state2) &&
           std::isfinite(right.state1) && std::isfinite(right.state2);
}

namespace {

// One sample through a transposed direct form II section; s1 and s2 are the channel's state.
inline float Step(float x, float& s1, float& s2, float b0, float b1, float b2, float a1, float a2) {
    const float y = b0 * x + s1;
    s1 = (b1 * x + s2) - a1 * y;
    s2 = b2 * x - a2 * y;
    return y;
}

}  // namespace

void BandFilter::Process(float* frames, int n) {
    // Both channels share one coefficient set (right's pointers lead into left), read once.
    const float* bl = left.bInUse;
    const float* al = left.aInUse;
    const float* br = right.bInUse;
    const float* ar = right.aInUse;
    const float lb0 = bl[0], lb1 = bl[1], lb2 = bl[2], la1 = al[1], la2 = al[2];
    const float rb0 = br[0], rb1 = br[1], rb2 = br[2], ra1 = ar[1], ra2 = ar[2];
    float l1 = left.state1, l2 = left.state2;
    float r1 = right.state1, r2 = right.state2;

    // Four frames per iteration, then the rest one at a time; each channel's recurrence runs in
    // frame order either way, so the results are those of a frame-by-frame loop.
    int j = 0;
    for (; j + 4 <= n; j += 4) {
        float* f = frames + 2 * j;
        f[0] = Step(f[0], l1, l2, lb0, lb1, lb2, la1, la2);
        f[1] = Step(f[1], r1, r2, rb0, rb1, rb2, ra1, ra2);
        f[2] = Step(f[2], l1, l2, lb0, lb1, lb2, la1, la2);
        f[3] = Step(f[3], r1, r2, rb0, rb1, rb2, ra1, ra2);
        f[4] = Step(f[4], l1, l2, lb0, lb1, lb2, la1, la2);
        f[5] = Step(f[5], r1, r2, rb0, rb1, rb2, ra1, ra2);
        f[6] = Step(f[6], l1, l2, lb0, lb1, lb2, la1, la2);
        f[7] = Step(f[7], r1, r2, rb0, rb1, rb2, ra1, ra2);
    }
    for (; j < n; ++j) {
        float* f = frames + 2 * j;
        f[0] = Step(f[0], l1, l2, lb0, lb1, lb2, la1, la2);
        f[1] = Step(f[1], r1, r2, rb0, rb1, rb2, ra1, ra2);
    }

    left.state1 = l1;
    left.state2 = l2;
    right.state1 = r1;
    right.state2 = r2;
}

}  // namespace lumo
