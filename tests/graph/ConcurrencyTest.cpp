// The audio thread changes parameters while the window's thread paints, and the Graph command
// computes the curve on the UI thread while the audio thread refreshes it. Run under
// ThreadSanitizer (LUMO_SANITIZE=thread) these show any unguarded sharing.
#include <atomic>
#include <thread>

#include "WindowHarness.h"

namespace lumo::graphtest {
namespace {

void ExpectPainterHasTheMachinesCurve(EqualiserMachine& machine) {
    const CurveSnapshot& shown = machine.curveMailbox.Latest();
    ASSERT_EQ(shown.pointCount, machine.curvePointCount);
    for (int slot = 0; slot < shown.pointCount + 2; ++slot) {
        EXPECT_EQ(shown.points[slot].x, machine.curvePoints[slot].x) << slot;
        EXPECT_EQ(shown.points[slot].y, machine.curvePoints[slot].y) << slot;
    }
}

TEST_F(GraphWindowTest, AudioThreadChangesParametersWhileTheWindowPaints) {
    harness.Create();
    harness.ApplyAll(16, layout::kDefaultBandwidth, kSliderCentre);
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
    EXPECT_FALSE(machine().curveDirty);
    ExpectPainterHasTheMachinesCurve(machine());
}

TEST_F(GraphWindowTest, GraphCommandAndAudioThreadComputeTheCurveTogether) {
    harness.Create();
    std::vector<int> sliders(kBandCount, kSliderCentre);
    sliders[2] = 100;
    sliders[kBandCount - 3] = 20;
    harness.Apply(24, layout::kDefaultBandwidth, sliders);
    ASSERT_NE(OpenByCommand(), nullptr);

    // The audio thread refreshes without new coefficients (as after a change it has already
    // designed); the UI thread runs the Graph command and pumps.
    std::atomic<bool> done{false};
    std::thread audio([&] {
        for (int call = 0; call < 2000; ++call) {
            harness.machine->curveDirty = true;
            harness.ApplyNothingNew();
        }
        done = true;
    });
    while (!done) {
        machine().RunCommand(1);
        desktop::Pump();
    }
    audio.join();
    harness.ApplyNothingNew();  // a refresh turned away at the very end happens now
    EXPECT_FALSE(machine().curveDirty);
    desktop::Pump();
    ExpectPainterHasTheMachinesCurve(machine());
    EXPECT_GT(machine().curvePoints[10].y, 0.1f);
}

}  // namespace
}  // namespace lumo::graphtest
