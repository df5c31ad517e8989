// The graph window's life and geometry books, driven as a user and the host would.
#include <cstring>

#include "StandinHarness.h"

namespace lumo::graphtest {
namespace {

constexpr Rect kDefaultRect = {0, 0, 406, 232};

TEST_F(GraphWindowTest, GraphCommandOpensAtDefaultGeometryWithoutTakingFocus) {
    harness.Create();
    const HWND window = OpenByCommand();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(machine().graphOpen);
    EXPECT_EQ(LumoStandinLiveWindowCount(), liveBefore + 1);

    const LumoStandinWindowInfo info = WindowInfo(window);
    EXPECT_EQ(OuterRect(window), kDefaultRect);
    EXPECT_TRUE(info.visible);
    EXPECT_FALSE(info.active);
    EXPECT_EQ(info.owner, hostWindow);
    EXPECT_STREQ(info.caption, "Lumo graph test");
    EXPECT_EQ(harness.host.titleAskedFor, &harness.host.handleTag);
    EXPECT_STREQ(info.className, layout::kWindowClassName);
    EXPECT_EQ(info.exStyle & WS_EX_TOOLWINDOW, static_cast<DWORD>(WS_EX_TOOLWINDOW));
    const DWORD frame = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
    EXPECT_EQ(info.style & frame, frame);
    ExpectFieldsFollowWindow();
}

TEST_F(GraphWindowTest, MovingAndResizingKeepTheBooks) {
    harness.Create();
    const HWND window = OpenByCommand();
    ASSERT_NE(window, nullptr);

    ASSERT_TRUE(LumoStandinDragCaption(window, 37, 21));
    EXPECT_EQ(FieldsRect(machine()), (Rect{37, 21, 406, 232}));
    ExpectFieldsFollowWindow();

    ASSERT_TRUE(LumoStandinDragCaption(window, -50, -30));  // partly off the screen
    EXPECT_EQ(FieldsRect(machine()), (Rect{-13, -9, 406, 232}));
    ExpectFieldsFollowWindow();

    ASSERT_TRUE(LumoStandinDragEdge(window, LUMO_EDGE_RIGHT | LUMO_EDGE_BOTTOM, 30, 17));
    EXPECT_EQ(FieldsRect(machine()), (Rect{-13, -9, 436, 249}));
    ExpectFieldsFollowWindow();

    ASSERT_TRUE(LumoStandinDragEdge(window, LUMO_EDGE_LEFT, -20, 0));
    EXPECT_EQ(FieldsRect(machine()), (Rect{-33, -9, 456, 249}));
    ExpectFieldsFollowWindow();

    ASSERT_TRUE(LumoStandinDragEdge(window, LUMO_EDGE_LEFT | LUMO_EDGE_TOP, 40, 9));
    EXPECT_EQ(FieldsRect(machine()), (Rect{7, 0, 416, 240}));
    ExpectFieldsFollowWindow();
}

TEST_F(GraphWindowTest, ResizingStopsAtTheTrackingLimits) {
    harness.Create();
    const HWND window = OpenByCommand();
    ASSERT_NE(window, nullptr);

    LumoStandinDragEdge(window, LUMO_EDGE_RIGHT | LUMO_EDGE_BOTTOM, 1000, 1000);
    EXPECT_EQ(FieldsRect(machine()), (Rect{0, 0, 600, 400}));
    ExpectFieldsFollowWindow();

    LumoStandinDragEdge(window, LUMO_EDGE_RIGHT | LUMO_EDGE_BOTTOM, -1000, -1000);
    EXPECT_EQ(FieldsRect(machine()), (Rect{0, 0, 300, 200}));
    ExpectFieldsFollowWindow();
}

TEST_F(GraphWindowTest, ClosedWindowIsSavedClosedAndReopensWhereItWas) {
    harness.Create();
    const HWND window = OpenByCommand();
    ASSERT_NE(window, nullptr);
    LumoStandinDragCaption(window, 120, 80);
    LumoStandinDragEdge(window, LUMO_EDGE_RIGHT | LUMO_EDGE_BOTTOM, 44, 33);
    const Rect moved = {120, 80, 450, 265};
    EXPECT_EQ(FieldsRect(machine()), moved);

    ASSERT_TRUE(LumoStandinClickClose(window));
    LumoStandinDeliverMessages();
    EXPECT_EQ(machine().graphWindow, nullptr);
    EXPECT_FALSE(machine().graphOpen);
    EXPECT_EQ(LumoStandinLiveWindowCount(), liveBefore);
    EXPECT_EQ(harness.Save(), SavedState(120, 80, 450, 265, 0));

    const HWND reopened = OpenByCommand();
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(OuterRect(reopened), moved);
    EXPECT_EQ(harness.Save(), SavedState(120, 80, 450, 265, 1));
    ExpectFieldsFollowWindow();
}

TEST_F(GraphWindowTest, HostHidesAndRestoresAtTheSamePlace) {
    harness.Create();
    ASSERT_NE(harness.host.extension, nullptr);
    harness.host.extension->HideGraphWindow(true);  // no window: nothing happens
    harness.host.extension->HideGraphWindow(false);
    EXPECT_EQ(machine().graphWindow, nullptr);
    EXPECT_FALSE(machine().graphHiddenByHost);

    const HWND window = OpenByCommand();
    ASSERT_NE(window, nullptr);
    LumoStandinDragCaption(window, 300, 200);
    harness.host.extension->HideGraphWindow(false);  // restore without a hide: nothing
    EXPECT_EQ(machine().graphWindow, window);

    harness.host.extension->HideGraphWindow(true);
    EXPECT_EQ(machine().graphWindow, nullptr);
    EXPECT_FALSE(machine().graphOpen);
    EXPECT_TRUE(machine().graphHiddenByHost);
    EXPECT_EQ(LumoStandinLiveWindowCount(), liveBefore);
    EXPECT_EQ(harness.Save(), SavedState(300, 200, 406, 232, 0));

    harness.host.extension->HideGraphWindow(false);
    LumoStandinDeliverMessages();
    ASSERT_NE(machine().graphWindow, nullptr);
    EXPECT_TRUE(machine().graphOpen);
    EXPECT_FALSE(machine().graphHiddenByHost);
    EXPECT_EQ(OuterRect(machine().graphWindow), (Rect{300, 200, 406, 232}));
    ExpectFieldsFollowWindow();
}

TEST_F(GraphWindowTest, GraphCommandReshowsTheOpenWindow) {
    harness.Create();
    const HWND window = OpenByCommand();
    ASSERT_NE(window, nullptr);
    harness.host.title = "renamed";
    EXPECT_EQ(OpenByCommand(), window);
    EXPECT_EQ(LumoStandinLiveWindowCount(), liveBefore + 1);
    EXPECT_STREQ(WindowInfo(window).caption, "Lumo graph test");  // taken once, at creation
    EXPECT_TRUE(WindowInfo(window).visible);
}

TEST_F(GraphWindowTest, SavedOpenStateReopensAtTheSavedGeometry) {
    const std::vector<unsigned char> saved = {0x01, 0xF8, 0xFF, 0x10, 0x00,
                                              0x96, 0x01, 0xE8, 0x00, 0x01};
    harness.Create(&saved);
    LumoStandinDeliverMessages();
    ASSERT_NE(machine().graphWindow, nullptr);
    EXPECT_TRUE(machine().graphOpen);
    EXPECT_EQ(OuterRect(machine().graphWindow), (Rect{-8, 16, 406, 232}));
    EXPECT_FALSE(WindowInfo(machine().graphWindow).active);
    ExpectFieldsFollowWindow();
    EXPECT_EQ(harness.Save(), saved);
}

struct OffScreenCase {
    Rect saved;
    bool movedBack;
};

class GraphWindowReshowTest : public GraphWindowTest,
                              public testing::WithParamInterface<OffScreenCase> {};

TEST_P(GraphWindowReshowTest, ReshowBringsBackAWindowOffTheScreen) {
    const Rect saved = GetParam().saved;
    const std::vector<unsigned char> state =
        SavedState(saved.x, saved.y, saved.width, saved.height, 1);
    harness.Create(&state);
    const HWND window = machine().graphWindow;
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(OuterRect(window), saved);  // created wherever the song put it

    EXPECT_EQ(OpenByCommand(), window);
    EXPECT_EQ(OuterRect(window), GetParam().movedBack ? kDefaultRect : saved);
    ExpectFieldsFollowWindow();
}

INSTANTIATE_TEST_SUITE_P(
    Screen, GraphWindowReshowTest,
    testing::Values(OffScreenCase{{kLumoStandinScreenWidth, 100, 406, 232}, true},
                    OffScreenCase{{100, kLumoStandinScreenHeight, 406, 232}, true},
                    OffScreenCase{{100, -1, 406, 232}, true},
                    OffScreenCase{{-405, 100, 406, 232}, true},    // right edge at x = 1
                    OffScreenCase{{-404, 100, 406, 232}, false},   // two pixels still on screen
                    OffScreenCase{{kLumoStandinScreenWidth - 1, kLumoStandinScreenHeight - 1, 406, 232},
                                  false}));

TEST_F(GraphWindowTest, DestroyingTheMachineRemovesItsWindow) {
    harness.Create();
    ASSERT_NE(OpenByCommand(), nullptr);
    EXPECT_EQ(LumoStandinLiveWindowCount(), liveBefore + 1);
    harness.machine.reset();
    EXPECT_EQ(LumoStandinLiveWindowCount(), liveBefore);
    EXPECT_EQ(LumoStandinFindWindowOfClass(layout::kWindowClassName), nullptr);
}

TEST_F(GraphWindowTest, FailedCreationLeavesNoWindowAndKeepsTheOpenFlag) {
    const std::vector<unsigned char> state = SavedState(10, 10, 406, 232, 1);
    LumoStandinFailWindowCreations(1);
    harness.Create(&state);
    EXPECT_EQ(machine().graphWindow, nullptr);
    EXPECT_TRUE(machine().graphOpen);
    EXPECT_EQ(harness.Save(), state);
    harness.ApplyNothingNew();  // no window to refresh: nothing is computed
    EXPECT_TRUE(machine().curveDirty);
}

TEST_F(GraphWindowTest, WindowsOfTwoMachinesKeepSeparateBooks) {
    harness.Create();
    GraphHarness second;
    second.host.ownerWindow = hostWindow;
    second.Create();
    const HWND first = OpenByCommand();
    second.machine->RunCommand(1);
    LumoStandinDeliverMessages();
    ASSERT_NE(second.machine->graphWindow, nullptr);
    EXPECT_NE(second.machine->graphWindow, first);

    LumoStandinDragCaption(first, 15, 25);
    EXPECT_EQ(FieldsRect(machine()), (Rect{15, 25, 406, 232}));
    EXPECT_EQ(FieldsRect(*second.machine), kDefaultRect);
    second.machine.reset();
    EXPECT_EQ(machine().graphWindow, first);
    EXPECT_TRUE(machine().graphOpen);
}

}  // namespace
}  // namespace lumo::graphtest
