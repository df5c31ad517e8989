// Loading plug-ins, finding them by name, and parameter settings given as text.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "TestPlugins.h"
#include "MachineName.h"
#include "ParameterSettings.h"

namespace lumo::test {
namespace {

using host::HostError;
namespace fs = std::filesystem;

std::string ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const HostError& error) {
        return error.what();
    }
    return "";
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(PluginLoading, FailuresSayWhatIsWrong) {
    const std::string missing = PluginDirectory() + "/Tarvo Lumo-99" + host::PluginSuffix();
    EXPECT_TRUE(Contains(ErrorOf([&] { host::PluginLibrary{missing}; }), "no such file"));

    const std::string text = testing::TempDir() + "lumo-not-a-plugin" + host::PluginSuffix();
    std::ofstream(text) << "not a library\n";
    EXPECT_TRUE(Contains(ErrorOf([&] { host::PluginLibrary{text}; }), "not a loadable plug-in"));
    std::remove(text.c_str());

#ifdef _WIN32
    const char* root = std::getenv("SystemRoot");
    const std::string noExports = std::string(root != nullptr ? root : "C:\\windows") +
                                  "\\system32\\user32.dll";
#else
    const std::string noExports = LUMO_PLATFORM_LIBRARY;
#endif
    EXPECT_TRUE(Contains(ErrorOf([&] { host::PluginLibrary{noExports}; }),
                         "not a machine plug-in: it has no export GetInfo"));
}

TEST(PluginLoading, MachinesAreFoundByFullOrShortNameOrPath) {
    const std::string dir = PluginDirectory();
    for (const MachineCase& machine : AllMachines()) {
        // Compared as paths: the separators differ between the platforms.
        const fs::path path = PluginPath(machine);
        EXPECT_EQ(fs::path(cli::ResolveMachine(machine.fullName, dir)), path);
        EXPECT_EQ(fs::path(cli::ResolveMachine(machine.shortName, dir)), path);
        std::string lower = machine.shortName;
        for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        EXPECT_EQ(fs::path(cli::ResolveMachine(lower, dir)), path);
        EXPECT_EQ(fs::path(cli::ResolveMachine(path.string(), dir)), path);
    }
    const std::string unknown = ErrorOf([&] { cli::ResolveMachine("Lumo-99", dir); });
    EXPECT_TRUE(Contains(unknown, "unknown machine 'Lumo-99'"));
    EXPECT_TRUE(Contains(unknown, "Tarvo Lumo-15, Tarvo Lumo-20, Tarvo Lumo-31"));
    EXPECT_TRUE(Contains(ErrorOf([&] { cli::ResolveMachine(dir + "/nothing.so", dir); }),
                         "no such file"));
}

class SettingsTest : public testing::Test {
protected:
    const host::abi::MachineDescription& Lumo31() { return *Library(AllMachines()[0]).GetInfo(); }
    std::vector<cli::ParameterSetting> Resolve(const std::vector<std::string>& texts) {
        return cli::ResolveSettings(Lumo31(), texts);
    }
    static constexpr int kOneKilohertz = 19;  // band 17
};

TEST_F(SettingsTest, RawValuesByNameOrIndex) {
    const auto settings = Resolve({"Bandwidth=8", "1 kHz=96", "20=70", "range = 3"});
    ASSERT_EQ(settings.size(), 4u);
    EXPECT_EQ(settings[0].index, 0);  // Range first
    EXPECT_EQ(settings[0].raw, 3);
    EXPECT_EQ(settings[1].index, 1);
    EXPECT_EQ(settings[1].raw, 8);
    EXPECT_EQ(settings[2].index, kOneKilohertz);
    EXPECT_EQ(settings[2].raw, 96);
    EXPECT_EQ(settings[3].index, 20);
    EXPECT_EQ(settings[3].raw, 70);
    for (const auto& setting : settings) EXPECT_TRUE(setting.note.empty());
}

TEST_F(SettingsTest, DecibelsPickTheNearestSliderForTheRange) {
    auto settings = Resolve({"1 kHz=+6dB"});
    ASSERT_EQ(settings.size(), 1u);
    EXPECT_EQ(settings[0].raw, 88);  // default Range 16
    EXPECT_EQ(settings[0].note, "1 kHz: +6dB -> slider 88 (+6.00 dB)");

    settings = Resolve({"1 kHz=+6dB", "Range=12"});
    ASSERT_EQ(settings.size(), 2u);
    EXPECT_EQ(settings[1].raw, 96);
    EXPECT_EQ(settings[1].note, "1 kHz: +6dB -> slider 96 (+6.00 dB)");

    settings = Resolve({"Range=16", "20 Hz=-3.5 dB", "2 kHz=1db"});
    EXPECT_EQ(settings[1].raw, 50);
    EXPECT_EQ(settings[2].raw, 68);

    settings = Resolve({"1 kHz=+40dB"});
    EXPECT_EQ(settings[0].raw, 128);
    EXPECT_TRUE(Contains(settings[0].note, "(+16.00 dB"));
    EXPECT_TRUE(Contains(settings[0].note, "limit"));

    settings = Resolve({"Range=0", "1 kHz=-6dB"});
    EXPECT_EQ(settings[1].raw, 64);
}

TEST_F(SettingsTest, BadSettingsAreRefused) {
    EXPECT_TRUE(Contains(ErrorOf([&] { Resolve({"Foo=1"}); }), "unknown parameter 'Foo'"));
    EXPECT_TRUE(Contains(ErrorOf([&] { Resolve({"Range=33"}); }), "outside 0..32"));
    EXPECT_TRUE(Contains(ErrorOf([&] { Resolve({"1 kHz=129"}); }), "outside 0..128"));
    EXPECT_TRUE(Contains(ErrorOf([&] { Resolve({"Bandwidth=0"}); }), "outside 1..24"));
    EXPECT_TRUE(Contains(ErrorOf([&] { Resolve({"Bandwidth=+3dB"}); }), "bad value"));
    EXPECT_TRUE(Contains(ErrorOf([&] { Resolve({"1 kHz=loud"}); }), "bad value"));
    EXPECT_TRUE(Contains(ErrorOf([&] { Resolve({"Range"}); }), "expected NAME=VALUE"));
    EXPECT_TRUE(Contains(ErrorOf([&] { Resolve({"33=1"}); }), "no parameter with index 33"));
}

}  // namespace
}  // namespace lumo::test
