// Band filter design and parameter changes.
#include <gtest/gtest.h>

#include <cmath>

#include "EngineHarness.h"

namespace lumo::test {
namespace {

// Every deliverable's 1 kHz band at 44100 Hz, 2/3 octave, Range 16, slider 128 (+16 dB).
TEST(DesignBand, WorkedExampleAtTheOneKilohertzBand) {
    Harness h(44100);
    h.ApplyAll(16, 8, 64);
    h.ApplySlider(kOneKhz, 128);
    const BiquadCoefficients& s = h.Coefficients(kOneKhz);
    EXPECT_NEAR(s.b0, 1.069252, 5e-7);
    EXPECT_NEAR(s.b1, -1.953913, 5e-7);
    EXPECT_NEAR(s.b2, 0.904662, 5e-7);
    EXPECT_EQ(s.a1, s.b1);
    EXPECT_NEAR(s.a2, 0.973914, 5e-7);
}

// Each band peaks at its own centre 1000 * 2^((i - K) S) Hz with exactly the slider's gain.
TEST(DesignBand, EachBandPeaksAtItsCentreWithTheSliderGain) {
    Harness h(44100);
    for (int slider : {0, 32, 128}) {
        h.ApplyAll(12, kDefaultBandwidth, slider);
        const double gainDb = 12.0 * (slider - 64) / 64.0;
        for (int band = 0; band < kBandCount; ++band) {
            if (CentreHz(band) * 2.0 >= 44100.0) continue;
            SCOPED_TRACE(band);
            const BiquadCoefficients& s = h.Coefficients(band);
            const double w0 = 2.0 * kPi * CentreHz(band) / 44100.0;
            EXPECT_NEAR(ResponseDb(s, w0), gainDb, 0.05);
            // A quarter of the spacing to either side the boost or cut is smaller.
            const double side = std::pow(2.0, kSpacingOctaves / 4.0);
            EXPECT_LT(std::fabs(ResponseDb(s, w0 * side)), std::fabs(gainDb));
            EXPECT_LT(std::fabs(ResponseDb(s, w0 / side)), std::fabs(gainDb));
        }
    }
}

TEST(DesignBand, WiderBandwidthReachesFurtherFromTheCentre) {
    const double w0 = 2.0 * kPi * 1000.0 / 44100.0;
    double previousDb = 0.0;
    for (int bandwidth : {1, 8, 12, 24}) {
        Harness h(44100);
        h.ApplyAll(16, bandwidth, 64);
        h.ApplySlider(kOneKhz, 128);
        const double octaveAwayDb = ResponseDb(h.Coefficients(kOneKhz), w0 * 2.0);
        EXPECT_GT(octaveAwayDb, previousDb);
        previousDb = octaveAwayDb;
    }
}

TEST(DesignBand, RangeZeroAndCentreSliderGiveFlatBands) {
    Harness h(48000);
    h.ApplyAll(0, 5, 128);  // Range 0: every slider is 0 dB
    for (int band = 0; band < kBandCount; ++band) {
        const BiquadCoefficients& s = h.Coefficients(band);
        EXPECT_EQ(s.b0, 1.0f);
        EXPECT_EQ(s.b1, s.a1);
        EXPECT_EQ(s.b2, s.a2);
        EXPECT_NE(h.Engine().Activity(band), BandActivity::Active);
    }
    h.ApplyAll(32, 24, 64);
    for (int band = 0; band < kBandCount; ++band) {
        const BiquadCoefficients& s = h.Coefficients(band);
        EXPECT_EQ(s.b0, 1.0f);
        EXPECT_EQ(s.b2, s.a2);
        EXPECT_NE(h.Engine().Activity(band), BandActivity::Active);
    }
}

// Every band of every design stays stable; bands at or above half the sample rate are left
// as the identity and asleep.
TEST(DesignBand, StableAtEverySampleRateAndSetting) {
    const int rates[] = {8000, 11025, 16000, 22050, 32000, 40000, 40317, 40319,
                         44100, 48000, 88200, 96000, 176400, 192000};
    int realised = 0;
    for (int rate : rates) {
        Harness h(rate);
        for (int range : {1, 16, 32})
            for (int bandwidth : {1, 8, 12, 24})
                for (int slider : {0, 1, 63, 65, 127, 128}) {
                    h.ApplyAll(range, bandwidth, slider);
                    for (int band = 0; band < kBandCount; ++band) {
                        const BiquadCoefficients& s = h.Coefficients(band);
                        const bool aboveNyquist = CentreHz(band) * 2.0 >= rate;
                        if (aboveNyquist) {
                            EXPECT_TRUE(s.IsIdentity()) << rate << " Hz, band " << band;
                            EXPECT_EQ(h.Engine().Activity(band), BandActivity::Asleep);
                        } else {
                            EXPECT_LT(LargestPoleMagnitude(s), 1.0)
                                << rate << " Hz, band " << band << ", range " << range
                                << ", bandwidth " << bandwidth << ", slider " << slider;
                            realised += s.IsIdentity() ? 0 : 1;
                        }
                    }
                }
    }
    EXPECT_GT(realised, 0);
}

// Below half the sample rate every band keeps its design at the usual rates.
TEST(DesignBand, EveryBandBelowNyquistIsRealised) {
    for (int rate : {22050, 44100, 48000, 96000, 192000}) {
        Harness h(rate);
        h.ApplyAll(32, 1, 0);
        for (int band = 0; band < kBandCount; ++band) {
            if (CentreHz(band) * 2.0 < rate) {
                EXPECT_FALSE(h.Coefficients(band).IsIdentity()) << rate << " " << band;
            }
        }
    }
}

TEST(DesignBand, BandAboveNyquistThatWasActiveStopsRinging) {
    Harness h(44100);
    const int top = kBandCount - 1;
    h.ApplyAll(16, 8, 128);
    std::vector<float> noise = Noise(256, 1);
    h.Process(noise);
    ASSERT_EQ(h.Engine().Activity(top), BandActivity::Active);
    h.info.sampleRateHz = 22050;  // the top band's centre is now above half the sample rate
    h.ApplySlider(top, 0);
    EXPECT_TRUE(h.Coefficients(top).IsIdentity());
    EXPECT_EQ(h.Engine().Activity(top), BandActivity::Asleep);
    h.Process(noise);
    const engine::StereoBiquadState state = h.Engine().BandState(top);
    EXPECT_EQ(state.left1, 0.0f);
    EXPECT_EQ(state.right2, 0.0f);
}

// Bytes outside a parameter's minimum..maximum are taken as the nearest end.
TEST(ApplyParameters, EveryByteGivesFiniteStableCoefficients) {
    auto coefficients = [](Harness& h) {
        std::vector<float> all;
        for (int band = 0; band < kBandCount; ++band) {
            const BiquadCoefficients& c = h.Coefficients(band);
            all.insert(all.end(), {c.b0, c.b1, c.b2, c.a1, c.a2});
        }
        return all;
    };
    auto check = [](Harness& h, int byte) {
        for (int band = 0; band < kBandCount; ++band) {
            const BiquadCoefficients& s = h.Coefficients(band);
            for (float c : {s.b0, s.b1, s.b2, s.a1, s.a2})
                ASSERT_TRUE(std::isfinite(c)) << "byte " << byte << " band " << band;
            ASSERT_LT(LargestPoleMagnitude(s), 1.0) << "byte " << byte << " band " << band;
        }
    };
    const int probe = kOneKhz;
    for (int byte = 0; byte < 256; ++byte) {
        if (byte == kNoValue) continue;
        Harness range(44100), bandwidth(44100), slider(44100);
        std::vector<int> sliders(kBandCount, 100);
        range.Apply(byte, 8, sliders);
        bandwidth.Apply(16, byte, sliders);
        sliders[probe] = byte;
        slider.Apply(16, 8, sliders);
        check(range, byte);
        check(bandwidth, byte);
        check(slider, byte);

        Harness clampedRange(44100), clampedBandwidth(44100), clampedSlider(44100);
        sliders[probe] = 100;
        clampedRange.Apply(std::min(byte, 32), 8, sliders);
        clampedBandwidth.Apply(16, std::clamp(byte, 1, 24), sliders);
        sliders[probe] = std::min(byte, 128);
        clampedSlider.Apply(16, 8, sliders);
        EXPECT_EQ(coefficients(range), coefficients(clampedRange)) << byte;
        EXPECT_EQ(coefficients(bandwidth), coefficients(clampedBandwidth)) << byte;
        EXPECT_EQ(coefficients(slider), coefficients(clampedSlider)) << byte;
        EXPECT_EQ(range.Engine().GainScale().Value(engine::kSliderMaximum), std::min(byte, 32));
    }
}

// Until the host's first full call the engine holds each parameter's default: a first call
// carrying one slider designs that band as a full call of defaults would.
TEST(ApplyParameters, FirstPartialCallUsesTheDefaults) {
    Harness partial(44100);
    partial.ApplySlider(3, 100);
    Harness full(44100);
    full.ApplyAll(Record(kRangeParameter).defaultValue, Record(kBandwidthParameter).defaultValue, 64);
    full.ApplySlider(3, 100);
    const BiquadCoefficients& p = partial.Coefficients(3);
    const BiquadCoefficients& f = full.Coefficients(3);
    EXPECT_EQ(0, std::memcmp(&p, &f, sizeof p));
    EXPECT_EQ(partial.Engine().Activity(3), BandActivity::Active);
    // The other bands were not designed at all.
    EXPECT_TRUE(partial.Coefficients(4).IsIdentity());
}

TEST(ApplyParameters, CallWithoutNewValuesChangesNothing) {
    Harness h(44100);
    std::vector<int> sliders(kBandCount);
    for (int band = 0; band < kBandCount; ++band) sliders[band] = (band * 37) % 129;
    h.Apply(20, 7, sliders);
    std::vector<float> audio = Noise(300, 2);
    h.Process(audio);
    h.host.textChanged.clear();

    const std::vector<float> before = h.EngineState();
    h.ApplyAll(kNoValue, kNoValue, kNoValue);
    EXPECT_EQ(h.EngineState(), before);
    EXPECT_TRUE(h.host.textChanged.empty());
}

TEST(ApplyParameters, OneSliderRedesignsOnlyItsBand) {
    Harness h(44100);
    h.ApplyAll(16, 8, 96);
    std::vector<float> audio = Noise(512, 3);
    h.Process(audio);
    h.host.textChanged.clear();
    const float b0Before = h.Coefficients(2).b0;
    const float b0OfBand5Before = h.Coefficients(5).b0;
    const engine::StereoBiquadState stateBefore = h.Engine().BandState(2);

    h.ApplySlider(5, 10);
    EXPECT_TRUE(h.host.textChanged.empty());
    EXPECT_EQ(h.Engine().BandSlider(5), 10);
    EXPECT_NE(h.Coefficients(5).b0, b0OfBand5Before);
    EXPECT_EQ(h.Engine().Activity(5), BandActivity::Active);
    EXPECT_EQ(h.Engine().Activity(2), BandActivity::Active);
    EXPECT_EQ(h.Coefficients(2).b0, b0Before);
    EXPECT_EQ(h.Engine().BandState(2).left1, stateBefore.left1);  // ring state untouched
    EXPECT_NE(stateBefore.left1, 0.0f);
}

TEST(ApplyParameters, RangeChangeRefreshesTheTextsOfBandsOffCentre) {
    Harness h(44100);
    std::vector<int> sliders(kBandCount, 64);
    sliders[kBandCount - 1] = 0;
    sliders[1] = 65;
    sliders[kOneKhz] = 128;
    h.Apply(16, 8, sliders);
    const std::vector<int> expected = {1 + 2, kOneKhz + 2, kBandCount - 1 + 2};
    EXPECT_EQ(h.host.textChanged, expected);
    for (void* handle : h.host.textChangedHandles) EXPECT_EQ(handle, &h.host.handleTag);

    h.host.textChanged.clear();
    h.Apply(kNoValue, 3, std::vector<int>(kBandCount, kNoValue));  // Bandwidth only
    EXPECT_TRUE(h.host.textChanged.empty());
    h.Apply(4, kNoValue, std::vector<int>(kBandCount, kNoValue));
    EXPECT_EQ(h.host.textChanged, expected);
}

TEST(ApplyParameters, ActivityRule) {
    Harness h(44100);
    h.ApplyAll(16, 8, 64);
    for (int band = 0; band < kBandCount; ++band)
        EXPECT_EQ(h.Engine().Activity(band), BandActivity::Asleep);
    h.ApplySlider(2, 70);
    EXPECT_EQ(h.Engine().Activity(2), BandActivity::Active);
    std::vector<float> audio = Noise(500, 4);
    h.Process(audio);  // an active band's ring-out is not counted down
    EXPECT_EQ(h.Engine().Activity(2), BandActivity::Active);
}

// A band that goes flat rings out for the 0.2 s armed at its last active design (8820 frames at
// 44100 Hz), counted down by the frames of each call.
TEST(ApplyParameters, FlatBandRingsOutFromTheRingOutLastArmed) {
    const std::vector<float> noise = Noise(500, 4);
    auto activeThenFlat = [&noise](Harness& h) {
        h.ApplyAll(16, 8, 64);
        h.ApplySlider(2, 70);
        std::vector<float> audio = noise;
        h.Process(audio);
        h.ApplySlider(2, 64);  // flat again
        EXPECT_EQ(h.Engine().Activity(2), BandActivity::RingingOut);
    };
    Harness counted(44100);
    activeThenFlat(counted);
    std::vector<float> audio = noise;
    counted.Process(audio);
    EXPECT_EQ(counted.RingOutLeft(2), 8820 - 500);

    Harness rearmed(44100);
    activeThenFlat(rearmed);
    audio = noise;
    rearmed.Process(audio);
    rearmed.ApplySlider(2, 63);
    rearmed.ApplySlider(2, 64);
    EXPECT_EQ(rearmed.RingOutLeft(2), 8820);

    Harness rangeZero(44100);
    activeThenFlat(rangeZero);
    rangeZero.ApplySlider(2, 0);
    rangeZero.Apply(0, kNoValue, std::vector<int>(kBandCount, kNoValue));  // Range 0: all flat
    EXPECT_EQ(rangeZero.Engine().Activity(2), BandActivity::RingingOut);
    EXPECT_EQ(rangeZero.RingOutLeft(2), 8820);
}

}  // namespace
}  // namespace lumo::test
