// The audio thread changes parameters while the window's thread paints, and the Graph command
// computes the curve on the UI thread while the audio thread redesigns bands and refreshes it.
// Run under ThreadSanitizer (LUMO_SANITIZE=thread) these show any unguarded sharing.
#include <atomic>
#include <thread>

#include "WindowHarness.h"

namespace lumo::graphtest {
namespace {

// Once both threads are done, the painter shows the curve of the coefficients in force.
void ExpectPainterHasTheCurveOfTheCoefficients(GraphHarness& harness) {
    Curve expected;
    graph::ComputeCurve(harness.Coefficients(), harness.info.sampleRateHz, expected);
    const Curve& shown = harness.Graph().LatestCurve();
    for (int slot = 0; slot < graph::kCurveSlots; ++slot) {
        EXPECT_EQ(shown.slots[slot].x, expected.slots[slot].x) << slot;
        EXPECT_EQ(shown.slots[slot].y, expected.slots[slot].y) << slot;
    }
}

TEST_F(GraphWindowTest, AudioThreadChangesParametersWhileTheWindowPaints) {
    harness.Create();
    harness.ApplyAll(16, kDefaultBandwidth, kSliderCentre);
    ASSERT_NE(OpenByCommand(), nullptr);

    // The audio thread keeps changing parameters until the window has painted a few times
    // meanwhile, so the two really overlap however the threads are scheduled.
    std::atomic<bool> done{false};
    std::atomic<int> paints{0};
    std::thread audio([&] {
        std::vector<int> sliders(kBandCount, kNoValue);
        for (int call = 0; call < 400 || (paints < 5 && call < 1000000); ++call) {
            const int band = call % kBandCount;
            sliders[band] = (call * 37) % 129;
            harness.Apply(kNoValue, call % 50 == 0 ? 1 + call % 24 : kNoValue, sliders);
            sliders[band] = kNoValue;
        }
        done = true;
    });
    while (!done) paints += desktop::Pump();
    audio.join();
    desktop::Pump();

    EXPECT_GE(paints, 5);
    ExpectPainterHasTheCurveOfTheCoefficients(harness);
}

TEST_F(GraphWindowTest, GraphCommandAndAudioThreadComputeTheCurveTogether) {
    harness.Create();
    std::vector<int> sliders(kBandCount, kSliderCentre);
    sliders[2] = 100;
    sliders[kBandCount - 3] = 20;
    harness.Apply(24, kDefaultBandwidth, sliders);
    ASSERT_NE(OpenByCommand(), nullptr);

    // The audio thread moves a slider back and forth (each call redesigns a band and refreshes
    // the curve); the UI thread runs the Graph command, which reads the coefficients too, and
    // pumps.
    std::atomic<bool> done{false};
    std::thread audio([&] {
        std::vector<int> moving(kBandCount, kNoValue);
        for (int call = 0; call < 2000; ++call) {
            moving[kOneKhz] = call % 2 == 0 ? 40 : kSliderCentre;
            harness.Apply(kNoValue, kNoValue, moving);
        }
        done = true;
    });
    while (!done) {
        machine().RunCommand(abi::kCommandGraph);
        desktop::Pump();
    }
    audio.join();
    harness.ApplyNothingNew();  // a refresh turned away at the very end happens now
    desktop::Pump();
    ExpectPainterHasTheCurveOfTheCoefficients(harness);
    EXPECT_GT(graph().LatestCurve().slots[10].y, 0.1f);
}

}  // namespace
}  // namespace lumo::graphtest
