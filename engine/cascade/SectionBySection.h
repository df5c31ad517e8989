// Small blocks: the wavefront's fill and drain cost count-1 steps of every lane, which a few
// frames do not repay. Here the sections run one after the other over the block, left and right
// side by side in one 128-bit vector (each frame in both lane pairs, so the upper pair repeats
// the lower one's arithmetic exactly and never meets other values). Included by the SIMD kernel
// files, each compiling its own copy (internal linkage) for its instruction set.
#pragma once

#include <cstring>
#include <emmintrin.h>

#include "engine/cascade/Cascade.h"

namespace lumo::engine {
namespace {

void RunSectionBySection(const BiquadCoefficients* coefficients, StereoBiquadState* states,
                         int count, float* interleaved, int frames) {
    for (int section = 0; section < count; ++section) {
        const BiquadCoefficients& c = coefficients[section];
        const __m128 b0 = _mm_set1_ps(c.b0), b1 = _mm_set1_ps(c.b1), b2 = _mm_set1_ps(c.b2);
        const __m128 a1 = _mm_set1_ps(c.a1), a2 = _mm_set1_ps(c.a2);
        float* state = &states[section].left1;
        const __m128 words = _mm_loadu_ps(state);  // left1, left2, right1, right2
        __m128 s1 = _mm_shuffle_ps(words, words, _MM_SHUFFLE(2, 0, 2, 0));
        __m128 s2 = _mm_shuffle_ps(words, words, _MM_SHUFFLE(3, 1, 3, 1));
        float* sample = interleaved;
        for (int frame = 0; frame < frames; ++frame, sample += 2) {
            double pair;
            std::memcpy(&pair, sample, sizeof pair);
            const __m128 x = _mm_castpd_ps(_mm_set1_pd(pair));
            const __m128 y = _mm_add_ps(_mm_mul_ps(b0, x), s1);
            s1 = _mm_sub_ps(_mm_add_ps(_mm_mul_ps(b1, x), s2), _mm_mul_ps(a1, y));
            s2 = _mm_sub_ps(_mm_mul_ps(b2, x), _mm_mul_ps(a2, y));
            _mm_storel_pi(reinterpret_cast<__m64*>(sample), y);
        }
        _mm_storeu_ps(state, _mm_unpacklo_ps(s1, s2));
    }
}

}  // namespace
}  // namespace lumo::engine
