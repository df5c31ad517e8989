// The description records and parameter tables as GetInfo hands them to a host.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "TestPlugins.h"

namespace lumo::test {
namespace {

class DescriptionTest : public testing::TestWithParam<MachineCase> {};

TEST_P(DescriptionTest, GetInfoGivesTheSameRecordOnEveryCall) {
    const host::PluginLibrary library(PluginPath(GetParam()));
    const host::abi::MachineDescription* first = library.GetInfo();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(library.GetInfo(), first);
    { host::HostedMachine machine(library); }
    EXPECT_EQ(library.GetInfo(), first);
}

TEST_P(DescriptionTest, DescriptionFields) {
    const MachineCase& expected = GetParam();
    const host::abi::MachineDescription& d = *Library(expected).GetInfo();
    EXPECT_EQ(d.machineType, 2);
    EXPECT_EQ(d.interfaceVersion, 63);
    EXPECT_EQ(d.flags, 0x2000);
    EXPECT_EQ(d.minTracks, 0);
    EXPECT_EQ(d.maxTracks, 0);
    EXPECT_EQ(d.globalParameterCount, expected.bandCount + 2);
    EXPECT_EQ(d.trackParameterCount, 0);
    EXPECT_EQ(d.attributeCount, 0);
    EXPECT_NE(d.attributes, nullptr);
    EXPECT_STREQ(d.fullName, expected.fullName);
    EXPECT_STREQ(d.shortName, expected.shortName);
    ASSERT_NE(d.author, nullptr);
    EXPECT_GT(std::string(d.author).size(), 0u);
    EXPECT_STREQ(d.commands, "&About...\n&Graph...");
    EXPECT_EQ(d.lastReference, nullptr);
}

TEST_P(DescriptionTest, ParameterTable) {
    const MachineCase& expected = GetParam();
    const host::abi::MachineDescription& d = *Library(expected).GetInfo();
    ASSERT_EQ(d.globalParameterCount, expected.bandCount + 2);
    for (int i = 0; i < d.globalParameterCount; ++i) {
        SCOPED_TRACE("parameter " + std::to_string(i));
        const host::abi::ParameterRecord* record = d.parameters[i];
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record->type, 2);
        EXPECT_EQ(record->noValue, 255);
        EXPECT_EQ(record->flags, 2);
    }

    const host::abi::ParameterRecord& range = *d.parameters[0];
    EXPECT_STREQ(range.name, "Range");
    EXPECT_STREQ(range.description, "Range");
    EXPECT_EQ(range.minimum, 0);
    EXPECT_EQ(range.maximum, 32);
    EXPECT_EQ(range.defaultValue, 16);

    const host::abi::ParameterRecord& bandwidth = *d.parameters[1];
    EXPECT_STREQ(bandwidth.name, "Bandwidth");
    EXPECT_STREQ(bandwidth.description, "Bandwidth");
    EXPECT_EQ(bandwidth.minimum, 1);
    EXPECT_EQ(bandwidth.maximum, 24);
    // Twice the band spacing, in twelfths of an octave.
    EXPECT_EQ(bandwidth.defaultValue, std::lround(24.0 * expected.spacingOctaves));

    for (int band = 0; band < expected.bandCount; ++band) {
        SCOPED_TRACE("band " + std::to_string(band));
        const host::abi::ParameterRecord& record = *d.parameters[band + 2];
        const double centreHz =
            1000.0 * std::pow(2.0, (band - expected.oneKilohertzBand) * expected.spacingOctaves);
        // The description is the centre rounded to the digits it shows: "19.7 Hz", "1260 Hz".
        const std::string description = record.description;
        ASSERT_EQ(description.substr(description.size() - 3), " Hz");
        const std::string digits = description.substr(0, description.size() - 3);
        const size_t point = digits.find('.');
        const int decimals = point == std::string::npos ? 0 : static_cast<int>(digits.size() - point - 1);
        EXPECT_LE(std::fabs(std::stod(digits) - centreHz), 0.5 * std::pow(10.0, -decimals) + 1e-9)
            << description << " for " << centreHz << " Hz";
        EXPECT_GE(digits.size() - (point == std::string::npos ? 0 : 1), 2u) << description;
        // The name is the nominal frequency, within 3 % of the centre: "31.5 Hz", "1.25 kHz".
        const std::string name = record.name;
        const bool kilohertz = name.size() > 4 && name.substr(name.size() - 4) == " kHz";
        ASSERT_TRUE(kilohertz || name.substr(name.size() - 3) == " Hz") << name;
        const double nominalHz =
            std::stod(name.substr(0, name.size() - (kilohertz ? 4 : 3))) * (kilohertz ? 1000.0 : 1.0);
        EXPECT_EQ(kilohertz, nominalHz >= 1000.0) << name;
        EXPECT_LT(std::fabs(nominalHz / centreHz - 1.0), 0.03) << name << " for " << centreHz << " Hz";
        EXPECT_EQ(record.minimum, 0);
        EXPECT_EQ(record.maximum, 128);
        EXPECT_EQ(record.defaultValue, 64);
    }
    EXPECT_STREQ(d.parameters[expected.oneKilohertzBand + 2]->name, "1 kHz");
    EXPECT_STREQ(d.parameters[expected.oneKilohertzBand + 2]->description, "1000 Hz");
}

INSTANTIATE_TEST_SUITE_P(AllMachines, DescriptionTest, testing::ValuesIn(AllMachines()),
                         MachineName());

}  // namespace
}  // namespace lumo::test
