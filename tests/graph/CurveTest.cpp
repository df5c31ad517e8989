// The response curve: its points against a double-precision reference, the anchors, and its
// hand-over to the painter.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <random>
#include <thread>

#include "GraphHarness.h"

namespace lumo::graphtest {
namespace {

constexpr int kFullBoost = 128;

// Computes the curve of a set of coefficients and checks the frame around the n points.
Curve ComputeAndCheckFrame(const CoefficientSnapshot& bands, int sampleRateHz) {
    Curve curve;
    graph::ComputeCurve(bands, sampleRateHz, curve);
    const CurvePoint* points = curve.slots;
    const int n = kCurvePointCount;
    EXPECT_EQ(points[0].x, 0.0f);
    EXPECT_EQ(points[0].y, 0.0f);
    EXPECT_EQ(points[n + 1].x, 1.0f);
    EXPECT_EQ(points[n + 1].y, 0.0f);
    EXPECT_EQ(points[1].x, 0.0f);
    EXPECT_EQ(points[n].x, 1.0f);  // 120 steps land exactly on 20 kHz
    for (int i = 1; i < n; ++i) EXPECT_LT(points[i].x, points[i + 1].x);
    return curve;
}

// The curve of the coefficients the machine's engine last published.
Curve ComputeAndCheckFrame(GraphHarness& harness) {
    return ComputeAndCheckFrame(harness.Coefficients(), harness.info.sampleRateHz);
}

TEST(ResponseCurve, FlatMachineIsZeroEverywhere) {
    GraphHarness harness;
    harness.Create();
    Curve curve = ComputeAndCheckFrame(harness);  // never designed: identity coefficients
    for (int i = 1; i <= kCurvePointCount; ++i) EXPECT_EQ(curve.slots[i].y, 0.0f) << i;

    harness.ApplyAll(16, kDefaultBandwidth, kSliderCentre);
    curve = ComputeAndCheckFrame(harness);
    for (int i = 1; i <= kCurvePointCount; ++i) EXPECT_NEAR(curve.slots[i].y, 0.0f, 1e-6f) << i;

    harness.ApplyAll(0, kDefaultBandwidth, kFullBoost);  // Range 0: every band flat
    curve = ComputeAndCheckFrame(harness);
    for (int i = 1; i <= kCurvePointCount; ++i) EXPECT_NEAR(curve.slots[i].y, 0.0f, 1e-6f) << i;
}

TEST(ResponseCurve, OneBandAtFullBoostPeaksNextToItsCentre) {
    for (int rangeDb : {8, 32}) {
        for (int band : {kOneKhz - 6, kOneKhz, kOneKhz + 3}) {
            SCOPED_TRACE(testing::Message() << "Range " << rangeDb << " band " << band);
            GraphHarness harness;
            harness.Create();
            std::vector<int> sliders(kBandCount, kSliderCentre);
            sliders[band] = kFullBoost;
            harness.Apply(rangeDb, kDefaultBandwidth, sliders);
            const Curve curve = ComputeAndCheckFrame(harness);

            int peak = 1;
            for (int slot = 1; slot <= kCurvePointCount; ++slot)
                if (curve.slots[slot].y > curve.slots[peak].y) peak = slot;
            const float peakY = curve.slots[peak].y;
            EXPECT_LE(peakY, rangeDb / 30.0f + 1e-5f);
            EXPECT_GT(peakY, 0.8f * rangeDb / 30.0f);

            // The peak is one of the two grid points around the centre frequency.
            const int point = peak - 1;
            const double centre = CentreHz(band);
            const bool below = PointHz(point, kCurvePointCount) <= centre &&
                               centre <= PointHz(point + 1, kCurvePointCount);
            const bool above = PointHz(point - 1, kCurvePointCount) <= centre &&
                               centre <= PointHz(point, kCurvePointCount);
            EXPECT_TRUE(below || above) << "peak at " << PointHz(point, kCurvePointCount)
                                        << " Hz for a centre at " << centre << " Hz";
        }
    }
}

TEST(ResponseCurve, OverlappingBoostsGoBeyondThirtyDecibelsUnchanged) {
    GraphHarness harness;
    harness.Create();
    harness.ApplyAll(32, 24, kFullBoost);  // two-octave bands, all at +32 dB
    const Curve curve = ComputeAndCheckFrame(harness);
    const float highest = std::max_element(curve.slots + 1, curve.slots + 1 + kCurvePointCount,
                                           [](CurvePoint a, CurvePoint b) { return a.y < b.y; })
                              ->y;
    EXPECT_GT(highest, 1.0f);

    const double step = std::pow(1000.0, 1.0 / (kCurvePointCount - 1));
    double angle = 2.0 * kPi * 20.0 / harness.info.sampleRateHz;
    for (int i = 0; i < kCurvePointCount; ++i, angle *= step)
        EXPECT_EQ(curve.slots[i + 1].y, graph::EvaluateResponseDbOver30(harness.Coefficients(), angle))
            << i;
}

// The stored y agrees with the response of the stored coefficients computed in double at the
// sampled point, within float rounding.
void ExpectMatchesReference(const CoefficientSnapshot& bands, const Curve& curve, int sampleRateHz) {
    for (int i = 0; i < kCurvePointCount; ++i) {
        const double w = 2.0 * kPi * PointHz(i, kCurvePointCount) / sampleRateHz;
        const double y = curve.slots[i + 1].y;
        const double atPoint = ReferenceResponse(bands, w);
        EXPECT_NEAR(y, atPoint, FloatRoundingBound(bands, w) + 1e-5 * std::abs(atPoint))
            << "point " << i << " at " << PointHz(i, kCurvePointCount) << " Hz";
    }
}

TEST(ResponseCurve, MatchesDoublePrecisionResponseOfDesignedBands) {
    for (int sampleRateHz : {44100, 22050, 96000}) {
        SCOPED_TRACE(sampleRateHz);
        GraphHarness harness(sampleRateHz);
        harness.Create();
        std::mt19937 random(sampleRateHz);
        std::uniform_int_distribution<int> slider(0, 128);
        for (int bandwidth : {1, kDefaultBandwidth, 24}) {
            std::vector<int> sliders(kBandCount);
            for (int& value : sliders) value = slider(random);
            harness.Apply(20, bandwidth, sliders);
            const Curve curve = ComputeAndCheckFrame(harness);
            ExpectMatchesReference(harness.Coefficients(), curve, sampleRateHz);
        }
    }
}

TEST(ResponseCurve, MatchesDoublePrecisionResponseOfArbitraryCoefficients) {
    // Any stable section, not only the designed peaking shapes: poles inside the unit circle.
    CoefficientSnapshot bands;
    bands.bandCount = kBandCount;
    std::mt19937 random(7);
    std::uniform_real_distribution<double> radius(0.2, 0.97), angle(0.0, kPi), gain(-1.5, 1.5);
    for (int band = 0; band < kBandCount; ++band) {
        engine::BiquadCoefficients& section = bands.bands[band];
        const double poleR = radius(random), poleA = angle(random);
        const double zeroR = radius(random), zeroA = angle(random);
        const double g = gain(random);
        section.b0 = static_cast<float>(g);
        section.b1 = static_cast<float>(-2.0 * g * zeroR * std::cos(zeroA));
        section.b2 = static_cast<float>(g * zeroR * zeroR);
        section.a1 = static_cast<float>(-2.0 * poleR * std::cos(poleA));
        section.a2 = static_cast<float>(poleR * poleR);
    }
    const Curve curve = ComputeAndCheckFrame(bands, 48000);
    ExpectMatchesReference(bands, curve, 48000);
}

// A low band at 192 kHz and 1/12 octave runs in double (its float coefficients would show and
// play +13 dB for +32): the curve shows the response of what runs, the double set.
TEST(ResponseCurve, BandThatRunsInDoubleIsDrawnAsItRuns) {
    const int rate = 192000, band = 1;
    GraphHarness harness(rate);
    harness.Create();
    std::vector<int> sliders(kBandCount, kSliderCentre);
    sliders[band] = kFullBoost;
    harness.Apply(32, 1, sliders);
    const CoefficientSnapshot& bands = harness.Coefficients();
    ASSERT_TRUE(bands.RunsInDouble(band));
    const engine::WideBiquadCoefficients& c = bands.wide[band];
    const Curve curve = ComputeAndCheckFrame(bands, rate);
    float highest = 0.0f;
    for (int i = 0; i < kCurvePointCount; ++i) {
        const std::complex<double> z1 = std::polar(1.0, -2.0 * kPi * PointHz(i, kCurvePointCount) / rate);
        const std::complex<double> h = (c.b0 + c.b1 * z1 + c.b2 * z1 * z1) / (1.0 + c.a1 * z1 + c.a2 * z1 * z1);
        EXPECT_NEAR(curve.slots[i + 1].y, 20.0 * std::log10(std::abs(h)) / 30.0, 1e-4) << "point " << i;
        highest = std::max(highest, curve.slots[i + 1].y);
    }
    EXPECT_GT(highest, 18.0f / 30.0f);  // the grid points miss the narrow peak's top by a few dB
}

TEST(ResponseCurve, GraphCommandComputesWithoutClearingTheRefresh) {
    GraphHarness harness;
    harness.Create();
    std::vector<int> sliders(kBandCount, kSliderCentre);
    sliders[kOneKhz] = kFullBoost;
    harness.Apply(16, kDefaultBandwidth, sliders);  // no window: nothing computed
    for (int i = 1; i <= kCurvePointCount; ++i) EXPECT_EQ(harness.Graph().LatestCurve().slots[i].y, 0.0f);
    harness.machine->RunCommand(abi::kCommandGraph);
    EXPECT_GT(harness.Graph().LatestCurve().slots[68].y, 0.4f);  // 1 kHz lies next to point 67 (slot 68)
}

// The hand-over of whole curves to the painter.
using CurveBuffer = engine::TripleBuffer<Curve>;

Curve& BeginCurve(CurveBuffer& mailbox) {
    EXPECT_TRUE(mailbox.TryBeginWrite());
    return mailbox.BackBuffer();
}

void FillSnapshot(Curve& snapshot, float value) {
    for (CurvePoint& point : snapshot.slots) point = {value, value};
}

TEST(TripleBuffer, PainterSeesTheNewestWholeCurve) {
    CurveBuffer mailbox;
    EXPECT_EQ(mailbox.Latest().slots[60].y, 0.0f);  // before any curve: all (0, 0)

    FillSnapshot(BeginCurve(mailbox), 1.0f);
    mailbox.EndWrite(true);
    EXPECT_EQ(mailbox.Latest().slots[5].y, 1.0f);

    for (float value : {2.0f, 3.0f, 4.0f}) {  // the painter misses two of three
        FillSnapshot(BeginCurve(mailbox), value);
        mailbox.EndWrite(true);
    }
    EXPECT_EQ(mailbox.Latest().slots[5].y, 4.0f);

    FillSnapshot(BeginCurve(mailbox), 5.0f);  // abandoned: never shown
    mailbox.EndWrite(false);
    EXPECT_EQ(mailbox.Latest().slots[5].y, 4.0f);
}

TEST(TripleBuffer, SecondWriterIsTurnedAwayWithoutWaiting) {
    CurveBuffer mailbox;
    ASSERT_TRUE(mailbox.TryBeginWrite());
    bool otherThreadGotIt = true;
    std::thread other([&] { otherThreadGotIt = mailbox.TryBeginWrite(); });
    other.join();
    EXPECT_FALSE(otherThreadGotIt);
    mailbox.EndWrite(true);
    EXPECT_TRUE(mailbox.TryBeginWrite());
    mailbox.EndWrite(false);
}

TEST(TripleBuffer, PainterNeverSeesAMixOfTwoCurves) {
    // Two writers stamp every point of their curve with one value; the painter checks that every
    // snapshot it gets carries one stamp throughout and that the stamps never go backwards.
    CurveBuffer mailbox;
    std::atomic<bool> done{false};
    std::atomic<int> nextStamp{1};
    auto writer = [&] {
        while (!done.load()) {
            if (!mailbox.TryBeginWrite()) continue;
            const float stamp = static_cast<float>(nextStamp.fetch_add(1));
            FillSnapshot(mailbox.BackBuffer(), stamp);
            mailbox.EndWrite(true);
        }
    };
    std::thread first(writer), second(writer);
    float lastStamp = 0.0f;
    int mixed = 0, backwards = 0;
    for (int read = 0; read < 200000; ++read) {
        const Curve& snapshot = mailbox.Latest();
        const float stamp = snapshot.slots[0].y;
        for (const CurvePoint& point : snapshot.slots)
            if (point.x != stamp || point.y != stamp) ++mixed;
        if (stamp < lastStamp) ++backwards;
        lastStamp = stamp;
    }
    done = true;
    first.join();
    second.join();
    EXPECT_EQ(mixed, 0);
    EXPECT_EQ(backwards, 0);
    EXPECT_GT(lastStamp, 1.0f);
}

}  // namespace
}  // namespace lumo::graphtest
