// The graph window's life and geometry books, driven as a user and the host would.
#include <cstring>

#include "WindowHarness.h"

#ifndef _WIN32
#include <lumo/standin.h>
#endif

namespace lumo::graphtest {
namespace {

constexpr Rect kDefaultRect = {0, 0, 406, 232};

TEST_F(GraphWindowTest, GraphCommandOpensAtDefaultGeometryWithoutTakingFocus) {
    harness.Create();
    const HWND window = OpenByCommand();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(graph().IsOpen());
    EXPECT_EQ(desktop::LiveWindowCount(), liveBefore + 1);

    const desktop::WindowInfo info = WindowInfo(window);
    EXPECT_EQ(info.outer, kDefaultRect);
    EXPECT_TRUE(info.visible);
    EXPECT_FALSE(info.active);
    EXPECT_TRUE(WindowInfo(hostWindow).active);
    EXPECT_EQ(info.owner, hostWindow);
    EXPECT_EQ(info.caption, "Lumo graph test");
    EXPECT_EQ(harness.host.titleAskedFor, &harness.host.handleTag);
    EXPECT_EQ(info.className, ThisDeliverable().windowClassName);
    EXPECT_EQ(info.exStyle & WS_EX_TOOLWINDOW, static_cast<DWORD>(WS_EX_TOOLWINDOW));
    const DWORD frame = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
    EXPECT_EQ(info.style & frame, frame);
    ExpectFieldsFollowWindow();
}

TEST_F(GraphWindowTest, MovingAndResizingKeepTheBooks) {
    harness.Create();
    const HWND window = OpenByCommand();
    ASSERT_NE(window, nullptr);

    ASSERT_TRUE(desktop::DragCaption(window, 37, 21));
    EXPECT_EQ(FieldsRect(graph()), (Rect{37, 21, 406, 232}));
    ExpectFieldsFollowWindow();

    ASSERT_TRUE(desktop::DragCaption(window, -50, -30));  // partly off the screen
    EXPECT_EQ(FieldsRect(graph()), (Rect{-13, -9, 406, 232}));
    ExpectFieldsFollowWindow();

    ASSERT_TRUE(desktop::DragCaption(window, 63, 39));
    EXPECT_EQ(FieldsRect(graph()), (Rect{50, 30, 406, 232}));

    ASSERT_TRUE(desktop::DragEdge(window, desktop::kRight | desktop::kBottom, 30, 17));
    EXPECT_EQ(FieldsRect(graph()), (Rect{50, 30, 436, 249}));
    ExpectFieldsFollowWindow();

    ASSERT_TRUE(desktop::DragEdge(window, desktop::kLeft, -20, 0));
    EXPECT_EQ(FieldsRect(graph()), (Rect{30, 30, 456, 249}));
    ExpectFieldsFollowWindow();

    ASSERT_TRUE(desktop::DragEdge(window, desktop::kLeft | desktop::kTop, 40, 9));
    EXPECT_EQ(FieldsRect(graph()), (Rect{70, 39, 416, 240}));
    ExpectFieldsFollowWindow();
}

#ifdef _WIN32
// Wine's sizing loop keeps the pointer inside a half-open range, so a right or bottom border
// dragged past the largest tracking size stops one pixel short of it.
constexpr int kSizingLoopShortfall = 1;
#else
constexpr int kSizingLoopShortfall = 0;
#endif

TEST_F(GraphWindowTest, ResizingStopsAtTheTrackingLimits) {
    harness.Create();
    const HWND window = OpenByCommand();
    ASSERT_NE(window, nullptr);

    ASSERT_TRUE(desktop::DragEdge(window, desktop::kRight | desktop::kBottom, 400, 300));
    EXPECT_EQ(FieldsRect(graph()),
              (Rect{0, 0, 600 - kSizingLoopShortfall, 400 - kSizingLoopShortfall}));
    ExpectFieldsFollowWindow();

    // Placing the window applies the same limits.
    MoveWindow(window, 0, 0, 1000, 1000, TRUE);
    desktop::Pump();
    EXPECT_EQ(FieldsRect(graph()), (Rect{0, 0, 600, 400}));
    ExpectFieldsFollowWindow();

    ASSERT_TRUE(desktop::DragEdge(window, desktop::kRight | desktop::kBottom, -400, -300));
    EXPECT_EQ(FieldsRect(graph()), (Rect{0, 0, 300, 200}));
    ExpectFieldsFollowWindow();

    // The left edge beyond the limits: the right edge stays where it is.
    ASSERT_TRUE(desktop::DragCaption(window, 400, 100));
    ASSERT_TRUE(desktop::DragEdge(window, desktop::kLeft, -350, 0));
    EXPECT_EQ(FieldsRect(graph()), (Rect{100, 100, 600, 200}));
    ExpectFieldsFollowWindow();
}

TEST_F(GraphWindowTest, ClosedWindowIsSavedClosedAndReopensWhereItWas) {
    harness.Create();
    const HWND window = OpenByCommand();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(desktop::DragCaption(window, 120, 80));
    ASSERT_TRUE(desktop::DragEdge(window, desktop::kRight | desktop::kBottom, 44, 33));
    const Rect moved = {120, 80, 450, 265};
    EXPECT_EQ(FieldsRect(graph()), moved);

    ASSERT_TRUE(desktop::ClickClose(window));
    desktop::Pump();
    EXPECT_EQ(graph().Window(), nullptr);
    EXPECT_FALSE(graph().IsOpen());
    EXPECT_EQ(desktop::LiveWindowCount(), liveBefore);
    EXPECT_FALSE(IsWindow(window));
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
    EXPECT_EQ(graph().Window(), nullptr);
    EXPECT_FALSE(graph().IsHiddenByHost());

    const HWND window = OpenByCommand();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(desktop::DragCaption(window, 300, 200));
    harness.host.extension->HideGraphWindow(false);  // restore without a hide: nothing
    EXPECT_EQ(graph().Window(), window);

    harness.host.extension->HideGraphWindow(true);
    EXPECT_EQ(graph().Window(), nullptr);
    EXPECT_FALSE(graph().IsOpen());
    EXPECT_TRUE(graph().IsHiddenByHost());
    EXPECT_EQ(desktop::LiveWindowCount(), liveBefore);
    EXPECT_EQ(harness.Save(), SavedState(300, 200, 406, 232, 0));

    harness.host.extension->HideGraphWindow(false);
    desktop::Pump();
    ASSERT_NE(graph().Window(), nullptr);
    EXPECT_TRUE(graph().IsOpen());
    EXPECT_FALSE(graph().IsHiddenByHost());
    EXPECT_EQ(OuterRect(graph().Window()), (Rect{300, 200, 406, 232}));
    ExpectFieldsFollowWindow();
}

TEST_F(GraphWindowTest, GraphCommandReshowsTheOpenWindow) {
    harness.Create();
    const HWND window = OpenByCommand();
    ASSERT_NE(window, nullptr);
    harness.host.title = "renamed";
    EXPECT_EQ(OpenByCommand(), window);
    EXPECT_EQ(desktop::LiveWindowCount(), liveBefore + 1);
    EXPECT_EQ(WindowInfo(window).caption, "Lumo graph test");  // taken once, at creation
    EXPECT_TRUE(WindowInfo(window).visible);
    EXPECT_TRUE(WindowInfo(window).active);  // brought to the top this time
}

TEST_F(GraphWindowTest, SavedOpenStateReopensAtTheSavedGeometry) {
    const std::vector<unsigned char> saved = {0x01, 0xF8, 0xFF, 0x10, 0x00,
                                              0x96, 0x01, 0xE8, 0x00, 0x01};
    harness.Create(&saved);
    desktop::Pump();
    ASSERT_NE(graph().Window(), nullptr);
    EXPECT_TRUE(graph().IsOpen());
    EXPECT_EQ(OuterRect(graph().Window()), (Rect{-8, 16, 406, 232}));
    EXPECT_FALSE(WindowInfo(graph().Window()).active);
    ExpectFieldsFollowWindow();
    EXPECT_EQ(harness.Save(), saved);
}

// A saved rectangle relative to the screen's size, and whether the Graph command brings it back.
struct OffScreenCase {
    const char* name;
    int xFromScreenRight;  // added to the screen width when useScreenWidth
    bool useScreenWidth;
    int yFromScreenBottom;
    bool useScreenHeight;
    bool movedBack;
};

void PrintTo(const OffScreenCase& c, std::ostream* out) { *out << c.name; }

class GraphWindowReshowTest : public GraphWindowTest,
                              public testing::WithParamInterface<OffScreenCase> {};

TEST_P(GraphWindowReshowTest, ReshowBringsBackAWindowOffTheScreen) {
    const OffScreenCase& c = GetParam();
    const Rect saved = {c.xFromScreenRight + (c.useScreenWidth ? GetSystemMetrics(SM_CXSCREEN) : 0),
                        c.yFromScreenBottom + (c.useScreenHeight ? GetSystemMetrics(SM_CYSCREEN) : 0),
                        406, 232};
    const std::vector<unsigned char> state =
        SavedState(saved.x, saved.y, saved.width, saved.height, 1);
    harness.Create(&state);
    const HWND window = graph().Window();
    ASSERT_NE(window, nullptr);
    desktop::Pump();
    EXPECT_EQ(OuterRect(window), saved);  // created wherever the song put it

    EXPECT_EQ(OpenByCommand(), window);
    EXPECT_EQ(OuterRect(window), c.movedBack ? kDefaultRect : saved);
    ExpectFieldsFollowWindow();
}

INSTANTIATE_TEST_SUITE_P(
    Screen, GraphWindowReshowTest,
    testing::Values(OffScreenCase{"LeftAtScreenWidth", 0, true, 100, false, true},
                    OffScreenCase{"TopAtScreenHeight", 100, false, 0, true, true},
                    OffScreenCase{"TopAboveScreen", 100, false, -1, false, true},
                    OffScreenCase{"RightEdgeAtOne", -405, false, 100, false, true},
                    OffScreenCase{"TwoPixelsOnScreen", -404, false, 100, false, false},
                    OffScreenCase{"LastPixelOnScreen", -1, true, -1, true, false}),
    [](const testing::TestParamInfo<OffScreenCase>& info) { return std::string(info.param.name); });

TEST_F(GraphWindowTest, DestroyingTheMachineRemovesItsWindow) {
    harness.Create();
    const HWND window = OpenByCommand();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(desktop::LiveWindowCount(), liveBefore + 1);
    harness.machine.reset();
    desktop::Pump();
    EXPECT_EQ(desktop::LiveWindowCount(), liveBefore);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(desktop::FindWindowOfClass(ThisDeliverable().windowClassName), nullptr);
}

#ifndef _WIN32
// Only the stand-in can make window creation fail on request.
TEST_F(GraphWindowTest, FailedCreationLeavesNoWindowAndKeepsTheOpenFlag) {
    const std::vector<unsigned char> state = SavedState(10, 10, 406, 232, 1);
    LumoStandinFailWindowCreations(1);
    harness.Create(&state);
    EXPECT_EQ(graph().Window(), nullptr);
    EXPECT_TRUE(graph().IsOpen());
    EXPECT_EQ(harness.Save(), state);
    harness.ApplyNothingNew();  // no window to refresh: nothing is computed
    EXPECT_EQ(graph().LatestCurve().slots[kCurvePointCount + 1].x, 0.0f);
}
#endif

TEST_F(GraphWindowTest, WindowsOfTwoMachinesKeepSeparateBooks) {
    harness.Create();
    GraphHarness second;
    second.host.ownerWindow = hostWindow;
    second.Create();
    const HWND first = OpenByCommand();
    second.machine->RunCommand(abi::kCommandGraph);
    desktop::Pump();
    ASSERT_NE(second.Window(), nullptr);
    EXPECT_NE(second.Window(), first);

    // The second window lies on top of the first at the same place: move it away first.
    ASSERT_TRUE(desktop::DragCaption(second.Window(), 500, 400));
    ASSERT_TRUE(desktop::DragCaption(first, 15, 25));
    EXPECT_EQ(FieldsRect(graph()), (Rect{15, 25, 406, 232}));
    EXPECT_EQ(FieldsRect(second.machine->Graph()), (Rect{500, 400, 406, 232}));
    second.machine.reset();
    desktop::Pump();
    EXPECT_EQ(graph().Window(), first);
    EXPECT_TRUE(graph().IsOpen());
}

}  // namespace
}  // namespace lumo::graphtest
