// Saved state through the host's reader and writer, and the graph window it reopens; the reader
// and writer themselves, which every test host uses.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "TestPlugins.h"
#include "lumo/host/HostEnvironment.h"
#include "lumo/host/SavedStateBytes.h"

namespace lumo::test {
namespace {

using Bytes = std::vector<uint8_t>;

const Bytes kDefaultState = {0x01, 0x00, 0x00, 0x00, 0x00, 0x96, 0x01, 0xE8, 0x00, 0x00};
const Bytes kOpenState = {0x01, 0xF8, 0xFF, 0x10, 0x00, 0x96, 0x01, 0xE8, 0x00, 0x01};

class SavedStateTest : public testing::TestWithParam<MachineCase> {
protected:
    std::unique_ptr<host::HostedMachine> NewMachine() {
        return std::make_unique<host::HostedMachine>(Library(GetParam()));
    }
    // The machine's window: the one owned by the host's main window.
    void* GraphWindow() {
        const std::vector<void*> windows =
            host::OwnedWindows(host::HostEnvironment::Instance().MainWindow());
        return windows.empty() ? nullptr : windows.front();
    }
};

TEST_P(SavedStateTest, NewMachineSavesDefaults) {
    auto machine = NewMachine();
    machine->Initialise();
    EXPECT_EQ(machine->SaveState(), kDefaultState);
    EXPECT_EQ(GraphWindow(), nullptr);
}

TEST_P(SavedStateTest, OpenStateReopensTheWindowAtItsGeometry) {
    auto machine = NewMachine();
    machine->Initialise(kOpenState);
    void* window = GraphWindow();
    ASSERT_NE(window, nullptr);
    const host::WindowGeometry geometry = host::GetWindowGeometry(window);
    EXPECT_EQ(geometry.x, -8);
    EXPECT_EQ(geometry.y, 16);
    EXPECT_EQ(geometry.width, 406);
    EXPECT_EQ(geometry.height, 232);
    EXPECT_TRUE(geometry.visible);
    EXPECT_EQ(geometry.owner, host::HostEnvironment::Instance().MainWindow());
    EXPECT_EQ(geometry.caption, GetParam().shortName);
    EXPECT_EQ(machine->SaveState(), kOpenState);

    machine.reset();
    EXPECT_EQ(GraphWindow(), nullptr);
}

TEST_P(SavedStateTest, OtherVersionsLeaveTheDefaults) {
    Bytes state = kOpenState;
    state[0] = 2;
    auto machine = NewMachine();
    machine->Initialise(state);
    EXPECT_EQ(machine->SaveState(), kDefaultState);
    EXPECT_EQ(GraphWindow(), nullptr);
}

TEST_P(SavedStateTest, AnyNonZeroOpenByteOpens) {
    Bytes state = kDefaultState;
    state[9] = 7;
    auto machine = NewMachine();
    machine->Initialise(state);
    EXPECT_NE(GraphWindow(), nullptr);
    EXPECT_EQ(machine->SaveState()[9], 1);
}

TEST_P(SavedStateTest, GeometryIsKeptAsSixteenBits) {
    // 70000 = 0x11170 keeps its low 16 bits, 4464.
    Bytes state = kDefaultState;
    state[5] = 70000 & 0xFF;
    state[6] = (70000 >> 8) & 0xFF;
    state[1] = 0x00;  // left -32768
    state[2] = 0x80;
    auto machine = NewMachine();
    machine->Initialise(state);
    const Bytes saved = machine->SaveState();
    EXPECT_EQ(saved[5] | (saved[6] << 8), 4464);
    EXPECT_EQ(saved, state);
}

// A state cut short keeps the defaults for every byte it does not supply.
TEST_P(SavedStateTest, TruncatedStatesKeepDefaultsForMissingBytes) {
    for (size_t length = 0; length < kOpenState.size(); ++length) {
        SCOPED_TRACE("length " + std::to_string(length));
        const Bytes truncated(kOpenState.begin(), kOpenState.begin() + length);
        Bytes expected = kDefaultState;
        std::copy(truncated.begin(), truncated.end(), expected.begin());
        auto machine = NewMachine();
        machine->Initialise(truncated);
        EXPECT_EQ(GraphWindow(), nullptr);
        EXPECT_EQ(machine->SaveState(), expected);
    }
}

TEST_P(SavedStateTest, RandomStatesAreReadSafely) {
    std::mt19937 random(1234);
    for (int round = 0; round < 60; ++round) {
        Bytes state(random() % 16);
        for (uint8_t& byte : state) byte = static_cast<uint8_t>(random());
        if (round % 2 == 0 && !state.empty()) state[0] = 1;
        SCOPED_TRACE("round " + std::to_string(round));
        auto machine = NewMachine();
        machine->Initialise(state);
        host::HostEnvironment::Instance().PumpMessages();
        const Bytes saved = machine->SaveState();
        ASSERT_EQ(saved.size(), 10u);
        EXPECT_EQ(saved[0], 1);
        EXPECT_LE(saved[9], 1);
        if (state.size() >= 10 && state[0] == 1) {
            EXPECT_EQ(saved[9], state[9] != 0 ? 1 : 0);
        }
        machine.reset();
        EXPECT_EQ(GraphWindow(), nullptr);
    }
}

TEST(SavedStateBytes, ReadPastTheEndCopiesWhatIsLeftAndLeavesTheRestUntouched) {
    host::SavedStateReader reader({1, 2, 3});
    Bytes destination = {9, 9, 9, 9};
    reader.Read(destination.data(), 2);
    EXPECT_EQ(destination, (Bytes{1, 2, 9, 9}));
    reader.Read(destination.data(), 4);
    EXPECT_EQ(destination, (Bytes{3, 2, 9, 9}));
    for (int count : {1, 0, -4}) reader.Read(destination.data(), count);
    reader.Read(nullptr, 2);
    EXPECT_EQ(destination, (Bytes{3, 2, 9, 9}));
    EXPECT_EQ(reader.BytesLeft(), 0u);
}

TEST(SavedStateBytes, WriterKeepsTheBytesInOrderAndSkipsEmptyWrites) {
    host::SavedStateWriter writer;
    const uint8_t bytes[] = {7, 8, 9};
    writer.Write(bytes, 2);
    for (int count : {0, -3}) writer.Write(bytes, count);
    writer.Write(nullptr, 4);
    writer.Write(bytes + 2, 1);
    EXPECT_EQ(writer.Take(), (Bytes{7, 8, 9}));
}

INSTANTIATE_TEST_SUITE_P(AllMachines, SavedStateTest, testing::ValuesIn(AllMachines()),
                         MachineName());

}  // namespace
}  // namespace lumo::test
