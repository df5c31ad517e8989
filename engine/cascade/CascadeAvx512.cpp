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
    // Pads on top, the sections into their lane pairs and back by masked loads, permutes and
    // masked stores with no table in memory, edge masks from a table (see Wavefront.h).
    static constexpr bool kHasMaskRegisters = true;
    static __mmask16 FirstLanes(int n) {
        return n <= 0 ? 0 : n >= 16 ? 0xFFFF : static_cast<__mmask16>((1u << n) - 1);
    }
    // Up to eight sections' coefficients as they lie in memory (5 floats each), zero beyond.
    struct SectionsLoaded {
        Vec low, middle, high;  // floats 0-15, 16-31, 32-39
    };
    static SectionsLoaded LoadSections(const BiquadCoefficients* first, int sections) {
        const float* p = &first->b0;
        const int floats = 5 * sections;
        return {_mm512_maskz_loadu_ps(FirstLanes(floats), p),
                _mm512_maskz_loadu_ps(FirstLanes(floats - 16), p + 16),
                _mm512_maskz_loadu_ps(FirstLanes(floats - 32), p + 32)};
    }
    // Coefficient `which` (b0, b1, b2, a1, a2) of section j/2 in lane j: float 5*(j/2) + which.
    static Vec CoefficientLanes(const SectionsLoaded& s, int which) {
        const __m512i index = _mm512_add_epi32(
            _mm512_set_epi32(35, 35, 30, 30, 25, 25, 20, 20, 15, 15, 10, 10, 5, 5, 0, 0),
            _mm512_set1_epi32(which));
        const Vec fromLowTwo = _mm512_permutex2var_ps(s.low, index, s.middle);
        const __mmask16 fromHigh = _mm512_cmpge_epi32_mask(index, _mm512_set1_epi32(32));
        return _mm512_mask_permutexvar_ps(fromLowTwo, fromHigh, index, s.high);
    }
    // A section's words are (s1 left, s2 left, s1 right, s2 right): lane j of s1 is word 2j of
    // the eight sections, lane j of s2 word 2j + 1.
    static void LoadStateLanes(const StereoBiquadState* first, int sections, Vec& s1, Vec& s2) {
        const float* p = &first->left1;
        const int floats = 4 * sections;
        const Vec low = _mm512_maskz_loadu_ps(FirstLanes(floats), p);
        const Vec high = _mm512_maskz_loadu_ps(FirstLanes(floats - 16), p + 16);
        const __m512i even = _mm512_set_epi32(30, 28, 26, 24, 22, 20, 18, 16, 14, 12, 10, 8, 6, 4, 2, 0);
        s1 = _mm512_permutex2var_ps(low, even, high);
        s2 = _mm512_permutex2var_ps(low, _mm512_add_epi32(even, _mm512_set1_epi32(1)), high);
    }
    static void StoreStateLanes(StereoBiquadState* first, int sections, Vec s1, Vec s2) {
        float* p = &first->left1;
        const int floats = 4 * sections;
        // Word w: lane w/2 of s1 (w even) or of s2 (w odd, index + 16).
        const __m512i low = _mm512_set_epi32(23, 7, 22, 6, 21, 5, 20, 4, 19, 3, 18, 2, 17, 1, 16, 0);
        const __m512i high = _mm512_add_epi32(low, _mm512_set1_epi32(8));
        _mm512_mask_storeu_ps(p, FirstLanes(floats), _mm512_permutex2var_ps(s1, low, s2));
        _mm512_mask_storeu_ps(p + 16, FirstLanes(floats - 16), _mm512_permutex2var_ps(s1, high, s2));
    }
    // Sections in order along the vectors; Avx512PairedOps below pairs them (see Wavefront.h).
    static constexpr bool kPairedVectors = false;
    using InOrder = Avx512Ops;
    // A pair's even and odd lane pairs and back.
    static Vec EvenPairs(Vec low, Vec high) { return PickPairs(low, high, 14, 12, 10, 8, 6, 4, 2, 0); }
    static Vec OddPairs(Vec low, Vec high) { return PickPairs(low, high, 15, 13, 11, 9, 7, 5, 3, 1); }
    static Vec InterleaveLowPairs(Vec even, Vec odd) {
        return PickPairs(even, odd, 11, 3, 10, 2, 9, 1, 8, 0);
    }
    static Vec InterleaveHighPairs(Vec even, Vec odd) {
        return PickPairs(even, odd, 15, 7, 14, 6, 13, 5, 12, 4);
    }
    // Lane pairs (as 64-bit elements) of a then b, indices 0-7 and 8-15, highest lane pair first.
    static Vec PickPairs(Vec a, Vec b, long long p7, long long p6, long long p5, long long p4,
                         long long p3, long long p2, long long p1, long long p0) {
        const __m512i index = _mm512_set_epi64(p7, p6, p5, p4, p3, p2, p1, p0);
        return _mm512_castpd_ps(
            _mm512_permutex2var_pd(_mm512_castps_pd(a), index, _mm512_castps_pd(b)));
    }

    // Each lane's section: first + lane/2.
    static Vec SectionLanes(int first) {
        const Vec halves = _mm512_set_ps(7, 7, 6, 6, 5, 5, 4, 4, 3, 3, 2, 2, 1, 1, 0, 0);
        return _mm512_add_ps(halves, _mm512_set1_ps(static_cast<float>(first)));
    }
    // A pad lane computes from the section below it with zero coefficients, so it turns non-finite
    // only where the last section's output has, which leaves that section's state non-finite too.
    static bool AllFinite(Vec sum) {
        const Vec spread = _mm512_sub_ps(sum, sum);
        return _mm512_cmp_ps_mask(spread, spread, _CMP_UNORD_Q) == 0;
    }
    static Mask PairLanes(int pair) { return static_cast<Mask>(3u << (2 * pair)); }
    // Lane pair `pair` of v (its lanes) to the frame: a store of the whole vector placed so that
    // the pair lands on the frame, writing only those two lanes.
    static void StorePair(float* frame, int pair, Mask lanes, Vec v) {
        const std::uintptr_t at = reinterpret_cast<std::uintptr_t>(frame) - 2 * sizeof(float) * pair;
        _mm512_mask_storeu_ps(reinterpret_cast<void*>(at), lanes, v);
    }
    // An edge step's lane mask from kSixteenLaneMasks (Wavefront.h).
    static Mask LoadMask(const std::uint16_t* lanes) {
        Mask loaded;
        asm volatile("kmovw %1, %0" : "=k"(loaded) : "m"(*lanes));
        return loaded;
    }
    // StorePair with the mask read from memory at every call: left to itself the compiler keeps
    // it in a general register and moves it into a mask register each time, on the port that
    // also shuffles.
    static void StorePairMaskFromMemory(float* frame, int pair, const Mask* lanes, Vec v) {
        Mask loaded;
        asm volatile("kmovw %1, %0" : "=k"(loaded) : "m"(*lanes));
        StorePair(frame, pair, loaded, v);
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

// The same vectors in pairs for the full steps: half the shifts in every one, against the
// permutes into and out of that arrangement once a call, so it pays on longer blocks.
struct Avx512PairedOps : Avx512Ops {
    static constexpr bool kPairedVectors = true;
};

// Tuned with bench/CascadeBench.cpp on a Sapphire Rapids core, natively and as the 32-bit build
// under Wine: every cascade (at most 4 vectors) runs as one group. Natively the wavefront pays
// from 5 frames of Lumo-31 on (bench/block-sweep.sh), now that its lanes load without a table.
constexpr int kMaxGroupVectors = 4;
#if defined(__x86_64__)
constexpr WavefrontFrom kWavefrontFrom{5, 128};
#else  // 32-bit code has 8 vector registers instead of 32
constexpr WavefrontFrom kWavefrontFrom{12, 128};
#endif
// From here on the paired vectors pay (bench/block-sweep.sh: as fast at 64 frames, faster from
// 128; at 16 slower, the permutes between the arrangements not yet repaid).
constexpr int kPairedFrom = 64;

bool Run(const BiquadCoefficients* coefficients, StereoBiquadState* states, int count,
         float* interleaved, int frames) {
    if (frames >= kPairedFrom)
        return RunCascade<Avx512PairedOps, kMaxGroupVectors>(kWavefrontFrom, coefficients, states,
                                                             count, interleaved, frames);
    return RunCascade<Avx512Ops, kMaxGroupVectors>(kWavefrontFrom, coefficients, states, count,
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

bool CascadeAvx512(const BiquadCoefficients* coefficients, StereoBiquadState* states, int count,
                   float* interleaved, int frames) {
    return Run(coefficients, states, count, interleaved, frames);
}

bool FewFramesAvx512(const BiquadCoefficients* coefficients, const StereoBiquadState* before,
                     StereoBiquadState* after, int count, float* interleaved, int frames) {
    return RunFewFramesApart(coefficients, before, after, count, interleaved, frames);
}

}  // namespace lumo::engine
