// The audio path: band filters over the buffer, ring-out, output after the input stops, modes.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <xmmintrin.h>

#include "EngineHarness.h"
#include "engine/FadeOut.h"
#include "engine/FloatEnvironment.h"
#include "tests/support/LiteralRecurrence.h"

namespace lumo::test {
namespace {

// The frames through these bands' literal recurrence, from rest.
std::vector<float> ThroughRecurrence(const std::vector<BiquadCoefficients>& bands,
                                     std::vector<float> frames) {
    std::vector<engine::StereoBiquadState> states(bands.size(), engine::StereoBiquadState{});
    RunLiteralRecurrence(bands.data(), states.data(), static_cast<int>(bands.size()),
                         frames.data(), static_cast<int>(frames.size() / 2));
    return frames;
}

TEST(ProcessAudio, FreshMachinePassesAudioUnchanged) {
    Harness h(44100);
    std::vector<float> out(512, 7.0f);
    EXPECT_FALSE(h.Process(out, 2));  // silent: nothing written, no scratch asked for
    EXPECT_EQ(out, std::vector<float>(512, 7.0f));
    EXPECT_EQ(h.host.scratchCalls, 0);
    std::vector<float> audio = Noise(1000, 4);
    const std::vector<float> input = audio;
    EXPECT_TRUE(h.Process(audio));
    EXPECT_EQ(audio, input);
}

TEST(ProcessAudio, ModesZeroAndOneTouchNothing) {
    Harness h(44100);
    h.ApplyAll(16, 8, 100);
    std::vector<float> warm = Noise(256, 5);
    h.Process(warm);
    const std::vector<float> before = h.EngineState();
    std::vector<float> audio = Noise(256, 6);
    const std::vector<float> input = audio;
    EXPECT_FALSE(h.Process(audio, 0));
    EXPECT_TRUE(h.Process(audio, 1));
    EXPECT_EQ(audio, input);
    EXPECT_EQ(h.EngineState(), before);
    EXPECT_EQ(h.host.scratchCalls, 0);
}

// Blocks of odd sizes through one active band equal the recurrence on its stored coefficients.
TEST(ProcessAudio, OneBandEqualsTheRecurrenceBitForBit) {
    Harness h(44100);
    h.ApplyAll(16, 8, 64);
    h.ApplySlider(kOneKhz, 120);
    std::vector<float> input = Noise(3000, 7);
    input[0] = 1.0f;  // an impulse on top of the left channel's noise
    std::vector<float> output;
    for (size_t start = 0, size = 1; start < input.size() / 2; start += size, size = size % 7 + 1) {
        const size_t end = std::min(input.size() / 2, start + size);
        std::vector<float> block(input.begin() + 2 * start, input.begin() + 2 * end);
        EXPECT_TRUE(h.Process(block, start % 2 ? 3 : 17));  // any mode above 2 processes
        output.insert(output.end(), block.begin(), block.end());
    }
    const BiquadCoefficients& s = h.Coefficients(kOneKhz);
    EXPECT_EQ(output, ThroughRecurrence({s}, input));
}

// The whole machine is the bands' recurrences one after the other, lowest band first.
TEST(ProcessAudio, AllBandsEqualTheRecurrenceInBandOrder) {
    Harness h(48000);
    std::vector<int> sliders(kBandCount);
    for (int band = 0; band < kBandCount; ++band) sliders[band] = (band * 29 + 5) % 129;
    h.Apply(20, 9, sliders);
    const std::vector<float> input = Noise(1500, 21);
    std::vector<BiquadCoefficients> bands;
    for (int band = 0; band < kBandCount; ++band)
        if (!h.Coefficients(band).IsIdentity()) bands.push_back(h.Coefficients(band));
    std::vector<float> output;
    for (size_t start = 0; start < input.size() / 2; start += 256) {
        const size_t end = std::min(input.size() / 2, start + 256);
        std::vector<float> block(input.begin() + 2 * start, input.begin() + 2 * end);
        h.Process(block);
        output.insert(output.end(), block.begin(), block.end());
    }
    EXPECT_EQ(output, ThroughRecurrence(bands, input));
}

TEST(ProcessAudio, ChannelsAreIndependent) {
    Harness h(48000);
    h.ApplyAll(24, 10, 30);
    std::vector<float> audio = Noise(2048, 8);
    for (size_t j = 1; j < audio.size(); j += 2) audio[j] = 0.0f;
    h.Process(audio);
    for (size_t j = 1; j < audio.size(); j += 2) ASSERT_EQ(audio[j], 0.0f);

    Harness same(48000);
    same.ApplyAll(24, 10, 30);
    std::vector<float> both = Noise(2048, 9);
    for (size_t j = 1; j < both.size(); j += 2) both[j] = both[j - 1];
    same.Process(both);
    for (size_t j = 1; j < both.size(); j += 2) ASSERT_EQ(both[j], both[j - 1]);
}

// A sine through the whole machine comes out at the level the stored coefficients predict.
TEST(ProcessAudio, SineLevelMatchesTheDesignedResponse) {
    const int rate = 44100;
    Harness h(rate);
    std::vector<int> sliders(kBandCount);
    for (int band = 0; band < kBandCount; ++band) sliders[band] = (band * 53 + 11) % 129;
    h.Apply(12, kDefaultBandwidth, sliders);

    const int window = 44100;  // one second: a whole number of cycles of every test frequency
    for (double hz : {31.0, 100.0, 440.0, 1000.0, 2500.0, 7000.0, 15000.0}) {
        SCOPED_TRACE(hz);
        const double w = 2.0 * kPi * hz / rate;
        double expectedDb = 0.0;
        for (int band = 0; band < kBandCount; ++band) expectedDb += ResponseDb(h.Coefficients(band), w);

        double sumSin = 0.0, sumCos = 0.0;
        const int settle = rate;  // the lowest bands need a while to settle
        for (int start = 0; start < settle + window; start += 256) {
            std::vector<float> block(2 * 256);
            for (int j = 0; j < 256; ++j)
                block[2 * j] = block[2 * j + 1] = static_cast<float>(0.25 * std::sin(w * (start + j)));
            h.Process(block);
            for (int j = 0; j < 256; ++j) {
                const int t = start + j;
                if (t < settle) continue;
                sumSin += block[2 * j] * std::sin(w * t);
                sumCos += block[2 * j] * std::cos(w * t);
            }
        }
        const double amplitude = 2.0 * std::hypot(sumSin, sumCos) / window;
        EXPECT_NEAR(20.0 * std::log10(amplitude / 0.25), expectedDb, 0.05);
    }
}

// A band that goes flat right after an active design runs 35 more calls of 256 frames, then
// sleeps: its state is zeroed and the audio passes it unchanged.
TEST(ProcessAudio, FlatBandRingsOutThenSleeps) {
    Harness h(44100);
    h.ApplyAll(16, 8, 64);
    h.ApplySlider(kOneKhz, 0);
    std::vector<float> audio = Noise(256, 10);
    h.Process(audio);
    h.ApplySlider(kOneKhz, 64);
    ASSERT_EQ(h.Engine().Activity(kOneKhz), BandActivity::RingingOut);
    for (int call = 1; call <= 36; ++call) {
        audio = Noise(256, 100 + call);
        const std::vector<float> input = audio;
        h.Process(audio);
        if (call <= 35) {
            EXPECT_EQ(h.Engine().Activity(kOneKhz),
                      call < 35 ? BandActivity::RingingOut : BandActivity::Asleep);
        } else {
            EXPECT_EQ(audio, input);
            const engine::StereoBiquadState s = h.Engine().BandState(kOneKhz);
            EXPECT_EQ(s.left1, 0.0f);
            EXPECT_EQ(s.left2, 0.0f);
            EXPECT_EQ(s.right1, 0.0f);
            EXPECT_EQ(s.right2, 0.0f);
        }
    }
}

TEST(FadeOut, RampGainsAreExact) {
    const int length = 6615;
    for (int start : {6614, 300, 5, 1}) {
        std::vector<float> frames(2 * 256, 1.0f);
        frames[1] = -3.0f;
        int counter = start;
        engine::FadeOut(frames.data(), 255, counter, length);
        EXPECT_EQ(counter, start - 255);
        const float inv = 1.0f / static_cast<float>(length);
        for (int j = 0; j < 255; ++j) {
            const float g = static_cast<float>(std::max(start - j, 0)) * inv;
            ASSERT_EQ(frames[2 * j], g) << start << " " << j;
            ASSERT_EQ(frames[2 * j + 1], j == 0 ? -3.0f * g : g);
        }
        EXPECT_EQ(frames[2 * 255], 1.0f);  // beyond n: untouched
    }
    std::vector<float> full(2 * 100, 0.5f);
    int counter = 6615;  // at the ramp's length: full level, counted by n
    engine::FadeOut(full.data(), 100, counter, length);
    EXPECT_EQ(counter, 6515);
    EXPECT_EQ(full, std::vector<float>(2 * 100, 0.5f));
}

// After the input stops: 0.2 s of the bands' ring-out, the last 0.15 s faded, then silence. The
// reference rings out the same bands on silent input at full level.
TEST(ProcessAudio, OutputAfterTheInputStops) {
    Harness faded(44100), unfaded(44100);
    for (Harness* h : {&faded, &unfaded}) {
        h->ApplyAll(16, 8, 64);
        h->ApplySlider(2, 128);  // a low band: rings well past 0.2 s
        std::vector<float> audio = Noise(256, 11);
        h->Process(audio);
    }
    ASSERT_EQ(faded.Engine().FadeFrames(), 6615);
    int calls = 0;
    for (;; ++calls) {
        const int counter = faded.Engine().OutputFramesLeft();
        std::vector<float> out(2 * 256, 99.0f), reference(2 * 256, 0.0f);
        faded.host.scratch.assign(faded.host.scratch.size(), 5.0f);  // stale scratch content
        const bool sounding = faded.Process(out, 2);
        if (!sounding) {
            EXPECT_EQ(counter, 8820 - 256 * 35);
            EXPECT_EQ(out, std::vector<float>(2 * 256, 99.0f));
            break;
        }
        ASSERT_TRUE(unfaded.Process(reference, 3));
        const bool ramp = counter < 6615;
        EXPECT_EQ(ramp, calls >= 9) << calls;
        const float inv = 1.0f / 6615.0f;
        for (int j = 0; j < 256; ++j) {
            const float g = ramp ? static_cast<float>(std::max(counter - j, 0)) * inv : 1.0f;
            ASSERT_EQ(out[2 * j], reference[2 * j] * g) << calls << " " << j;
            ASSERT_EQ(out[2 * j + 1], reference[2 * j + 1] * g);
        }
        ASSERT_LT(calls, 100);
    }
    EXPECT_EQ(calls, 35);
    EXPECT_EQ(faded.host.scratchCalls, 35);
    EXPECT_EQ(faded.Engine().BandState(2).left1, 0.0f);  // the silent call zeroed every band
    // Input again: full level at once, from zeroed states.
    std::vector<float> audio = Noise(64, 12);
    EXPECT_TRUE(faded.Process(audio));
    EXPECT_EQ(faded.Engine().OutputFramesLeft(), 8820);
}

TEST(ProcessAudio, NonFiniteInputDamagesOnlyItsBlock) {
    for (float bad : {NAN, INFINITY, -INFINITY, 3e38f}) {
        Harness h(44100);
        h.ApplyAll(16, 8, 110);
        std::vector<float> audio = Noise(256, 13);
        audio[2 * 100] = bad;
        audio[2 * 50 + 1] = bad;
        h.Process(audio);
        for (int band = 0; band < kBandCount; ++band) {
            const engine::StereoBiquadState st = h.Engine().BandState(band);
            for (float v : {st.left1, st.left2, st.right1, st.right2}) EXPECT_TRUE(std::isfinite(v));
        }
        audio = Noise(256, 14);
        h.Process(audio);
        for (float v : audio) ASSERT_TRUE(std::isfinite(v)) << bad;
    }
}

TEST(ProcessAudio, NegativeAndZeroFrameCounts) {
    Harness h(44100);
    h.ApplyAll(16, 8, 100);
    std::vector<float> audio = Noise(16, 15);
    const std::vector<float> input = audio;
    EXPECT_TRUE(h.machine->ProcessAudio(audio.data(), -5, 3));
    EXPECT_TRUE(h.machine->ProcessAudio(audio.data(), 0, 3));
    EXPECT_EQ(audio, input);
    EXPECT_EQ(h.Engine().OutputFramesLeft(), 8820);
    EXPECT_TRUE(h.machine->ProcessAudio(audio.data(), 0, 2));
    EXPECT_EQ(h.Engine().OutputFramesLeft(), 8820);
}

// Decaying bands never leave denormal numbers in their state, the caller's floating-point
// control word is the same after the call, and the caller's rounding mode does not reach the
// bands: the output is the bits a caller in the default mode gets.
TEST(ProcessAudio, NoDenormalStateAndCallerControlWordKept) {
    Harness h(44100), reference(44100);
    h.ApplyAll(32, 24, 128);
    reference.ApplyAll(32, 24, 128);
    std::vector<float> audio(2 * 256, 0.0f), expected(audio.size(), 0.0f);
    audio[0] = audio[1] = expected[0] = expected[1] = 1.0f;
    const unsigned defaultCsr = _mm_getcsr();
    const unsigned callerCsr = (defaultCsr & ~0x6000u) | 0x4000u;  // round toward -inf
    for (int call = 0; call < 2000; ++call) {
        reference.Process(expected);
        _mm_setcsr(callerCsr);
        h.Process(audio);
        ASSERT_EQ(_mm_getcsr(), callerCsr);
        _mm_setcsr(defaultCsr);
        ASSERT_EQ(std::memcmp(audio.data(), expected.data(), audio.size() * sizeof(float)), 0) << call;
        for (int band = 0; band < kBandCount; ++band) {
            const engine::StereoBiquadState st = h.Engine().BandState(band);
            for (float v : {st.left1, st.left2, st.right1, st.right2})
                ASSERT_NE(std::fpclassify(v), FP_SUBNORMAL) << call;
        }
        std::fill(audio.begin(), audio.end(), 0.0f);
        std::fill(expected.begin(), expected.end(), 0.0f);
    }
}

// Calls of 1 to 5 frames give the bits of calls made in the engine's own mode, whatever mode and
// flags the caller runs with, through input that sends values into the denormal range (tiny and
// denormal samples, a decay to silence, a NaN) and back to noise, and leave MXCSR as it was.
TEST(ProcessAudio, FewFrameCallsInAnyCallerModeGiveTheEngineModesBits) {
    std::vector<float> input = Noise(5000, 16);
    const float tiny[] = {1e-20f, 1e-36f, 1e-40f, -1e-39f, 1e-30f, 0.0f, -0.0f};
    for (int k = 0; k < 7; ++k) input[2 * (100 + k)] = input[2 * (100 + k) + 1] = tiny[k];
    std::fill(input.begin() + 2 * 200, input.begin() + 2 * 300, 0.0f);
    input[2 * 400] = std::nanf("");
    std::fill(input.begin() + 2 * 4700, input.end(), 0.0f);
    input[2 * 4700] = 1.0f;
    const unsigned engineCsr = engine::DenormalsOff::kEngineMode;
    // Inexact raised; with underflow raised too; nothing raised; flush-to-zero alone; and
    // denormals-are-zero alone.
    for (unsigned callerCsr : {0x1FA0u, 0x1FB0u, 0x1F80u, 0x9FA0u, 0x1FE0u}) {
        Harness h(44100), reference(44100);
        h.ApplyAll(32, 24, 128);
        reference.ApplyAll(32, 24, 128);
        const unsigned saved = _mm_getcsr();
        int frames = 1;
        for (size_t at = 0; at < input.size(); at += 2 * frames, frames = frames % 5 + 1) {
            frames = std::min<int>(frames, static_cast<int>((input.size() - at) / 2));
            float block[10], expected[10];
            std::copy_n(input.begin() + at, 2 * frames, block);
            std::copy_n(input.begin() + at, 2 * frames, expected);
            _mm_setcsr(engineCsr);
            reference.machine->ProcessAudio(expected, frames, 3);
            _mm_setcsr(callerCsr);
            h.machine->ProcessAudio(block, frames, 3);
            const unsigned after = _mm_getcsr();
            _mm_setcsr(saved);
            ASSERT_EQ(after, callerCsr) << at / 2;
            ASSERT_EQ(std::memcmp(block, expected, 2 * frames * sizeof(float)), 0)
                << std::hex << callerCsr << std::dec << " " << at / 2;
        }
        EXPECT_EQ(h.EngineState(), reference.EngineState());
    }
}

}  // namespace
}  // namespace lumo::test
