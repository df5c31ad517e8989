// Value texts the machine gives the host for raw parameter values.
#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <string>
#include <thread>

#include "TestPlugins.h"

namespace lumo::test {
namespace {

class ValueTextTest : public testing::TestWithParam<MachineCase> {
protected:
    void SetUp() override {
        machine_ = std::make_unique<host::HostedMachine>(Library(GetParam()));
        machine_->Initialise();
    }
    // Applies every parameter (defaults) with Range set to rangeDb.
    void ApplyRange(int rangeDb) {
        machine_->SetParameter(0, rangeDb);
        machine_->ApplyParameters();
    }
    std::string Text(int index, int raw) { return machine_->ParameterValueText(index, raw); }
    int LastBandIndex() const { return GetParam().bandCount + 1; }

    std::unique_ptr<host::HostedMachine> machine_;
};

TEST_P(ValueTextTest, RangeAndBandwidth) {
    EXPECT_EQ(Text(0, 16), "16.0 dB");
    EXPECT_EQ(Text(0, 0), "0.0 dB");
    EXPECT_EQ(Text(0, 32), "32.0 dB");
    EXPECT_EQ(Text(1, 8), "0.67 octave");
    EXPECT_EQ(Text(1, 12), "1.00 octave");
    EXPECT_EQ(Text(1, 24), "2.00 octave");
    EXPECT_EQ(Text(1, 1), "0.08 octave");
}

TEST_P(ValueTextTest, BandSlidersBeforeAnyRangeSpanSixteenDecibels) {
    EXPECT_EQ(Text(2, 0), "-16.0 dB");
    EXPECT_EQ(Text(2, 128), "16.0 dB");
    EXPECT_EQ(Text(2, 64), "0.0 dB");
    EXPECT_EQ(Text(LastBandIndex(), 96), "8.0 dB");
}

TEST_P(ValueTextTest, BandPrecisionFollowsRange) {
    ApplyRange(4);
    EXPECT_EQ(Text(2, 96), "2.00 dB");
    EXPECT_EQ(Text(LastBandIndex(), 0), "-4.00 dB");
    ApplyRange(6);
    EXPECT_EQ(Text(2, 96), "3.00 dB");
    ApplyRange(7);
    EXPECT_EQ(Text(2, 96), "3.5 dB");
    ApplyRange(32);
    EXPECT_EQ(Text(2, 0), "-32.0 dB");
    EXPECT_EQ(Text(2, 128), "32.0 dB");
}

// The host asks for texts on its UI thread while its audio thread applies parameters: every text
// follows one Range in force, never a mix of two (and ThreadSanitizer sees no race).
TEST_P(ValueTextTest, TextsFollowOneRangeWhileTheAudioThreadChangesIt) {
    ApplyRange(0);
    std::atomic<bool> done{false};
    std::thread audio([&] {
        for (int i = 0; i < 4000; ++i) ApplyRange(i % 2 == 0 ? 32 : 0);
        done.store(true);
    });
    long texts = 0, wrong = 0;
    std::string example;
    while (!done.load()) {
        const std::string text = Text(2, 96);
        if (text != "0.0 dB" && text != "16.0 dB") {
            ++wrong;
            example = text;
        }
        ++texts;
    }
    audio.join();
    EXPECT_EQ(wrong, 0) << "of " << texts << ", e.g. " << example;
}

TEST_P(ValueTextTest, RangeZeroGivesZeroForEverySlider) {
    ApplyRange(0);
    for (int slider : {0, 1, 63, 64, 65, 127, 128}) EXPECT_EQ(Text(2, slider), "0.0 dB") << slider;
}

TEST_P(ValueTextTest, IndicesBeyondTheTableAreAnsweredAsBandSliders) {
    ApplyRange(4);
    for (int index : {LastBandIndex() + 1, LastBandIndex() + 50, 1000, -1}) {
        EXPECT_EQ(Text(index, 96), "2.00 dB") << index;
        EXPECT_EQ(Text(index, 0), "-4.00 dB") << index;
    }
}

TEST_P(ValueTextTest, InRangeTextsFitElevenCharacters) {
    for (int range : {0, 1, 4, 16, 32}) {
        ApplyRange(range);
        for (int index = 0; index <= LastBandIndex(); ++index) {
            const host::abi::ParameterRecord& record = machine_->Record(index);
            for (int raw = record.minimum; raw <= record.maximum; ++raw)
                EXPECT_LE(Text(index, raw).size(), 11u) << index << " " << raw;
        }
    }
}

// Raw values far outside any parameter's range still get a number and a unit.
TEST_P(ValueTextTest, ExtremeRawValuesGiveSaneTexts) {
    for (int range : {0, 16}) {
        ApplyRange(range);
        for (int index : {0, 1, 2, LastBandIndex() + 3}) {
            for (int raw : {INT_MIN, INT_MIN + 1, -1000000, -1, 255, 1000000, INT_MAX - 1, INT_MAX}) {
                const std::string text = Text(index, raw);
                SCOPED_TRACE(std::to_string(index) + " " + std::to_string(raw) + " -> " + text);
                ASSERT_FALSE(text.empty());
                EXPECT_LT(text.size(), 64u);
                char* end = nullptr;
                const double value = std::strtod(text.c_str(), &end);
                EXPECT_TRUE(std::isfinite(value));
                const std::string unit = index == 1 ? " octave" : " dB";
                EXPECT_EQ(std::string(end), unit);
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllMachines, ValueTextTest, testing::ValuesIn(AllMachines()),
                         MachineName());

}  // namespace
}  // namespace lumo::test
