// The cascade kernels: every path this CPU runs gives, bit for bit, the output and states of the
// literal recurrence, under each flush-to-zero / denormals-are-zero setting, and writes nothing
// outside the block and the states it is given; and the choice of path from the CPU's features.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>
#include <xmmintrin.h>

#include "engine/cascade/Cascade.h"
#include "tests/support/LiteralRecurrence.h"

namespace lumo::engine {

void PrintTo(CascadePath path, std::ostream* out) { *out << CascadePathName(path); }

namespace {

constexpr double kPi = 3.14159265358979323846;

float Uniform(std::mt19937& rng, float low, float high) {
    return std::uniform_real_distribution<float>(low, high)(rng);
}

BiquadCoefficients Normalised(double b0, double b1, double b2, double a0, double a1, double a2) {
    return {static_cast<float>(b0 / a0), static_cast<float>(b1 / a0), static_cast<float>(b2 / a0),
            static_cast<float>(a1 / a0), static_cast<float>(a2 / a0)};
}

// A band as the equalisers make them: a peaking biquad at 44.1 kHz.
BiquadCoefficients PeakingSection(std::mt19937& rng) {
    const double centreHz = 20.0 * std::pow(1000.0, Uniform(rng, 0, 1));
    const double gainDb = Uniform(rng, -16, 16);
    const double q = std::pow(10.0, Uniform(rng, -0.5, 1));
    const double w0 = 2.0 * kPi * centreHz / 44100.0;
    const double alpha = std::sin(w0) / (2.0 * q);
    const double amplitude = std::pow(10.0, gainDb / 40.0);
    const double cs = std::cos(w0);
    return Normalised(1.0 + alpha * amplitude, -2.0 * cs, 1.0 - alpha * amplitude,
                      1.0 + alpha / amplitude, -2.0 * cs, 1.0 - alpha / amplitude);
}

// Poles anywhere inside the unit circle, zeros anywhere near it, scaled to a peak gain of 0.5 to
// 2 so that a cascade of 32 stays mostly finite.
BiquadCoefficients RandomStableSection(std::mt19937& rng) {
    const double poleRadius = Uniform(rng, 0, 0.98), poleAngle = Uniform(rng, 0, kPi);
    const double zeroRadius = Uniform(rng, 0, 1.2), zeroAngle = Uniform(rng, 0, kPi);
    const double a1 = -2.0 * poleRadius * std::cos(poleAngle), a2 = poleRadius * poleRadius;
    const double b1 = -2.0 * zeroRadius * std::cos(zeroAngle), b2 = zeroRadius * zeroRadius;
    double peak = 0.0;
    for (int k = 0; k <= 256; ++k) {
        const std::complex<double> z = std::polar(1.0, kPi * k / 256.0);
        const std::complex<double> zi = 1.0 / z;
        const std::complex<double> response =
            (1.0 + b1 * zi + b2 * zi * zi) / (1.0 + a1 * zi + a2 * zi * zi);
        peak = std::max(peak, std::abs(response));
    }
    const double gain = Uniform(rng, 0.5, 2) / peak;
    return Normalised(gain, gain * b1, gain * b2, 1.0, a1, a2);
}

float Denormal(std::mt19937& rng) {
    return Uniform(rng, -1, 1) * std::numeric_limits<float>::min();
}

// x86's default NaN (sign set, quiet): the one the arithmetic itself makes from 0*inf or
// inf-inf. With a single NaN bit pattern about, the outcome of an operation on two NaNs does not
// depend on operand order, which C++ leaves to the compiler in the recurrence too.
float DefaultNan() {
    const std::uint32_t bits = 0xFFC00000u;
    float nan;
    std::memcpy(&nan, &bits, sizeof nan);
    return nan;
}

struct Case {
    std::vector<BiquadCoefficients> coefficients;
    std::vector<StereoBiquadState> states;
    std::vector<float> input;  // 2 * frames samples
};

Case MakeCase(int count, int frames, unsigned seed) {
    std::mt19937 rng(seed);
    Case c;
    for (int i = 0; i < count; ++i) {
        const float kind = Uniform(rng, 0, 1);
        c.coefficients.push_back(kind < 0.5f    ? PeakingSection(rng)
                                 : kind < 0.95f ? RandomStableSection(rng)
                                                : BiquadCoefficients{1, 0, 0, 0, 0});
        float words[4];
        for (float& w : words) {
            const float kindOfWord = Uniform(rng, 0, 1);
            w = kindOfWord < 0.05f  ? 0.0f
                : kindOfWord < 0.1f ? -0.0f
                : kindOfWord < 0.2f ? Denormal(rng)
                                    : Uniform(rng, -1, 1);
        }
        c.states.push_back({words[0], words[1], words[2], words[3]});
    }
    for (int j = 0; j < 2 * frames; ++j) {
        const float kind = Uniform(rng, 0, 1);
        c.input.push_back(kind < 0.01f ? Uniform(rng, -1, 1) * 1e30f
                          : kind < 0.03f ? Denormal(rng)
                          : kind < 0.04f ? 0.0f
                          : kind < 0.05f ? -0.0f
                                         : Uniform(rng, -1, 1));
    }
    // Silence over the second quarter of the block: fast-decaying sections ring down through
    // the denormal range, where flush-to-zero acts.
    if (frames > 64) std::fill(c.input.begin() + frames / 2, c.input.begin() + frames, 0.0f);
    // Now and then a non-finite sample late in the block, so that most of it stays finite.
    if (frames >= 4 && seed % 3 == 0) {
        const int at = 2 * frames - 1 - static_cast<int>(rng() % (frames / 2));
        c.input[at] = seed % 2 ? DefaultNan() : std::numeric_limits<float>::infinity();
    }
    return c;
}

// The output and states of one kernel run, with guard words around both that must survive.
struct Outcome {
    static constexpr int kGuard = 16;
    static constexpr float kGuardValue = 12345.5f;

