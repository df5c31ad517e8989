// The AVX-512F kernel: eight sections per vector. Everything but the exported entry is compiled
// for AVX-512F (its fused multiply-adds are never asked for: the build forbids contraction and
// the code uses separate multiplies and adds); the entry is baseline code, so it can be linked
// anywhere and is called only after dispatch.
#include <cstddef>
#include <cstdint>
#include <cstring>
// GCC 12 flags the deliberately undefined vectors that some AVX-512 intrinsics start from.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <immintrin.h>
#pragma GCC diagnostic pop

#include "engine/cascade/CascadeKernels.h"

#pragma GCC push_options
#pragma GCC target("avx512f")

#include "engine/cascade/Wavefront.h"

namespace lumo::engine {
namespace {

struct Avx512Ops {
    using Vec = __m512;
    using Mask = __mmask16;
    static constexpr int kLanes = 16;

    static Vec Load(const float* p) { return _mm512_load_ps(p); }
    static void Store(float* p, Vec v) { _mm512_store_ps(p, v); }
    static Vec Zero() { return _mm512_setzero_ps(); }
    static Vec Set(float value) { return _mm512_set1_ps(value); }
    static Vec Mul(Vec a, Vec b) { return _mm512_mul_ps(a, b); }
    static Vec Add(Vec a, Vec b) { return _mm512_add_ps(a, b); }
    static Vec Sub(Vec a, Vec b) { return _mm512_sub_ps(a, b); }
    // Lanes up by one pair; the lowest pair comes from the top pair of `below`.
    static Vec ShiftIn(Vec below, Vec self) {
        return _mm512_castsi512_ps(
            _mm512_alignr_epi32(_mm512_castps_si512(self), _mm512_castps_si512(below), 14));
    }
    // The frame (left, right) in every lane pair.
    static Vec LoadFrame(const float* frame) {
        double pair;
        std::memcpy(&pair, frame, sizeof pair);
        return _mm512_castpd_ps(_mm512_set1_pd(pair));
    }
    // Pads go on top: the input needs no select, and the output leaves by a masked store.
    static constexpr bool kPadsOnTop = true;
    static Mask PairLanes(int pair) { return static_cast<Mask>(3u << (2 * pair)); }
    // Lane pair `pair` of v (its lanes) to the frame: a store of the whole vector placed so that
    // the pair lands on the frame, writing only those two lanes.
    static void StorePair(float* frame, int pair, Mask lanes, Vec v) {
        const std::uintptr_t at = reinterpret_cast<std::uintptr_t>(frame) - 2 * sizeof(float) * pair;
        _mm512_mask_storeu_ps(reinterpret_cast<void*>(at), lanes, v);
    }
    static Mask AtMost(Vec a, Vec b) { return _mm512_cmp_ps_mask(a, b, _CMP_LE_OQ); }
    static Mask Within(Vec a, Vec lowest, Vec highest) {
        return _mm512_mask_cmp_ps_mask(_mm512_cmp_ps_mask(lowest, a, _CMP_LE_OQ), a, highest,
                                       _CMP_LE_OQ);
    }
    static Vec Select(Mask m, Vec ifSet, Vec ifClear) {
        return _mm512_mask_blend_ps(m, ifClear, ifSet);
    }
    static Vec SubWhere(Mask m, Vec old, Vec a, Vec b) { return _mm512_mask_sub_ps(old, m, a, b); }
};

// Tuned with bench/CascadeBench.cpp on a Sapphire Rapids core, natively and as the 32-bit build
// under Wine: every cascade (at most 4 vectors) runs as one group.
constexpr int kMaxGroupVectors = 4;
#if defined(__x86_64__)
constexpr WavefrontFrom kWavefrontFrom{8, 128};
#else  // 32-bit code has 8 vector registers instead of 32
constexpr WavefrontFrom kWavefrontFrom{12, 128};
#endif

bool Run(const BiquadCoefficients* coefficients, StereoBiquadState* states, int count,
         float* interleaved, int frames) {
    return RunCascade<Avx512Ops, kMaxGroupVectors>(kWavefrontFrom, coefficients, states, count,
                                            interleaved, frames);
}

}  // namespace
}  // namespace lumo::engine

#pragma GCC pop_options

namespace lumo::engine {

bool CascadeAvx512(const BiquadCoefficients* coefficients, StereoBiquadState* states, int count,
                   float* interleaved, int frames) {
    return Run(coefficients, states, count, interleaved, frames);
}

}  // namespace lumo::engine
