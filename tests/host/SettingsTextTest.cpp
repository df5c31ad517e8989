// Parameter settings as people type them: band names without the space or in other units, and
// Bandwidth in octaves.
#include <gtest/gtest.h>

#include <string>

#include "TestPlugins.h"
#include "ParameterSettings.h"

namespace lumo::test {
namespace {

const host::abi::MachineDescription& Lumo31() { return *Library(AllMachines()[0]).GetInfo(); }

cli::ParameterSetting ResolveOne(const std::string& text) {
    const auto settings = cli::ResolveSettings(Lumo31(), {text});
    EXPECT_EQ(settings.size(), 1u) << text;
    return settings.empty() ? cli::ParameterSetting{-1, -1, ""} : settings[0];
}

TEST(SettingsText, BandsByFrequencyAsTyped) {
    constexpr int kOneKilohertz = 19, kOnePointTwoFive = 20, kTenKilohertz = 29, kThirtyOne = 4;
    for (const char* name : {"1kHz", "1 kHz", "1 KHZ", "1k", "1000Hz", "1000 Hz", "1000 hz"})
        EXPECT_EQ(ResolveOne(std::string(name) + "=96").index, kOneKilohertz) << name;
    EXPECT_EQ(ResolveOne("1.25k=96").index, kOnePointTwoFive);
    EXPECT_EQ(ResolveOne("1260Hz=96").index, kOnePointTwoFive);  // the centre in its description
    EXPECT_EQ(ResolveOne("10079 Hz=96").index, kTenKilohertz);
    EXPECT_EQ(ResolveOne("31.5Hz=+3dB").index, kThirtyOne);
    EXPECT_EQ(ResolveOne("1kHz=+6dB").note, "1 kHz: +6dB -> slider 88 (+6.00 dB)");
    EXPECT_EQ(ResolveOne("19=70").index, 19);  // a bare number stays an index

    for (const char* unknown : {"1.1kHz=96", "3 MHz=96", "kHz=96", "-1k=96"}) {
        try {
            cli::ResolveSettings(Lumo31(), {unknown});
            ADD_FAILURE() << unknown << " was accepted";
        } catch (const host::HostError& error) {
            EXPECT_NE(std::string(error.what()).find("unknown parameter"), std::string::npos) << error.what();
        }
    }
}

TEST(SettingsText, BandwidthInOctavesTakesTheNearestStep) {
    EXPECT_EQ(ResolveOne("Bandwidth=0.67oct").raw, 8);
    EXPECT_EQ(ResolveOne("Bandwidth=1/3oct").raw, 4);
    EXPECT_EQ(ResolveOne("Bandwidth=1/3 oct").raw, 4);
    EXPECT_EQ(ResolveOne("bandwidth=2 octaves").raw, 24);
    EXPECT_EQ(ResolveOne("Bandwidth=1 octave").raw, 12);
    EXPECT_EQ(ResolveOne("Bandwidth=0.7oct").note, "Bandwidth: 0.7oct -> 8 (0.67 octave)");
    EXPECT_EQ(ResolveOne("Bandwidth=3oct").raw, 24);
    EXPECT_NE(ResolveOne("Bandwidth=3oct").note.find("the widest step"), std::string::npos);
    EXPECT_EQ(ResolveOne("Bandwidth=0.01oct").raw, 1);
    EXPECT_EQ(ResolveOne("Bandwidth=8").raw, 8);  // raw steps as before

    for (const char* bad : {"Bandwidth=0oct", "Bandwidth=1/0oct", "Bandwidth=oct", "1k=0.5oct"})
        EXPECT_THROW(cli::ResolveSettings(Lumo31(), {bad}), host::HostError) << bad;
}

}  // namespace
}  // namespace lumo::test
