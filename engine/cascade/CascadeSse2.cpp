// The SSE2 kernel: two sections per vector. SSE2 is the baseline of both builds.
#include <cstring>
#include <emmintrin.h>

#include "engine/cascade/CascadeKernels.h"
#include "engine/cascade/Wavefront.h"

namespace lumo::engine {
namespace {

struct Sse2Ops : BlendingOps<Sse2Ops> {
    using Vec = __m128;
    using Mask = __m128;
    static constexpr int kLanes = 4;

    static Vec Load(const float* p) { return _mm_load_ps(p); }
    static void Store(float* p, Vec v) { _mm_store_ps(p, v); }
    static Vec Zero() { return _mm_setzero_ps(); }
    static Vec Set(float value) { return _mm_set1_ps(value); }
    static Vec Mul(Vec a, Vec b) { return _mm_mul_ps(a, b); }
    static Vec Add(Vec a, Vec b) { return _mm_add_ps(a, b); }
    static Vec Sub(Vec a, Vec b) { return _mm_sub_ps(a, b); }
    // Lanes up by one pair; the lowest pair comes from the top pair of `below`.
    static Vec ShiftIn(Vec below, Vec self) {
        return _mm_shuffle_ps(below, self, _MM_SHUFFLE(1, 0, 3, 2));
    }
    // The frame (left, right) in every lane pair.
    static Vec LoadFrame(const float* frame) {
        double pair;
        std::memcpy(&pair, frame, sizeof pair);
        return _mm_castpd_ps(_mm_set1_pd(pair));
    }
    static void StoreTopFrame(float* frame, Vec v) {
        _mm_storeh_pi(reinterpret_cast<__m64*>(frame), v);
    }
    static Mask AtMost(Vec a, Vec b) { return _mm_cmple_ps(a, b); }
    static Mask Within(Vec a, Vec lowest, Vec highest) {
        return _mm_and_ps(_mm_cmple_ps(lowest, a), _mm_cmple_ps(a, highest));
    }
    static Vec Select(Mask m, Vec ifSet, Vec ifClear) {
        return _mm_or_ps(_mm_and_ps(m, ifSet), _mm_andnot_ps(m, ifClear));
    }
};

// Tuned with bench/CascadeBench.cpp on a Sapphire Rapids core, natively and as the 32-bit build
// under Wine: groups of up to 8 vectors (16 sections) run as fast as larger ones and spill less.
constexpr int kMaxGroupVectors = 8;
#if defined(__x86_64__)
constexpr WavefrontFrom kWavefrontFrom{16, 80};
#else  // 32-bit code has 8 vector registers instead of 16
constexpr WavefrontFrom kWavefrontFrom{18, 128};
#endif

}  // namespace

bool CascadeSse2(const BiquadCoefficients* coefficients, StereoBiquadState* states, int count,
                 float* interleaved, int frames) {
    return RunCascade<Sse2Ops, kMaxGroupVectors>(kWavefrontFrom, coefficients, states, count,
                                          interleaved, frames);
}

bool FewFramesSse2(const BiquadCoefficients* coefficients, const StereoBiquadState* before,
                   StereoBiquadState* after, int count, float* interleaved, int frames) {
    return RunSectionsOnFewFrames(coefficients, before, after, count, interleaved, frames);
}

}  // namespace lumo::engine
