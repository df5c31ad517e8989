// Small blocks: the wavefront's fill and drain cost count-1 steps of every lane, which a few
// frames do not repay. Here the sections run one after the other over the block, left and right
// side by side in one 128-bit vector (each frame in both lane pairs, so the upper pair repeats
// the lower one's arithmetic exactly and never meets other values). Included by the SIMD kernel
// files, each compiling its own copy (internal linkage) for its instruction set.
#pragma once

#include <cstdint>
#include <cstring>
#include <emmintrin.h>

#include "engine/cascade/Cascade.h"

namespace lumo::engine {
namespace {

// The sum of state words: an infinity or a NaN among them leaves it infinite or NaN (a sum of
// finite words that overflows says so too, and the caller then only looks closer).
inline __m128 Poison(__m128 poison, __m128 words) { return _mm_add_ps(poison, words); }
// True when the sum is finite in every lane: x - x is 0 for a finite x and NaN otherwise.
inline bool Unpoisoned(__m128 poison) {
    const __m128 spread = _mm_sub_ps(poison, poison);
    return _mm_movemask_ps(_mm_cmpunord_ps(spread, spread)) == 0;
}

// True when every word of the states is finite.
inline bool StatesFinite(const StereoBiquadState* states, int count) {
    __m128 poison = _mm_setzero_ps();
    for (int section = 0; section < count; ++section)
        poison = Poison(poison, _mm_loadu_ps(&states[section].left1));
    return Unpoisoned(poison);
}

// One section's coefficients and state in the lanes of a frame.
struct StereoSection {
    explicit StereoSection(const BiquadCoefficients& c, const StereoBiquadState& state)
        : b0(_mm_set1_ps(c.b0)),
          b1(_mm_set1_ps(c.b1)),
          b2(_mm_set1_ps(c.b2)),
          a1(_mm_set1_ps(c.a1)),
          a2(_mm_set1_ps(c.a2)) {
        const __m128 words = _mm_loadu_ps(&state.left1);  // left1, left2, right1, right2
        s1 = _mm_shuffle_ps(words, words, _MM_SHUFFLE(2, 0, 2, 0));
        s2 = _mm_shuffle_ps(words, words, _MM_SHUFFLE(3, 1, 3, 1));
    }
    // Stores the state and adds it to `poison` (see Poison).
    void StoreState(StereoBiquadState& state, __m128& poison) const {
        const __m128 words = _mm_unpacklo_ps(s1, s2);
        _mm_storeu_ps(&state.left1, words);
        poison = Poison(poison, words);
    }
    __m128 Step(__m128 x) {
        const __m128 y = _mm_add_ps(_mm_mul_ps(b0, x), s1);
        s1 = _mm_sub_ps(_mm_add_ps(_mm_mul_ps(b1, x), s2), _mm_mul_ps(a1, y));
        s2 = _mm_sub_ps(_mm_mul_ps(b2, x), _mm_mul_ps(a2, y));
        return y;
    }

