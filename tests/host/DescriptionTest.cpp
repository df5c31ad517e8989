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
    ASSERT_EQ(static_cast<int>(expected.bands.size()), expected.bandCount);
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
    EXPECT_EQ(bandwidth.defaultValue, expected.bandwidthDefault);

    for (int band = 0; band < expected.bandCount; ++band) {
        SCOPED_TRACE("band " + std::to_string(band));
        const host::abi::ParameterRecord& record = *d.parameters[band + 2];
        EXPECT_STREQ(record.name, expected.bands[band].name);
        EXPECT_STREQ(record.description, expected.bands[band].description);
        EXPECT_EQ(record.minimum, 0);
        EXPECT_EQ(record.maximum, 128);
        EXPECT_EQ(record.defaultValue, 64);
    }
    EXPECT_STREQ(d.parameters[expected.oneKilohertzBand + 2]->name, "1 kHz");
}

INSTANTIATE_TEST_SUITE_P(AllMachines, DescriptionTest, testing::ValuesIn(AllMachines()),
                         MachineName());

}  // namespace
}  // namespace lumo::test
