// The machine shell below the host boundary: allocation failure, frame lengths derived from the
// sample rate, and the parameter scales.
#include <gtest/gtest.h>

#include <new>

#include "tests/engine/EngineHarness.h"
#include "shell/Exports.h"

namespace {

bool gFailNothrowAllocation = false;

}  // namespace

// The machine allocates with the non-throwing form; this lets a test make it fail.
// Otherwise it allocates as the ordinary form does, so the ordinary delete matches.
void* operator new(std::size_t bytes, const std::nothrow_t&) noexcept {
    if (gFailNothrowAllocation) return nullptr;
    try {
        return ::operator new(bytes);
    } catch (...) {
        return nullptr;
    }
}

namespace lumo {
namespace {

TEST(CreateMachine, ReturnsNullWhenMemoryCannotBeHad) {
    gFailNothrowAllocation = true;
    MachineBase* machine = NewEqualiserMachine();
    gFailNothrowAllocation = false;
    EXPECT_EQ(machine, nullptr);
}

TEST(CreateMachine, GivesAFreshMachineThatDestroysThroughSlotZero) {
    MachineBase* machine = NewEqualiserMachine();
    ASSERT_NE(machine, nullptr);
    auto* equaliser = static_cast<EqualiserMachine*>(machine);
    EXPECT_EQ(machine->parameterBlock, equaliser->parameters);
    EXPECT_EQ(equaliser->extension.machine, equaliser);
    EXPECT_EQ(machine->reserved1, nullptr);
    EXPECT_EQ(machine->reserved2, nullptr);
    EXPECT_EQ(machine->DeletingDestructor(1), machine);
}

// Lengths are truncated, not rounded: 22050 × 0.15 = 3307.5 and 11025 × 0.15 = 1653.75.
TEST(Initialise, DerivesFrameLengthsFromTheSampleRate) {
    struct Expected { int sampleRateHz, fadeReset, fadeLength, tailLength; };
    for (const Expected& e : {Expected{44100, 8820, 6615, 8820}, Expected{22050, 4410, 3307, 4410},
                              Expected{11025, 2205, 1653, 2205}, Expected{8000, 1600, 1200, 1600},
                              Expected{96000, 19200, 14400, 19200}}) {
        test::Harness harness(e.sampleRateHz);
        EXPECT_EQ(harness.machine->fadeReset, e.fadeReset) << e.sampleRateHz;
        EXPECT_EQ(harness.machine->fadeLength, e.fadeLength) << e.sampleRateHz;
        EXPECT_EQ(harness.machine->tailLength, e.tailLength) << e.sampleRateHz;
        EXPECT_EQ(harness.machine->fadeCounter, 0);
    }
}

TEST(ParameterScale, GainIsExactlyZeroAtTheCentreForEveryRange) {
    test::Harness harness;
    EqualiserMachine& machine = *harness.machine;
    EXPECT_EQ(machine.gainScale.Value(0), -16.0);  // before any Range arrives
    EXPECT_EQ(machine.gainScale.Value(128), 16.0);
    for (int range = 0; range <= 32; ++range) {
        harness.ApplyAll(range, 8, kNoValue);
        EXPECT_EQ(machine.gainScale.Value(64), 0.0) << range;
        EXPECT_EQ(machine.gainScale.Value(0), -static_cast<double>(range)) << range;
        EXPECT_EQ(machine.gainScale.Value(128), static_cast<double>(range)) << range;
        EXPECT_EQ(machine.rangeScale.Value(range), static_cast<double>(range));
    }
}

TEST(ParameterScale, BandwidthRunsInTwelfthsAndRawValuesExtrapolate) {
    test::Harness harness;
    EqualiserMachine& machine = *harness.machine;
    EXPECT_DOUBLE_EQ(machine.bandwidthScale.Value(1), 1.0 / 12.0);
    EXPECT_DOUBLE_EQ(machine.bandwidthScale.Value(12), 1.0);
    EXPECT_DOUBLE_EQ(machine.bandwidthScale.Value(24), 2.0);
    EXPECT_DOUBLE_EQ(machine.bandwidthScale.Value(8), 2.0 / 3.0);
    EXPECT_DOUBLE_EQ(machine.gainScale.Value(192), 32.0);   // beyond the maximum, same line
    EXPECT_DOUBLE_EQ(machine.gainScale.Value(-64), -32.0);
}

}  // namespace
}  // namespace lumo