    __m128 b0, b1, b2, a1, a2, s1, s2;
};

__m128 LoadStereoFrame(const float* frame) {
    double pair;
    std::memcpy(&pair, frame, sizeof pair);
    return _mm_castpd_ps(_mm_set1_pd(pair));
}

void StoreStereoFrame(float* frame, __m128 y) { _mm_storel_pi(reinterpret_cast<__m64*>(frame), y); }

// A block of up to 4 frames stays in registers from one section to the next, so that the chain
// through the sections carries no store and reload. The states are read from `before` and written
// to `after`, which may be the same. Every y meets a multiply and every state word left the
// finiteness sum, as FewFramesKernel promises.
template <int kFrames>
bool RunSectionsOnFrames(const BiquadCoefficients* coefficients, const StereoBiquadState* before,
                         StereoBiquadState* after, int count, float* interleaved) {
    __m128 poison = _mm_setzero_ps();
    __m128 x[kFrames];
    for (int frame = 0; frame < kFrames; ++frame)
        x[frame] = LoadStereoFrame(interleaved + 2 * frame);
    for (int section = 0; section < count; ++section) {
        StereoSection s(coefficients[section], before[section]);
        for (int frame = 0; frame < kFrames; ++frame) x[frame] = s.Step(x[frame]);
        s.StoreState(after[section], poison);
    }
    for (int frame = 0; frame < kFrames; ++frame)
        StoreStereoFrame(interleaved + 2 * frame, x[frame]);
    return Unpoisoned(poison);
}

// Two adjacent coefficients (b1, b2 or a1, a2) in lanes (first, second, first, second).
__m128 LoadCoefficientPair(const float* first) {
    double pair;
    std::memcpy(&pair, first, sizeof pair);
    return _mm_castpd_ps(_mm_set1_pd(pair));
}

// One frame, where the chain through the sections is all there is: the fewer instructions a
// section takes, the sooner the next call's can start beside it. A section's four state words
// stay in their own order (s1L, s2L, s1R, s2R) in one vector, the frame sits as (xL, xL, xR, xR):
// lanes 0 and 2 compute y = b0*x + s1, lanes 1 and 3 ride along unused (so the chain from one
// section to the next is a multiply and an add, nothing more), and the state update works on all
// four lanes with y spread over them and s2 moved down beside -0 (adding -0 changes no value,
// signed zeros included): s1 = (b1*x + s2) - a1*y and s2 = (b2*x + -0) - a2*y. The states are
// read from `before` and written to `after`, which may be the same. Every y meets a multiply and
// every state word left the finiteness sum, as FewFramesKernel promises.
__attribute__((noinline)) bool RunSectionsOnOneFrame(const BiquadCoefficients* coefficients,
                                                     const StereoBiquadState* before,
                                                     StereoBiquadState* after, int count,
                                                     float* frame) {
    __m128 poison = _mm_setzero_ps();
    const __m128 negativeZeroInOddLanes =
        _mm_castsi128_ps(_mm_set_epi32(INT32_MIN, 0, INT32_MIN, 0));
    const __m128 pair = LoadStereoFrame(frame);  // xL, xR, xL, xR
    __m128 xInEveryLane = _mm_unpacklo_ps(pair, pair);  // xL, xL, xR, xR
    __m128 x = xInEveryLane;  // lanes 0 and 2 hold the section's input
    for (int section = 0; section < count; ++section) {
        const BiquadCoefficients& c = coefficients[section];
        const __m128 state = _mm_loadu_ps(&before[section].left1);
        const __m128 y = _mm_add_ps(_mm_mul_ps(_mm_set1_ps(c.b0), x), state);
        const __m128 yInEveryLane = _mm_shuffle_ps(y, y, _MM_SHUFFLE(2, 2, 0, 0));
        const __m128 s2Down = _mm_or_ps(
            _mm_castsi128_ps(_mm_srli_epi64(_mm_castps_si128(state), 32)), negativeZeroInOddLanes);
        const __m128 next =
            _mm_sub_ps(_mm_add_ps(_mm_mul_ps(LoadCoefficientPair(&c.b1), xInEveryLane), s2Down),
                       _mm_mul_ps(LoadCoefficientPair(&c.a1), yInEveryLane));
        _mm_storeu_ps(&after[section].left1, next);
        poison = Poison(poison, next);
        x = y;
        xInEveryLane = yInEveryLane;
    }
    StoreStereoFrame(frame, _mm_shuffle_ps(x, x, _MM_SHUFFLE(2, 0, 2, 0)));
    return Unpoisoned(poison);
}

inline bool RunSectionsOnOneFrame(const BiquadCoefficients* coefficients,
                                  StereoBiquadState* states, int count, float* frame) {
    return RunSectionsOnOneFrame(coefficients, states, states, count, frame);
}

// 1 to kMaxFewFrames frames, the states from `before` to `after`.
bool RunSectionsOnFewFrames(const BiquadCoefficients* coefficients, const StereoBiquadState* before,
                            StereoBiquadState* after, int count, float* interleaved, int frames) {
    switch (frames) {
    case 1: return RunSectionsOnOneFrame(coefficients, before, after, count, interleaved);
    case 2: return RunSectionsOnFrames<2>(coefficients, before, after, count, interleaved);
    case 3: return RunSectionsOnFrames<3>(coefficients, before, after, count, interleaved);
    default: return RunSectionsOnFrames<4>(coefficients, before, after, count, interleaved);
    }
}

bool RunSectionBySection(const BiquadCoefficients* coefficients, StereoBiquadState* states,
                         int count, float* interleaved, int frames) {
    if (frames >= 1 && frames <= kMaxFewFrames)
        return RunSectionsOnFewFrames(coefficients, states, states, count, interleaved, frames);
    __m128 poison = _mm_setzero_ps();
    for (int section = 0; section < count; ++section) {
        StereoSection s(coefficients[section], states[section]);
        float* sample = interleaved;
        for (int frame = 0; frame < frames; ++frame, sample += 2)
            StoreStereoFrame(sample, s.Step(LoadStereoFrame(sample)));
        s.StoreState(states[section], poison);
    }
    return Unpoisoned(poison);
}

}  // namespace
}  // namespace lumo::engine
