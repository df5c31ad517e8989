// Commands, the extension, destruction and the table of operations, driven as a host drives them.
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
        className_ = host::GraphWindowClassName(machine_->Description());
    }
    void* GraphWindow() { return host::FindWindowOfClass(className_); }
    std::string className_;
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

// Every operation that only keeps a default body is called with its number of argument words;
// on 32-bit Windows a wrong count in the plug-in would unbalance the stack here.
TEST_P(MachineOperationsTest, DefaultOperationsAnswerTheirConstants) {
    auto& m = *machine_;
    EXPECT_FALSE(m.CallSlot<bool>(4, 1, 2, 3, 4));
    m.CallSlot<void>(5);
    m.CallSlot<void>(7);
    m.CallSlot<void>(9, 1);
    m.CallSlot<void>(10, 1);
    EXPECT_FALSE(m.CallSlot<bool>(11, 1));
    m.CallSlot<void>(12, 1, 2, 3);
    m.CallSlot<void>(13, 1);
    EXPECT_EQ(m.CallSlot<void*>(15), nullptr);
    EXPECT_FALSE(m.CallSlot<bool>(16, 1, 2, 3));
    m.CallSlot<void>(17);
    EXPECT_EQ(m.CallSlot<int>(18, 1), -1);
    EXPECT_FALSE(m.CallSlot<bool>(3, static_cast<float*>(nullptr), 0, 0));  // mode 0
    EXPECT_EQ(m.SaveState().size(), 10u);
}

// The extension's 81 operations: argument words and what each answers (0 returns nothing).
TEST_P(MachineOperationsTest, ExtensionOperationsAnswerTheirConstants) {
    enum Kind { kVoid, kZero, kFalse, kTrue };
    struct Slot { int first, last, words; Kind kind; };
    const Slot slots[] = {
        {1, 1, 1, kZero},   {2, 2, 1, kFalse},  {3, 4, 2, kVoid},   {5, 5, 1, kVoid},
        {6, 6, 2, kVoid},   {7, 8, 3, kVoid},   {9, 9, 2, kVoid},   {10, 10, 3, kFalse},
        {11, 12, 2, kVoid}, {13, 13, 1, kVoid}, {14, 15, 2, kVoid}, {16, 16, 3, kVoid},
        {17, 17, 1, kZero}, {18, 18, 1, kVoid}, {19, 20, 0, kVoid}, {21, 21, 1, kFalse},
        {22, 22, 1, kVoid}, {23, 23, 2, kVoid}, {24, 24, 1, kZero}, {25, 25, 1, kVoid},
        {27, 27, 0, kFalse}, {28, 28, 1, kFalse}, {29, 29, 0, kZero}, {30, 30, 5, kVoid},
        {31, 32, 0, kVoid}, {33, 33, 3, kVoid}, {34, 34, 5, kVoid}, {35, 35, 1, kVoid},
        {36, 36, 0, kFalse}, {37, 37, 1, kVoid}, {38, 38, 0, kZero}, {39, 39, 3, kVoid},
        {40, 40, 2, kZero}, {41, 43, 2, kFalse}, {44, 44, 0, kVoid}, {45, 45, 1, kVoid},
        {46, 46, 0, kVoid}, {47, 47, 2, kFalse}, {48, 48, 2, kVoid}, {49, 49, 2, kTrue},
        {50, 81, 0, kVoid},
    };
    void* extension = machine_->Extension();
    ASSERT_NE(extension, nullptr);
    using host::abi::CallSlot;
    for (const Slot& s : slots) {
        for (int position = s.first; position <= s.last; ++position) {
            SCOPED_TRACE("position " + std::to_string(position));
            const int slot = position - 1;
            int answer = 0;
            switch (s.words * 4 + s.kind) {
                case 0 * 4 + kVoid: CallSlot<void>(extension, slot); break;
                case 1 * 4 + kVoid: CallSlot<void>(extension, slot, 1); break;
                case 2 * 4 + kVoid: CallSlot<void>(extension, slot, 1, 2); break;
                case 3 * 4 + kVoid: CallSlot<void>(extension, slot, 1, 2, 3); break;
                case 5 * 4 + kVoid: CallSlot<void>(extension, slot, 1, 2, 3, 4, 5); break;
                case 0 * 4 + kZero: answer = CallSlot<int>(extension, slot); break;
                case 1 * 4 + kZero: answer = CallSlot<int>(extension, slot, 1); break;
                case 2 * 4 + kZero: answer = CallSlot<int>(extension, slot, 1, 2); break;
                case 0 * 4 + kFalse: answer = CallSlot<bool>(extension, slot); break;
                case 1 * 4 + kFalse: answer = CallSlot<bool>(extension, slot, 1); break;
                case 2 * 4 + kFalse: answer = CallSlot<bool>(extension, slot, 1, 2); break;
                case 3 * 4 + kFalse: answer = CallSlot<bool>(extension, slot, 1, 2, 3); break;
                case 2 * 4 + kTrue: answer = CallSlot<bool>(extension, slot, 1, 2) ? 1 : 0; break;
                default: FAIL() << "no call for " << s.words << " words";
            }
            EXPECT_EQ(answer, s.kind == kTrue ? 1 : 0);
        }
    }
    EXPECT_EQ(machine_->SaveState().size(), 10u);
}

INSTANTIATE_TEST_SUITE_P(AllMachines, MachineOperationsTest, testing::ValuesIn(AllMachines()),
                         MachineName());

}  // namespace
}  // namespace lumo::test
