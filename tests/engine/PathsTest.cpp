// Every cascade kernel this CPU runs gives the machine the bits of the literal recurrence: random
// designs, activity patterns (active, ringing out, asleep), block lengths and modes, against a
// plain model of the audio path that runs each running band's recurrence frame by frame.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <limits>
#include <utility>

#include "EngineHarness.h"
#include "tests/support/LiteralRecurrence.h"

namespace lumo::test {
namespace {

using engine::CascadePath;
using engine::StereoBiquadState;

// The audio path written plainly: the bands that run, each over the whole block in band order,
// left then right, then the fade; states cleared as the machine clears them.
class LiteralModel {
public:
    explicit LiteralModel(int bands) : states_(bands, StereoBiquadState{}) {}

    // One call as the machine's state before it says: which bands run, how much output is left.
    bool Process(engine::Equaliser& engine, std::vector<float>& frames, int mode) {
        const int n = static_cast<int>(frames.size() / 2);
        if (mode == 2 && engine.OutputFramesLeft() <= 0) {
            for (StereoBiquadState& s : states_) s = {};
            return false;
        }
        std::vector<float> block = frames;
        if (mode == 2) std::fill(block.begin(), block.end(), 0.0f);
        for (size_t band = 0; band < states_.size(); ++band) {
            if (engine.Activity(static_cast<int>(band)) == BandActivity::Asleep) {
                states_[band] = {};
                continue;
            }
            StereoBiquadState& s = states_[band];
            RunLiteralRecurrence(&engine.Coefficients().bands[band], &s, 1, block.data(), n);
            for (float v : {s.left1, s.left2, s.right1, s.right2})
                if (!std::isfinite(v)) s = {};
        }
        const int counter = engine.OutputFramesLeft();
        if (mode == 2 && counter < engine.FadeFrames()) {
            const float inverse = 1.0f / static_cast<float>(engine.FadeFrames());
            for (int j = 0; j < n; ++j) {
                const float g = static_cast<float>(std::max(counter - j, 0)) * inverse;
                block[2 * j] *= g;
                block[2 * j + 1] *= g;
            }
        }
        frames = block;
        return true;
    }
    const StereoBiquadState& State(int band) const { return states_[band]; }

private:
    std::vector<StereoBiquadState> states_;
};

bool SameBits(const void* a, const void* b, size_t bytes) {
    return bytes == 0 || std::memcmp(a, b, bytes) == 0;  // empty blocks have no data pointer
}

class CascadePathOfTheMachine : public testing::TestWithParam<CascadePath> {};

TEST_P(CascadePathOfTheMachine, GivesTheBitsOfTheLiteralRecurrence) {
    if (!engine::CascadePathAvailable(GetParam())) GTEST_SKIP() << "this CPU cannot run it";
    const int lengths[] = {0, 1, 2, 3, 7, 255, 256, 257, 4096};
    for (unsigned seed = 1; seed <= 6; ++seed) {
        SCOPED_TRACE(testing::Message() << "seed " << seed);
        std::mt19937 random(seed);
        Harness h(seed % 2 ? 44100 : 22050);
        h.Engine().UseCascade(GetParam());
        LiteralModel model(kBandCount);
        for (int call = 0; call < 60; ++call) {
            if (call % 9 == 0) {
                // A new pattern: some bands active, some back to 0 dB (they ring out), Range
                // sometimes 0 (every band flat).
                std::vector<int> sliders(kBandCount, kNoValue);
                for (int& slider : sliders) {
                    const unsigned roll = random() % 4;
                    slider = roll == 0 ? kNoValue : roll == 1 ? 64 : static_cast<int>(random() % 129);
                }
                const int range = random() % 5 == 0 ? 0 : static_cast<int>(1 + random() % 32);
                h.Apply(call == 0 || random() % 3 == 0 ? range : kNoValue,
                        call == 0 ? static_cast<int>(1 + random() % 24) : kNoValue, sliders);
            }
            const int n = lengths[random() % std::size(lengths)];
            const int mode = random() % 3 == 0 ? 2 : 3;
            std::vector<float> audio = Noise(n, seed * 1000 + call, call % 7 == 0 ? 3e4f : 0.5f);
            std::vector<float> expected = audio;
            const bool expectedResult = model.Process(h.Engine(), expected, mode);
            const bool result = h.Process(audio, mode);
            ASSERT_EQ(result, expectedResult) << "call " << call;
            ASSERT_TRUE(SameBits(audio.data(), expected.data(), audio.size() * sizeof(float)))
                << "call " << call << ", " << n << " frames, mode " << mode;
            for (int band = 0; band < kBandCount; ++band) {
                const StereoBiquadState machine = h.Engine().BandState(band);
                ASSERT_TRUE(SameBits(&machine, &model.State(band), sizeof machine))
                    << "call " << call << ", band " << band;
            }
        }
    }
}

// The audio path with bands in either form, written plainly: a float band runs the float
// recurrence, a double band the same recurrence in doubles on the widened sample, its output
// rounded to float; a band that changes form keeps its state, widened or rounded.
class MixedFormModel {
public:
    explicit MixedFormModel(int bands) : floats_(bands), doubles_(bands), inDouble_(bands) {}

