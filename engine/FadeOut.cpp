#include "FadeOut.h"

namespace lumo::engine {

namespace {
inline float RampGain(int counter, float inverseLength) {
    return static_cast<float>(counter > 0 ? counter : 0) * inverseLength;
}
}  // namespace

void FadeOut(float* frames, int n, int& counter, int fadeLength) {
    if (counter >= fadeLength) {
        counter -= n;
        return;
    }
    const float inverseLength = 1.0f / static_cast<float>(fadeLength);
    int c = counter;
    int j = 0;
    for (; j + 4 <= n; j += 4, c -= 4) {
        float* f = frames + 2 * j;
        const float g0 = RampGain(c, inverseLength);
        const float g1 = RampGain(c - 1, inverseLength);
        const float g2 = RampGain(c - 2, inverseLength);
        const float g3 = RampGain(c - 3, inverseLength);
        f[0] *= g0; f[1] *= g0;
        f[2] *= g1; f[3] *= g1;
        f[4] *= g2; f[5] *= g2;
        f[6] *= g3; f[7] *= g3;
    }
    for (; j < n; ++j, --c) {
        const float g = RampGain(c, inverseLength);
        frames[2 * j] *= g;
        frames[2 * j + 1] *= g;
    }
    counter = c;
}

}  // namespace lumo::engine
