// The AVX2 kernel: four sections per vector. Everything but the exported entry is compiled for
// AVX2 (without FMA: the recurrence's roundings stay those of separate multiplies and adds); the
// entry is baseline code, so it can be linked anywhere and is called only after dispatch.
#include <cstddef>
#include <cstring>
#include <immintrin.h>

#include "engine/cascade/CascadeKernels.h"

#pragma GCC push_options
#pragma GCC target("avx2")

#include "engine/cascade/Wavefront.h"

namespace lumo::engine {
namespace {

struct Avx2Ops : BlendingOps<Avx2Ops> {
    using Vec = __m256;
    using Mask = __m256;
    static constexpr int kLanes = 8;

    static Vec Load(const float* p) { return _mm256_load_ps(p); }
    static void Store(float* p, Vec v) { _mm256_store_ps(p, v); }
    static Vec Zero() { return _mm256_setzero_ps(); }
    static Vec Set(float value) { return _mm256_set1_ps(value); }
    static Vec Mul(Vec a, Vec b) { return _mm256_mul_ps(a, b); }
    static Vec Add(Vec a, Vec b) { return _mm256_add_ps(a, b); }
    static Vec Sub(Vec a, Vec b) { return _mm256_sub_ps(a, b); }
    // Lanes up by one pair; the lowest pair comes from the top pair of `below`.
    static Vec ShiftIn(Vec below, Vec self) {
        const Vec straddle = _mm256_permute2f128_ps(below, self, 0x21);  // below.hi, self.lo
        return _mm256_shuffle_ps(straddle, self, _MM_SHUFFLE(1, 0, 3, 2));
    }
    // The frame (left, right) in every lane pair.
    static Vec LoadFrame(const float* frame) {
        double pair;
        std::memcpy(&pair, frame, sizeof pair);
        return _mm256_castpd_ps(_mm256_set1_pd(pair));
    }
    static void StoreTopFrame(float* frame, Vec v) {
        _mm_storeh_pi(reinterpret_cast<__m64*>(frame), _mm256_extractf128_ps(v, 1));
    }
    static Mask AtMost(Vec a, Vec b) { return _mm256_cmp_ps(a, b, _CMP_LE_OQ); }
    static Mask Within(Vec a, Vec lowest, Vec highest) {
        return _mm256_and_ps(_mm256_cmp_ps(lowest, a, _CMP_LE_OQ),
                             _mm256_cmp_ps(a, highest, _CMP_LE_OQ));
    }
    static Vec Select(Mask m, Vec ifSet, Vec ifClear) {
        return _mm256_blendv_ps(ifClear, ifSet, m);
    }
};

// Tuned with bench/CascadeBench.cpp on a Sapphire Rapids core, natively and as the 32-bit build
// under Wine: up to 5 vectors (20 sections) in one group; 31 sections run faster as two groups
// of 4 vectors than as one of 8, whose state no longer fits the registers.
constexpr int kMaxGroupVectors = 5;
#if defined(__x86_64__)
constexpr WavefrontFrom kWavefrontFrom{12, 112};
#else  // 32-bit code has 8 vector registers instead of 16
constexpr WavefrontFrom kWavefrontFrom{16, 128};
#endif

bool Run(const BiquadCoefficients* coefficients, StereoBiquadState* states, int count,
         float* interleaved, int frames) {
    return RunCascade<Avx2Ops, kMaxGroupVectors>(kWavefrontFrom, coefficients, states, count,
                                          interleaved, frames);
}

bool RunFewFramesApart(const BiquadCoefficients* coefficients, const StereoBiquadState* before,
                       StereoBiquadState* after, int count, float* interleaved, int frames) {
    return RunSectionsOnFewFrames(coefficients, before, after, count, interleaved, frames);
}

}  // namespace
}  // namespace lumo::engine

#pragma GCC pop_options

namespace lumo::engine {

bool CascadeAvx2(const BiquadCoefficients* coefficients, StereoBiquadState* states, int count,
                 float* interleaved, int frames) {
    return Run(coefficients, states, count, interleaved, frames);
}

bool FewFramesAvx2(const BiquadCoefficients* coefficients, const StereoBiquadState* before,
                   StereoBiquadState* after, int count, float* interleaved, int frames) {
    return RunFewFramesApart(coefficients, before, after, count, interleaved, frames);
}

}  // namespace lumo::engine