    // After each parameter call.
    void Follow(const engine::CoefficientSnapshot& snapshot) {
        for (size_t band = 0; band < inDouble_.size(); ++band) {
            const bool inDouble = snapshot.RunsInDouble(static_cast<int>(band));
            if (inDouble != inDouble_[band])
                for (int k = 0; k < 4; ++k) {
                    if (inDouble) doubles_[band][k] = std::exchange(floats_[band][k], 0.0f);
                    else floats_[band][k] = static_cast<float>(std::exchange(doubles_[band][k], 0.0));
                }
            inDouble_[band] = inDouble;
        }
    }

    void Process(engine::Equaliser& engine, std::vector<float>& frames) {
        const engine::CoefficientSnapshot& snapshot = engine.Coefficients();
        for (size_t band = 0; band < inDouble_.size(); ++band) {
            if (engine.Activity(static_cast<int>(band)) == BandActivity::Asleep) {
                floats_[band] = {};
                doubles_[band] = {};
            } else if (inDouble_[band]) {
                Run(snapshot.wide[band], doubles_[band], frames);
            } else {
                Run(snapshot.bands[band], floats_[band], frames);
            }
        }
    }

    StereoBiquadState State(int band) const {
        const auto& s = floats_[band];
        const auto& d = doubles_[band];
        if (!inDouble_[band]) return {s[0], s[1], s[2], s[3]};
        return {static_cast<float>(d[0]), static_cast<float>(d[1]), static_cast<float>(d[2]),
                static_cast<float>(d[3])};
    }

private:
    // Left and right in turn, each with its two state words; a state made non-finite is cleared.
    template <class Coefficients, class Real>
    static void Run(const Coefficients& c, std::array<Real, 4>& s, std::vector<float>& frames) {
        for (size_t j = 0; j < frames.size(); ++j) {
            Real* channel = &s[2 * (j % 2)];
            const Real x = frames[j];
            const Real y = c.b0 * x + channel[0];
            channel[0] = (c.b1 * x + channel[1]) - c.a1 * y;
            channel[1] = c.b2 * x - c.a2 * y;
            frames[j] = static_cast<float>(y);
        }
        for (Real v : s)
            if (!std::isfinite(v)) s = {};
    }

    std::vector<std::array<float, 4>> floats_;
    std::vector<std::array<double, 4>> doubles_;
    std::vector<bool> inDouble_;
};

bool SameOrBothNan(const std::vector<float>& a, const std::vector<float>& b) {
    for (size_t i = 0; i < a.size(); ++i)
        if (!(std::isnan(a[i]) && std::isnan(b[i])) && !SameBits(&a[i], &b[i], sizeof(float))) return false;
    return true;
}

// At 192 kHz and 1/12 octave the low bands run in double among the float bands; a wider
// Bandwidth moves some back to float and a narrow one forward again; a double band turned flat
// rings out as a float band; a non-finite sample poisons and is healed in both forms.
TEST_P(CascadePathOfTheMachine, DoubleBandsRunTheDoubleRecurrenceInTheirPlace) {
    if (!engine::CascadePathAvailable(GetParam())) GTEST_SKIP() << "this CPU cannot run it";
    Harness h(192000);
    h.Engine().UseCascade(GetParam());
    MixedFormModel model(kBandCount);
    std::vector<int> sliders(kBandCount);
    for (int band = 0; band < kBandCount; ++band) sliders[band] = band % 3 == 2 ? 20 : 110;
    int changedForm = 0;
    for (int bandwidth : {1, 8, 1, kNoValue}) {
        const std::uint32_t before = h.Engine().Coefficients().doubleBands;
        if (bandwidth != kNoValue) {
            h.Apply(32, bandwidth, sliders);
        } else {
            ASSERT_TRUE(h.Engine().RunsInDouble(1));
            h.ApplySlider(1, 64);
            EXPECT_FALSE(h.Engine().RunsInDouble(1));  // a flat band's float design is exact
        }
        const std::uint32_t inDouble = h.Engine().Coefficients().doubleBands;
        ASSERT_TRUE(inDouble != 0 && inDouble != (1u << kBandCount) - 1) << "both forms run";
        changedForm += __builtin_popcount(before ^ inDouble);
        model.Follow(h.Engine().Coefficients());
        for (int n : {1, 7, 256, 1000}) {
            std::vector<float> audio = Noise(n, static_cast<unsigned>(n + changedForm));
            if (n == 7 && before == 0) audio[5] = std::numeric_limits<float>::infinity();
            std::vector<float> expected = audio;
            model.Process(h.Engine(), expected);
            h.Process(audio);
            ASSERT_TRUE(SameOrBothNan(audio, expected)) << "Bandwidth " << bandwidth << ", " << n << " frames";
            for (int band = 0; band < kBandCount; ++band) {
                const StereoBiquadState machine = h.Engine().BandState(band), literal = model.State(band);
                ASSERT_TRUE(SameBits(&machine, &literal, sizeof machine)) << "band " << band;
            }
        }
    }
    EXPECT_GT(changedForm, 2);
}

INSTANTIATE_TEST_SUITE_P(Paths, CascadePathOfTheMachine,
                         testing::Values(CascadePath::Scalar, CascadePath::Sse2, CascadePath::Avx2,
                                         CascadePath::Avx512),
                         [](const testing::TestParamInfo<CascadePath>& info) {
                             return std::string(engine::CascadePathName(info.param));
                         });

}  // namespace
}  // namespace lumo::test