    Outcome(const Case& c, int frames, int offset) : offset(offset) {
        buffer.assign(offset + kGuard + 2 * frames + kGuard, kGuardValue);
        std::copy(c.input.begin(), c.input.end(), Samples());
        states = c.states;
        states.resize(kMaxCascadeSections + 1,
                      {kGuardValue, kGuardValue, kGuardValue, kGuardValue});
    }
    float* Samples() { return buffer.data() + offset + kGuard; }

    int offset;  // shifts the block's alignment
    std::vector<float> buffer;
    std::vector<StereoBiquadState> states;
};

class ScopedMxcsr {
public:
    explicit ScopedMxcsr(unsigned flags) : saved_(_mm_getcsr()) {
        _mm_setcsr((saved_ & ~(kFlushToZero | kDenormalsAreZero)) | flags);
    }
    ~ScopedMxcsr() { _mm_setcsr(saved_); }
    static constexpr unsigned kFlushToZero = 0x8000;
    static constexpr unsigned kDenormalsAreZero = 0x0040;

private:
    unsigned saved_;
};

// Empty when the two hold the same bits, else where they first differ.
std::string FirstDifference(const float* expected, const float* actual, size_t words) {
    for (size_t k = 0; k < words; ++k) {
        if (std::memcmp(&expected[k], &actual[k], sizeof(float)) != 0) {
            return "word " + std::to_string(k) + ": expected " + std::to_string(expected[k]) +
                   ", got " + std::to_string(actual[k]);
        }
    }
    return "";
}

class CascadePathTest : public testing::TestWithParam<CascadePath> {};

TEST_P(CascadePathTest, MatchesTheRecurrenceBitForBit) {
    const CascadePath path = GetParam();
    if (!CascadePathAvailable(path)) GTEST_SKIP() << "this CPU or OS cannot run the path";
    const CascadeKernel kernel = CascadeKernelOf(path);
    const int frameCounts[] = {0,  1,  2,  3,   4,   5,   7,   8,   9,   15,
                               16, 17, 24, 31, 33, 255, 256, 257, 4096};
    const unsigned modes[] = {0, ScopedMxcsr::kFlushToZero, ScopedMxcsr::kDenormalsAreZero,
                              ScopedMxcsr::kFlushToZero | ScopedMxcsr::kDenormalsAreZero};
    unsigned seed = 1;
    for (int count = 0; count <= kMaxCascadeSections; ++count) {
        for (int frames : frameCounts) {
            const Case c = MakeCase(count, frames, ++seed);
            for (unsigned mode : modes) {
                Outcome expected(c, frames, 0), actual(c, frames, seed % 4);
                bool finite = false;
                {
                    const ScopedMxcsr flags(mode);
                    test::RunLiteralRecurrence(c.coefficients.data(), expected.states.data(),
                                               count, expected.Samples(), frames);
                    finite = kernel(c.coefficients.data(), actual.states.data(), count,
                                    actual.Samples(), frames);
                }
                SCOPED_TRACE(testing::Message() << "count " << count << ", frames " << frames
                                                << ", mxcsr flags 0x" << std::hex << mode);
                ASSERT_EQ(FirstDifference(expected.buffer.data() + expected.offset,
                                          actual.buffer.data() + actual.offset,
                                          expected.buffer.size() - expected.offset),
                          "")
                    << "in the samples (with guards)";
                ASSERT_EQ(FirstDifference(reinterpret_cast<const float*>(expected.states.data()),
                                          reinterpret_cast<const float*>(actual.states.data()),
                                          4 * expected.states.size()),
                          "")
                    << "in the states (with guards)";
                bool statesFinite = true;
                for (const StereoBiquadState& s : expected.states)
                    for (float word : {s.left1, s.left2, s.right1, s.right2})
                        statesFinite = statesFinite && std::isfinite(word);
                ASSERT_EQ(finite, statesFinite) << "as the kernel reports the states";
            }
        }
    }
}

// Cases where a denormal number comes out of normal ones exactly, which raises no underflow
// flag: a y that the next multiply must show, and a state word that only the finiteness sum uses.
std::vector<Case> ExactDenormalCases() {
    const float min = std::numeric_limits<float>::min(), normal = 1.5f * min;  // normal - min = min/2
    // y = 1 * normal + -min
    Case inY{{{1, 0, 0, 0, 0}, {1, 0, 0, 0, 0}}, {{-min, 0, 0, 0}, {0, 0, 0, 0}}, {normal, 0}};
    // y = 0 * normal + min, s1 = (1 * normal + 0) - 1 * y
    Case inState{{{0, 1, 0, 1, 0}}, {{min, 0, 0, 0}}, {normal, 0}};
    return {inY, inState};
}

// The few-frames kernel that reads and writes states apart gives the in-place kernel's bits and
// leaves `before` alone; run without flush-to-zero and denormals-are-zero, whenever MXCSR's
// underflow and denormal-operand flags stay clear its bits are those of the flushing mode, which
// is what lets an audio call skip the MXCSR writes.
TEST_P(CascadePathTest, FewFramesApartShowInTheFlagsWhereFlushingWouldDiffer) {
    const CascadePath path = GetParam();
    if (!CascadePathAvailable(path)) GTEST_SKIP() << "this CPU or OS cannot run the path";
    const FewFramesKernel fewFrames = FewFramesKernelOf(path);
    if (path == CascadePath::Scalar) {
        EXPECT_EQ(fewFrames, nullptr);
        return;
    }
    constexpr unsigned kUnderflowOrDenormal = 0x12;
    std::vector<Case> cases = ExactDenormalCases();
    for (unsigned seed = 1; seed <= 400; ++seed) {
        cases.push_back(MakeCase(seed % 33, 1 + seed / 2 % kMaxFewFrames, seed));
        if (seed % 2 == 0) continue;  // every other case without denormal states or input
        for (StereoBiquadState& st : cases.back().states)
            for (float* w : {&st.left1, &st.left2, &st.right1, &st.right2})
                if (std::fpclassify(*w) == FP_SUBNORMAL) *w = 0.25f;
        for (float& x : cases.back().input)
            if (std::fpclassify(x) == FP_SUBNORMAL) x = 0.25f;
    }
    int clear = 0, flagged = 0;
    for (const Case& c : cases) {
        const int count = static_cast<int>(c.states.size());
        const int frames = static_cast<int>(c.input.size() / 2);
        Outcome flushed(c, frames, 0), inPlace(c, frames, 0), apart(c, frames, 0);
        std::vector<StereoBiquadState> after(c.states.size());
        unsigned flags = 0;
        {
            const ScopedMxcsr flushing(ScopedMxcsr::kFlushToZero | ScopedMxcsr::kDenormalsAreZero);
            CascadeKernelOf(path)(c.coefficients.data(), flushed.states.data(), count,
                                  flushed.Samples(), frames);
        }
        {
            const ScopedMxcsr unflushed(0);
            CascadeKernelOf(path)(c.coefficients.data(), inPlace.states.data(), count,
                                  inPlace.Samples(), frames);
            _mm_setcsr(_mm_getcsr() & ~0x3Fu);
            fewFrames(c.coefficients.data(), apart.states.data(), after.data(), count,
                      apart.Samples(), frames);
            flags = _mm_getcsr() & kUnderflowOrDenormal;
        }
        SCOPED_TRACE(testing::Message() << "count " << count << ", frames " << frames);
        ASSERT_EQ(FirstDifference(c.states.empty() ? nullptr : &c.states[0].left1,
                                  apart.states.empty() ? nullptr : &apart.states[0].left1,
                                  4 * c.states.size()),
                  "")
            << "before changed";
        ASSERT_EQ(FirstDifference(inPlace.Samples(), apart.Samples(), 2 * frames), "");
        if (count > 0) {
            ASSERT_EQ(FirstDifference(&inPlace.states[0].left1, &after[0].left1, 4 * count), "");
        }
        if (flags != 0) {
            ++flagged;
            continue;
        }
        ++clear;
        ASSERT_EQ(FirstDifference(flushed.Samples(), apart.Samples(), 2 * frames), "");
        if (count > 0) {
            ASSERT_EQ(FirstDifference(&flushed.states[0].left1, &after[0].left1, 4 * count), "");
        }
    }
    EXPECT_GT(clear, 100);
    EXPECT_GT(flagged, 2);
}

INSTANTIATE_TEST_SUITE_P(Paths, CascadePathTest,
                         testing::Values(CascadePath::Scalar, CascadePath::Sse2,
                                         CascadePath::Avx2, CascadePath::Avx512),
                         [](const testing::TestParamInfo<CascadePath>& info) {
                             return std::string(CascadePathName(info.param));
                         });

TEST(CascadeDispatch, ChoosesTheWidestPathTheFeaturesAllow) {
    CpuFeatures features;
    EXPECT_EQ(ChooseCascadePath(features), CascadePath::Scalar);
    features.sse2 = true;
    EXPECT_EQ(ChooseCascadePath(features), CascadePath::Sse2);
    features.avx512f = true;  // without AVX2 (which the AVX-512F kernel uses as well)
    EXPECT_EQ(ChooseCascadePath(features), CascadePath::Sse2);
    features.avx512f = false;
    features.avx2 = true;
    EXPECT_EQ(ChooseCascadePath(features), CascadePath::Avx2);
    features.avx512f = true;
    EXPECT_EQ(ChooseCascadePath(features), CascadePath::Avx512);
}

}  // namespace
}  // namespace lumo::engine
