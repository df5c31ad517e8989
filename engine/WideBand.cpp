// Both channels side by side in the two lanes of one SSE2 vector of doubles (SSE2 is the baseline
// of both builds): each lane computes the recurrence exactly as the scalar code would.
#include "engine/WideBand.h"

#include <emmintrin.h>

#include <cstring>

namespace lumo::engine {

void RunWideBand(const WideBiquadCoefficients& c, WideStereoState& state, float* interleaved,
                 int frames) {
    const __m128d b0 = _mm_set1_pd(c.b0), b1 = _mm_set1_pd(c.b1), b2 = _mm_set1_pd(c.b2);
    const __m128d a1 = _mm_set1_pd(c.a1), a2 = _mm_set1_pd(c.a2);
    __m128d s1 = _mm_set_pd(state.right1, state.left1);  // lane 0 left, lane 1 right
    __m128d s2 = _mm_set_pd(state.right2, state.left2);
    float* sample = interleaved;
    for (int frame = 0; frame < frames; ++frame, sample += 2) {
        double pair;
        std::memcpy(&pair, sample, sizeof pair);
        const __m128d x = _mm_cvtps_pd(_mm_castpd_ps(_mm_set_sd(pair)));
        const __m128d y = _mm_add_pd(_mm_mul_pd(b0, x), s1);
        s1 = _mm_sub_pd(_mm_add_pd(_mm_mul_pd(b1, x), s2), _mm_mul_pd(a1, y));
        s2 = _mm_sub_pd(_mm_mul_pd(b2, x), _mm_mul_pd(a2, y));
        _mm_storel_pi(reinterpret_cast<__m64*>(sample), _mm_cvtpd_ps(y));
    }
    _mm_storel_pd(&state.left1, s1);
    _mm_storeh_pd(&state.right1, s1);
    _mm_storel_pd(&state.left2, s2);
    _mm_storeh_pd(&state.right2, s2);
}

}  // namespace lumo::engine
