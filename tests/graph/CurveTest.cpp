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

// Computes the curve as the Graph command does and checks the frame around the n points.
void ComputeAndCheckFrame(EqualiserMachine& machine) {
    machine.ComputeCurve();
    const int n = machine.curvePointCount;
    ASSERT_EQ(n, kCurvePointCount);
    EXPECT_EQ(machine.curvePoints[0].x, 0.0f);
    EXPECT_EQ(machine.curvePoints[0].y, 0.0f);
    EXPECT_EQ(machine.curvePoints[n + 1].x, 1.0f);
    EXPECT_EQ(machine.curvePoints[n + 1].y, 0.0f);
    EXPECT_EQ(machine.curvePoints[1].x, 0.0f);
    EXPECT_EQ(machine.curvePoints[n].x, 1.0f);  // 120 steps land exactly on 20 kHz
    for (int i = 1; i < n; ++i) EXPECT_LT(machine.curvePoints[i].x, machine.curvePoints[i + 1].x);
}

TEST(ResponseCurve, FlatMachineIsZeroEverywhere) {
    GraphHarness harness;
    EqualiserMachine& machine = harness.Create();
    ComputeAndCheckFrame(machine);  // never designed: identity coefficients
    for (int i = 1; i <= kCurvePointCount; ++i) EXPECT_EQ(machine.curvePoints[i].y, 0.0f) << i;

    harness.ApplyAll(16, layout::kDefaultBandwidth, kSliderCentre);
    ComputeAndCheckFrame(machine);
    for (int i = 1; i <= kCurvePointCount; ++i)
        EXPECT_NEAR(machine.curvePoints[i].y, 0.0f, 1e-6f) << i;

    harness.ApplyAll(0, layout::kDefaultBandwidth, kFullBoost);  // Range 0: every band flat
    ComputeAndCheckFrame(machine);
    for (int i = 1; i <= kCurvePointCount; ++i)
        EXPECT_NEAR(machine.curvePoints[i].y, 0.0f, 1e-6f) << i;
}

