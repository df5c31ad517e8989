// The machine shell below the host boundary: allocation failure, frame lengths derived from the
// sample rate, and the parameter scales.
#include <gtest/gtest.h>

#include <new>

#include "tests/engine/EngineHarness.h"

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

using product::kFirstBandParameter;
using product::kRangeParameter;

TEST(CreateMachine, ReturnsNullWhenMemoryCannotBeHad) {
    gFailNothrowAllocation = true;
    abi::MachineBase* machine = NewEqualiserMachine();
    gFailNothrowAllocation = false;
    EXPECT_EQ(machine, nullptr);
}

TEST(CreateMachine, GivesAFreshMachineThatDestroysThroughSlotZero) {
    abi::MachineBase* machine = NewEqualiserMachine();
    ASSERT_NE(machine, nullptr);
    EXPECT_NE(machine->parameterBlock, nullptr);
    EXPECT_EQ(machine->reserved1, nullptr);
    EXPECT_EQ(machine->reserved2, nullptr);
    EXPECT_EQ(machine->hostInfo, nullptr);
    EXPECT_EQ(machine->callbacks, nullptr);
    EXPECT_EQ(machine->DeletingDestructor(1), machine);
}

// Outside the host's contract but one slip away from it: calls before Initialise, and a host
// without a callbacks table, get defaults instead of a crash.
TEST(CreateMachine, CallsBeforeInitialiseAndWithoutCallbacksAreSafe) {
    {
        test::MachinePointer machine = test::NewMachine();
        // Before Initialise: no host records yet; the scales hold their initial ends.
        EXPECT_STREQ(machine->ParameterValueText(kFirstBandParameter, 0), "-16.0 dB");
        machine->ApplyParameters();
        std::vector<float> audio(2 * 64, 0.25f);
        EXPECT_TRUE(machine->ProcessAudio(audio.data(), 64, 3));
        EXPECT_EQ(audio, std::vector<float>(2 * 64, 0.25f));
        EXPECT_FALSE(machine->ProcessAudio(audio.data(), 64, 2));
    }
    {
        test::MachinePointer machine = test::NewMachine();
        abi::HostInfo info{120, 4, 44100};
        machine->hostInfo = &info;
        machine->Initialise(nullptr);  // no callbacks table: nothing registered, no handle
        for (int i = 0; i < ParameterCount(); ++i)
            machine->parameterBlock[i] = static_cast<unsigned char>(Record(i).defaultValue);
        machine->parameterBlock[kRangeParameter] = 12;  // a Range change asks for no texts
        machine->parameterBlock[kFirstBandParameter] = 100;
        machine->ApplyParameters();
        machine->RunCommand(abi::kCommandGraph);  // the window opens without title or owner
        EXPECT_NE(machine->Graph().Window(), nullptr);
        std::vector<float> audio(2 * 64, 0.25f);
        EXPECT_TRUE(machine->ProcessAudio(audio.data(), 64, 3));
        EXPECT_TRUE(machine->ProcessAudio(audio.data(), 64, 2));  // renders in place
        for (float v : audio) ASSERT_TRUE(std::isfinite(v));
    }
}

// Lengths are truncated, not rounded: 22050 x 0.15 = 3307.5 and 11025 x 0.15 = 1653.75.
TEST(Initialise, DerivesFrameLengthsFromTheSampleRate) {
    struct Expected { int sampleRateHz, outputFrames, fadeFrames; };
    for (const Expected& e : {Expected{44100, 8820, 6615}, Expected{22050, 4410, 3307},
                              Expected{11025, 2205, 1653}, Expected{8000, 1600, 1200},
                              Expected{96000, 19200, 14400}}) {
        test::Harness harness(e.sampleRateHz);
        engine::Equaliser& engine = harness.Engine();
        EXPECT_EQ(engine.OutputFramesLeft(), 0);
        EXPECT_EQ(engine.FadeFrames(), e.fadeFrames) << e.sampleRateHz;
        std::vector<float> none;
        harness.Process(none);  // a call with input re-arms the output that follows it
        EXPECT_EQ(engine.OutputFramesLeft(), e.outputFrames) << e.sampleRateHz;
    }
}

TEST(ParameterScale, GainIsExactlyZeroAtTheCentreForEveryRange) {
    test::Harness harness;
    const engine::Equaliser& engine = harness.Engine();
    EXPECT_EQ(engine.GainScale().Value(0), -16.0);  // before any Range arrives
    EXPECT_EQ(engine.GainScale().Value(128), 16.0);
    for (int range = 0; range <= 32; ++range) {
        harness.ApplyAll(range, 8, test::kNoValue);
        EXPECT_EQ(engine.GainScale().Value(64), 0.0) << range;
        EXPECT_EQ(engine.GainScale().Value(0), -static_cast<double>(range)) << range;
        EXPECT_EQ(engine.GainScale().Value(128), static_cast<double>(range)) << range;
        EXPECT_EQ(engine::kRangeScale.Value(range), static_cast<double>(range));
    }
}

TEST(ParameterScale, BandwidthRunsInTwelfthsAndRawValuesExtrapolate) {
    test::Harness harness;
    const engine::Equaliser& engine = harness.Engine();
    const engine::ParameterScale& bandwidth = engine::kBandwidthScale;
    EXPECT_DOUBLE_EQ(bandwidth.Value(1), 1.0 / 12.0);
    EXPECT_DOUBLE_EQ(bandwidth.Value(12), 1.0);
    EXPECT_DOUBLE_EQ(bandwidth.Value(24), 2.0);
    EXPECT_DOUBLE_EQ(bandwidth.Value(8), 2.0 / 3.0);
    EXPECT_DOUBLE_EQ(engine.GainScale().Value(192), 32.0);   // beyond the maximum, same line
    EXPECT_DOUBLE_EQ(engine.GainScale().Value(-64), -32.0);
}

}  // namespace
}  // namespace lumo
