// Every cascade kernel this CPU runs gives the machine the bits of the literal recurrence: random
// designs, activity patterns (active, ringing out, asleep), block lengths and modes, against a
// plain model of the audio path that runs each running band's recurrence frame by frame.
#include <gtest/gtest.h>

#include <cstring>

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

INSTANTIATE_TEST_SUITE_P(Paths, CascadePathOfTheMachine,
                         testing::Values(CascadePath::Scalar, CascadePath::Sse2, CascadePath::Avx2,
                                         CascadePath::Avx512),
                         [](const testing::TestParamInfo<CascadePath>& info) {
                             return std::string(engine::CascadePathName(info.param));
                         });

}  // namespace
}  // namespace lumo::test