TEST(ResponseCurve, OneBandAtFullBoostPeaksNextToItsCentre) {
    for (int rangeDb : {8, 32}) {
        for (int band : {layout::kOneKilohertzBand - 6, layout::kOneKilohertzBand,
                         layout::kOneKilohertzBand + 3}) {
            SCOPED_TRACE(testing::Message() << "Range " << rangeDb << " band " << band);
            GraphHarness harness;
            EqualiserMachine& machine = harness.Create();
            std::vector<int> sliders(kBandCount, kSliderCentre);
            sliders[band] = kFullBoost;
            harness.Apply(rangeDb, layout::kDefaultBandwidth, sliders);
            ComputeAndCheckFrame(machine);

            int peak = 1;
            for (int slot = 1; slot <= kCurvePointCount; ++slot)
                if (machine.curvePoints[slot].y > machine.curvePoints[peak].y) peak = slot;
            const float peakY = machine.curvePoints[peak].y;
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
    EqualiserMachine& machine = harness.Create();
    harness.ApplyAll(32, 24, kFullBoost);  // two-octave bands, all at +32 dB
    ComputeAndCheckFrame(machine);
    const float highest = std::max_element(machine.curvePoints + 1,
                                           machine.curvePoints + 1 + kCurvePointCount,
                                           [](CurvePoint a, CurvePoint b) { return a.y < b.y; })
                              ->y;
    EXPECT_GT(highest, 1.0f);

    const double step = std::pow(1000.0, 1.0 / (kCurvePointCount - 1));
    double angle = 2.0 * kPi * 20.0 / harness.info.sampleRateHz;
    for (int i = 0; i < kCurvePointCount; ++i, angle *= step)
        EXPECT_EQ(machine.curvePoints[i + 1].y, machine.EvaluateResponse(angle)) << i;
}

// The stored y agrees with the response of the stored coefficients computed in double at the
// sampled point, within float rounding.
void ExpectMatchesReference(const EqualiserMachine& machine, int sampleRateHz) {
    for (int i = 0; i < kCurvePointCount; ++i) {
        const double w = 2.0 * kPi * PointHz(i, kCurvePointCount) / sampleRateHz;
        const double y = machine.curvePoints[i + 1].y;
        const double atPoint = ReferenceResponse(machine, w);
        EXPECT_NEAR(y, atPoint, FloatRoundingBound(machine, w) + 1e-5 * std::abs(atPoint))
            << "point " << i << " at " << PointHz(i, kCurvePointCount) << " Hz";
    }
}

TEST(ResponseCurve, MatchesDoublePrecisionResponseOfDesignedBands) {
    for (int sampleRateHz : {44100, 22050, 96000}) {
        SCOPED_TRACE(sampleRateHz);
        GraphHarness harness(sampleRateHz);
        EqualiserMachine& machine = harness.Create();
        std::mt19937 random(sampleRateHz);
        std::uniform_int_distribution<int> slider(0, 128);
        for (int bandwidth : {1, layout::kDefaultBandwidth, 24}) {
            std::vector<int> sliders(kBandCount);
            for (int& value : sliders) value = slider(random);
            harness.Apply(20, bandwidth, sliders);
            ComputeAndCheckFrame(machine);
            ExpectMatchesReference(machine, sampleRateHz);
        }
    }
}

TEST(ResponseCurve, MatchesDoublePrecisionResponseOfArbitraryCoefficients) {
    // Any stable section, not only the designed peaking shapes: poles inside the unit circle.
    GraphHarness harness(48000);
    EqualiserMachine& machine = harness.Create();
    std::mt19937 random(7);
    std::uniform_real_distribution<double> radius(0.2, 0.97), angle(0.0, kPi), gain(-1.5, 1.5);
    for (BandFilter& filter : machine.bandFilters) {
        const double poleR = radius(random), poleA = angle(random);
        const double zeroR = radius(random), zeroA = angle(random);
        const double g = gain(random);
        filter.left.b[0] = static_cast<float>(g);
        filter.left.b[1] = static_cast<float>(-2.0 * g * zeroR * std::cos(zeroA));
        filter.left.b[2] = static_cast<float>(g * zeroR * zeroR);
        filter.left.a[0] = 1.0f;
        filter.left.a[1] = static_cast<float>(-2.0 * poleR * std::cos(poleA));
        filter.left.a[2] = static_cast<float>(poleR * poleR);
    }
    ComputeAndCheckFrame(machine);
    ExpectMatchesReference(machine, 48000);
}

TEST(ResponseCurve, GraphCommandComputesWithoutClearingTheRefresh) {
    GraphHarness harness;
    EqualiserMachine& machine = harness.Create();
    std::vector<int> sliders(kBandCount, kSliderCentre);
    sliders[layout::kOneKilohertzBand] = kFullBoost;
    harness.Apply(16, layout::kDefaultBandwidth, sliders);  // no window: nothing computed
    EXPECT_TRUE(machine.curveDirty);
    for (int i = 1; i <= kCurvePointCount; ++i) EXPECT_EQ(machine.curvePoints[i].y, 0.0f);
    machine.ComputeCurve();
    EXPECT_TRUE(machine.curveDirty);
    EXPECT_GT(machine.curvePoints[68].y, 0.4f);  // 1 kHz lies next to point 67 (slot 68)
}

// The hand-over of whole curves to the painter.
CurveSnapshot& BeginCurve(CurveMailbox& mailbox) {
    EXPECT_TRUE(mailbox.TryBeginWrite());
    return mailbox.BackBuffer();
}

void FillSnapshot(CurveSnapshot& snapshot, float value, int count) {
    for (CurvePoint& point : snapshot.points) point = {value, value};
    snapshot.pointCount = count;
}

TEST(CurveMailbox, PainterSeesTheNewestWholeCurve) {
    CurveMailbox mailbox;
    EXPECT_EQ(mailbox.Latest().pointCount, kCurvePointCount);  // before any curve: all (0, 0)
    EXPECT_EQ(mailbox.Latest().points[60].y, 0.0f);

    FillSnapshot(BeginCurve(mailbox), 1.0f, 10);
    mailbox.EndWrite(true);
    EXPECT_EQ(mailbox.Latest().points[5].y, 1.0f);
    EXPECT_EQ(mailbox.Latest().pointCount, 10);

    for (float value : {2.0f, 3.0f, 4.0f}) {  // the painter misses two of three
        FillSnapshot(BeginCurve(mailbox), value, 20);
        mailbox.EndWrite(true);
    }
    EXPECT_EQ(mailbox.Latest().points[5].y, 4.0f);

    FillSnapshot(BeginCurve(mailbox), 5.0f, 30);  // abandoned: never shown
    mailbox.EndWrite(false);
    EXPECT_EQ(mailbox.Latest().points[5].y, 4.0f);
}

TEST(CurveMailbox, SecondWriterIsTurnedAwayWithoutWaiting) {
    CurveMailbox mailbox;
    ASSERT_TRUE(mailbox.TryBeginWrite());
    bool otherThreadGotIt = true;
    std::thread other([&] { otherThreadGotIt = mailbox.TryBeginWrite(); });
    other.join();
    EXPECT_FALSE(otherThreadGotIt);
    mailbox.EndWrite(true);
    EXPECT_TRUE(mailbox.TryBeginWrite());
    mailbox.EndWrite(false);
}

TEST(CurveMailbox, PainterNeverSeesAMixOfTwoCurves) {
    // Two writers stamp every point of their curve with one value; the painter checks that every
    // snapshot it gets carries one stamp throughout and that the stamps never go backwards.
    CurveMailbox mailbox;
    std::atomic<bool> done{false};
    std::atomic<int> nextStamp{1};
    auto writer = [&] {
        while (!done.load()) {
            if (!mailbox.TryBeginWrite()) continue;
            const float stamp = static_cast<float>(nextStamp.fetch_add(1));
            FillSnapshot(mailbox.BackBuffer(), stamp, kCurvePointCount);
            mailbox.EndWrite(true);
        }
    };
    std::thread first(writer), second(writer);
    float lastStamp = 0.0f;
    int mixed = 0, backwards = 0;
    for (int read = 0; read < 200000; ++read) {
        const CurveSnapshot& snapshot = mailbox.Latest();
        const float stamp = snapshot.points[0].y;
        for (const CurvePoint& point : snapshot.points)
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
