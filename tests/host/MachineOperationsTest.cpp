// Commands, the extension and destruction, driven as a host drives them.
#include <gtest/gtest.h>

#include <string>

#include "TestPlugins.h"
#include "lumo/host/HostEnvironment.h"

#ifndef _WIN32
#include <lumo/standin.h>
#endif

namespace lumo::test {
namespace {

class MachineOperationsTest : public testing::TestWithParam<MachineCase> {
protected:
    void SetUp() override {
        machine_ = std::make_unique<host::HostedMachine>(Library(GetParam()));
        machine_->Initialise();
    }
    // The machine's window: the one owned by the host's main window.
    void* GraphWindow() {
        const std::vector<void*> windows =
            host::OwnedWindows(host::HostEnvironment::Instance().MainWindow());
        return windows.empty() ? nullptr : windows.front();
    }
    std::unique_ptr<host::HostedMachine> machine_;
};

#ifndef _WIN32
TEST_P(MachineOperationsTest, AboutCommandShowsTheAboutBox) {
    LumoStandinClearMessageBoxes();
    machine_->RunCommand(0);
    ASSERT_EQ(LumoStandinMessageBoxCount(), 1);
    const std::string fullName = GetParam().fullName;
    EXPECT_EQ(LumoStandinMessageBoxCaption(0), fullName);
    EXPECT_EQ(LumoStandinMessageBoxStyle(0), UINT(MB_SYSTEMMODAL | MB_ICONINFORMATION));
    const std::string text = LumoStandinMessageBoxText(0);
    const std::string head = fullName + " v1.1\n\nbuild: Sep 10 2012\n\n" +
                             machine_->Description().author + "\n";
    EXPECT_EQ(text.substr(0, head.size()), head);
    const size_t credit = text.rfind("\n\nGraphics code by ");
    ASSERT_NE(credit, std::string::npos);
    EXPECT_GT(text.size(), credit + 19);  // a name follows
    EXPECT_EQ(text.find('\n', credit + 2), std::string::npos);  // the last line
    LumoStandinClearMessageBoxes();
}
#endif

TEST_P(MachineOperationsTest, OtherCommandsDoNothing) {
#ifndef _WIN32
    LumoStandinClearMessageBoxes();
#endif
    const auto before = machine_->SaveState();
    for (int command : {2, 5, -1, 1000}) machine_->RunCommand(command);
    EXPECT_EQ(GraphWindow(), nullptr);
    EXPECT_EQ(machine_->SaveState(), before);
#ifndef _WIN32
    EXPECT_EQ(LumoStandinMessageBoxCount(), 0);
#endif
}

TEST_P(MachineOperationsTest, GraphCommandOpensOneWindow) {
    machine_->ApplyParameters();
    machine_->RunCommand(1);
    void* window = GraphWindow();
    ASSERT_NE(window, nullptr);
    const host::WindowGeometry geometry = host::GetWindowGeometry(window);
    EXPECT_EQ(geometry.x, 0);
    EXPECT_EQ(geometry.y, 0);
    EXPECT_EQ(geometry.width, 406);
    EXPECT_EQ(geometry.height, 232);
    EXPECT_EQ(machine_->SaveState()[9], 1);

    machine_->RunCommand(1);
    EXPECT_EQ(GraphWindow(), window);
    host::HostEnvironment::Instance().PumpMessages();

    machine_.reset();
    EXPECT_EQ(GraphWindow(), nullptr);
}

TEST_P(MachineOperationsTest, CaptionIsTheHostsTitle) {
    machine_->SetTitle("My Equaliser 2");
    machine_->RunCommand(1);
    void* window = GraphWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(host::GetWindowGeometry(window).caption, "My Equaliser 2");
}

TEST_P(MachineOperationsTest, HostHidesAndRestoresTheWindow) {
    ASSERT_NE(machine_->Extension(), nullptr);
    machine_->HideGraphWindow(false);  // nothing was hidden
    EXPECT_EQ(GraphWindow(), nullptr);
    machine_->HideGraphWindow(true);   // nothing to hide
    EXPECT_EQ(GraphWindow(), nullptr);

    machine_->RunCommand(1);
    ASSERT_NE(GraphWindow(), nullptr);
    host::SetClientSize(GraphWindow(), 350, 250);
    const host::WindowGeometry before = host::GetWindowGeometry(GraphWindow());

    machine_->HideGraphWindow(true);
    EXPECT_EQ(GraphWindow(), nullptr);
    EXPECT_EQ(machine_->SaveState()[9], 0);

    machine_->HideGraphWindow(false);
    ASSERT_NE(GraphWindow(), nullptr);
    const host::WindowGeometry after = host::GetWindowGeometry(GraphWindow());
    EXPECT_EQ(after.x, before.x);
    EXPECT_EQ(after.y, before.y);
    EXPECT_EQ(after.width, before.width);
    EXPECT_EQ(after.height, before.height);
    EXPECT_EQ(machine_->SaveState()[9], 1);
}

INSTANTIATE_TEST_SUITE_P(AllMachines, MachineOperationsTest, testing::ValuesIn(AllMachines()),
                         MachineName());

}  // namespace
}  // namespace lumo::test
