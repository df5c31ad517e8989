// The parameter protocol as the host runs it, the machine's refresh requests, and audio driven
// through the host's block loop.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "TestPlugins.h"

namespace lumo::test {
namespace {

constexpr int kSampleRateHz = 44100;
constexpr double kPi = 3.14159265358979323846;

class ParameterAudioTest : public testing::TestWithParam<MachineCase> {
protected:
    void SetUp() override {
        machine_ = std::make_unique<host::HostedMachine>(Library(GetParam()));
        machine_->Initialise();
    }
    const unsigned char* Block() const {
        return machine_->Machine()->parameterBlock;
    }
    int BandIndex(int band) const { return band + 2; }
    std::unique_ptr<host::HostedMachine> machine_;
};

TEST_P(ParameterAudioTest, FirstApplyCarriesEveryValueLaterOnlyChanges) {
    machine_->SetParameter(BandIndex(0), 10);
    machine_->ApplyParameters();
    for (int i = 0; i < machine_->ParameterCount(); ++i)
        EXPECT_EQ(Block()[i], i == BandIndex(0) ? 10 : machine_->Record(i).defaultValue) << i;

    machine_->SetParameter(1, 3);
    machine_->ApplyParameters();
    for (int i = 0; i < machine_->ParameterCount(); ++i)
        EXPECT_EQ(Block()[i], i == 1 ? 3 : 255) << i;

    machine_->ApplyParameters();
    for (int i = 0; i < machine_->ParameterCount(); ++i) EXPECT_EQ(Block()[i], 255) << i;
}

TEST_P(ParameterAudioTest, RangeChangeRefreshesBandsAwayFromCentre) {
    const int last = GetParam().bandCount - 1;
    machine_->SetParameter(BandIndex(0), 0);
    machine_->SetParameter(BandIndex(3), 100);
    machine_->SetParameter(BandIndex(last), 65);
    machine_->ApplyParameters();  // the first call carries Range

    const std::vector<int> expected = {BandIndex(0), BandIndex(3), BandIndex(last)};
    auto indices = [&] {
        std::vector<int> result;
        for (const host::TextChange& change : machine_->TextChanges()) {
            EXPECT_EQ(change.handle, machine_->Handle());
            result.push_back(change.parameterIndex);
        }
        return result;
    };
    EXPECT_EQ(indices(), expected);

    machine_->ClearTextChanges();
    machine_->SetParameter(BandIndex(5), 30);
    machine_->SetParameter(1, 20);
    machine_->ApplyParameters();
    EXPECT_TRUE(machine_->TextChanges().empty());

    machine_->SetParameter(0, 4);
    machine_->ApplyParameters();
    const std::vector<int> afterRange = {BandIndex(0), BandIndex(3), BandIndex(5), BandIndex(last)};
    EXPECT_EQ(indices(), afterRange);
}

std::vector<float> Sine(double frequencyHz, double amplitude, int frames) {
    std::vector<float> signal(2 * static_cast<size_t>(frames));
    for (int i = 0; i < frames; ++i) {
        const float value = static_cast<float>(amplitude * std::sin(2 * kPi * frequencyHz * i / kSampleRateHz));
        signal[2 * i] = value;
        signal[2 * i + 1] = value;
    }
    return signal;
}

double Peak(const std::vector<float>& signal, size_t firstFrame, size_t endFrame, int channel) {
    double peak = 0.0;
    for (size_t i = firstFrame; i < endFrame; ++i)
        peak = std::max(peak, std::fabs(static_cast<double>(signal[2 * i + channel])));
    return peak;
}

TEST_P(ParameterAudioTest, FlatBandsPassTheInputUnchanged) {
    machine_->ApplyParameters();
    const std::vector<float> input = Sine(440.0, 0.5, 5000);
    const std::vector<float> output = machine_->ProcessSignal(input, 256);
    ASSERT_GE(output.size(), input.size());
    EXPECT_TRUE(std::equal(input.begin(), input.end(), output.begin()));
}

TEST_P(ParameterAudioTest, BoostedBandRaisesItsCentreAndRingsOut) {
    const int band = GetParam().oneKilohertzBand;
    machine_->SetParameter(BandIndex(band), 128);  // +16 dB at Range 16
    machine_->ApplyParameters();
    const int frames = kSampleRateHz / 2;
    const std::vector<float> input = Sine(1000.0, 0.05, frames);
    const std::vector<float> output = machine_->ProcessSignal(input, 256);

    const double expectedGain = std::pow(10.0, 16.0 / 20.0);
    for (int channel : {0, 1}) {
        const double gain = Peak(output, frames / 2, frames, channel) / 0.05;
        EXPECT_NEAR(gain, expectedGain, expectedGain * 0.03) << channel;
    }
    // The tail: 0.2 s after the input, rounded to whole blocks, faded out to near nothing.
    const size_t tailFrames = output.size() / 2 - frames;
    EXPECT_GE(tailFrames, static_cast<size_t>(kSampleRateHz / 5 - 256));
    EXPECT_LE(tailFrames, static_cast<size_t>(kSampleRateHz / 5 + 256));
    EXPECT_GT(Peak(output, frames, frames + 256, 0), 0.01);
    EXPECT_LT(Peak(output, output.size() / 2 - 256, output.size() / 2, 0), 0.01);
}

TEST_P(ParameterAudioTest, BlockSizeDoesNotChangeTheOutput) {
    const int band = GetParam().oneKilohertzBand;
    std::vector<float> reference;
    for (int blockFrames : {256, 1, 77}) {
        host::HostedMachine machine(Library(GetParam()));
        machine.Initialise();
        machine.SetParameter(BandIndex(band), 20);
        machine.SetParameter(BandIndex(0), 110);
        machine.ApplyParameters();
        const std::vector<float> input = Sine(900.0, 0.3, 3000);
        std::vector<float> output = machine.ProcessSignal(input, blockFrames);
        ASSERT_GE(output.size(), input.size());
        output.resize(input.size());
        if (reference.empty()) reference = output;
        else EXPECT_EQ(output, reference) << blockFrames;
    }
}

INSTANTIATE_TEST_SUITE_P(AllMachines, ParameterAudioTest, testing::ValuesIn(AllMachines()),
                         MachineName());

}  // namespace
}  // namespace lumo::test
