// Window registry, creation sequence, placement, user drags and destruction of the stand-in.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "TestWindow.h"

using namespace platform_test;

namespace {

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        CurrentBehaviour() = Behaviour{};
        ClearLog();
    }
    void TearDown() override {
        DestroyAllWindows();
        CurrentBehaviour() = Behaviour{};
    }
    static LumoStandinWindowInfo Info(HWND window) {
        LumoStandinWindowInfo info{};
        EXPECT_TRUE(LumoStandinGetWindowInfo(window, &info));
        return info;
    }
};

TEST_F(WindowTest, CreationSendsWin32SequenceWithClientGeometry) {
    RegisterTestClass();
    int createParam = 7;
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, kClassName, "Graph", kToolStyle, 100, 50, 406,
                                  232, nullptr, nullptr, GetModuleHandleA(nullptr), &createParam);
    ASSERT_NE(window, nullptr);
    std::vector<Received> log = Log();
    ASSERT_EQ(log.size(), 5u);
    EXPECT_EQ(log[0].message, static_cast<UINT>(WM_GETMINMAXINFO));
    EXPECT_EQ(log[1].message, static_cast<UINT>(WM_NCCREATE));
    EXPECT_EQ(log[2].message, static_cast<UINT>(WM_CREATE));
    EXPECT_EQ(LastCreateParams(), &createParam);
    EXPECT_EQ(log[3].message, static_cast<UINT>(WM_SIZE));
    EXPECT_EQ(SignedLow(log[3].lParam), 406 - 2 * kLumoStandinFrameBorder);
    EXPECT_EQ(SignedHigh(log[3].lParam),
              232 - 2 * kLumoStandinFrameBorder - kLumoStandinCaptionHeight);
    EXPECT_EQ(log[4].message, static_cast<UINT>(WM_MOVE));
    EXPECT_EQ(SignedLow(log[4].lParam), 100 + kLumoStandinFrameBorder);
    EXPECT_EQ(SignedHigh(log[4].lParam), 50 + kLumoStandinFrameBorder + kLumoStandinCaptionHeight);

    RECT outer{}, client{};
    ASSERT_TRUE(GetWindowRect(window, &outer));
    ASSERT_TRUE(GetClientRect(window, &client));
    EXPECT_EQ(outer.left, 100);
    EXPECT_EQ(outer.bottom, 282);
    EXPECT_EQ(client.left, 0);
    EXPECT_EQ(client.right, 390);
    EXPECT_EQ(client.bottom, 193);
    POINT origin{0, 0};
    ASSERT_TRUE(ClientToScreen(window, &origin));
    EXPECT_EQ(origin.x, 108);
    EXPECT_EQ(origin.y, 81);
    EXPECT_FALSE(IsWindowVisible(window));
    char caption[16];
    EXPECT_EQ(GetWindowTextA(window, caption, sizeof caption), 5);
    EXPECT_STREQ(caption, "Graph");
}

TEST_F(WindowTest, NegativePositionsArriveAsSignedWords) {
    HWND window = CreateToolWindow(-300, -40, 406, 232);
    ASSERT_NE(window, nullptr);
    std::vector<Received> log = Log();
    ASSERT_EQ(log.back().message, static_cast<UINT>(WM_MOVE));
    EXPECT_EQ(SignedLow(log.back().lParam), -292);
    EXPECT_EQ(SignedHigh(log.back().lParam), -9);
}

TEST_F(WindowTest, ClassRegistersOnceAndUnregistersOnlyWithoutWindows) {
    RegisterTestClass();
    WNDCLASSEXA again{};
    again.cbSize = sizeof again;
    again.lpfnWndProc = RecordingProc;
    again.hInstance = GetModuleHandleA(nullptr);
    again.lpszClassName = "lumoplatformtestclass";  // class names ignore case
    EXPECT_EQ(RegisterClassExA(&again), 0);
    again.cbSize = 48;  // the 32-bit size is not this platform's structure
    again.lpszClassName = "LumoOtherClass";
    EXPECT_EQ(RegisterClassExA(&again), 0);

    HWND window = CreateToolWindow(0, 0, 406, 232);
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(UnregisterClassA(kClassName, GetModuleHandleA(nullptr)));
    DestroyWindow(window);
    EXPECT_TRUE(UnregisterClassA(kClassName, GetModuleHandleA(nullptr)));
    EXPECT_EQ(CreateWindowExA(0, kClassName, "", kToolStyle, 0, 0, 400, 300, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr),
              nullptr);
    EXPECT_EQ(CreateToolWindow(0, 0, 406, 232) != nullptr, true);  // registers anew
}

TEST_F(WindowTest, FailedCreationLeavesNoWindowAndSendsNothing) {
    RegisterTestClass();
    const size_t before = LiveWindows().size();
    LumoStandinFailWindowCreations(1);
    EXPECT_EQ(CreateToolWindow(0, 0, 406, 232), nullptr);
    EXPECT_TRUE(Log().empty());
    EXPECT_EQ(LiveWindows().size(), before);
    EXPECT_NE(CreateToolWindow(0, 0, 406, 232), nullptr);
}

TEST_F(WindowTest, TrackingLimitsBoundCreationDragsAndMoves) {
    CurrentBehaviour().minTrack = {300, 200};
    CurrentBehaviour().maxTrack = {600, 400};
    HWND window = CreateToolWindow(10, 20, 1000, 50);
    ASSERT_NE(window, nullptr);
    LumoStandinWindowInfo info = Info(window);
    EXPECT_EQ(info.windowRect.right - info.windowRect.left, 600);
    EXPECT_EQ(info.windowRect.bottom - info.windowRect.top, 200);
    ShowWindow(window, SW_SHOWNA);

    ClearLog();
    ASSERT_TRUE(LumoStandinDragEdge(window, LUMO_EDGE_RIGHT | LUMO_EDGE_BOTTOM, 50, 500));
    info = Info(window);
    EXPECT_EQ(info.windowRect.left, 10);
    EXPECT_EQ(info.windowRect.top, 20);
    EXPECT_EQ(info.windowRect.right, 610);   // width already at its maximum
    EXPECT_EQ(info.windowRect.bottom, 420);  // height stops at 400
    std::vector<UINT> sizeOnly = {WM_GETMINMAXINFO, WM_SIZE};
    EXPECT_EQ(Messages(window), sizeOnly);

    // Dragging the left edge far right keeps the right edge and stops at the minimum width.
    ClearLog();
    ASSERT_TRUE(LumoStandinDragEdge(window, LUMO_EDGE_LEFT, 1000, 0));
    info = Info(window);
    EXPECT_EQ(info.windowRect.right, 610);
    EXPECT_EQ(info.windowRect.left, 310);
    std::vector<Received> log = Log();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[1].message, static_cast<UINT>(WM_MOVE));
    EXPECT_EQ(SignedLow(log[1].lParam), 310 + kLumoStandinFrameBorder);
    EXPECT_EQ(log[2].message, static_cast<UINT>(WM_SIZE));
    EXPECT_EQ(SignedLow(log[2].lParam), 300 - 2 * kLumoStandinFrameBorder);

    // MoveWindow goes through the same limits, as DefWindowProc's WM_WINDOWPOSCHANGING does.
    ASSERT_TRUE(MoveWindow(window, 0, 0, 100, 1000, TRUE));
    info = Info(window);
    EXPECT_EQ(info.windowRect.right, 300);
    EXPECT_EQ(info.windowRect.bottom, 400);
}

TEST_F(WindowTest, CaptionDragMovesWithoutResizing) {
    HWND window = CreateToolWindow(0, 0, 406, 232);
    EXPECT_FALSE(LumoStandinDragCaption(window, 5, 5));  // hidden windows cannot be dragged
    ShowWindow(window, SW_SHOWNA);
    ClearLog();
    ASSERT_TRUE(LumoStandinDragCaption(window, 37, -12));
    std::vector<Received> log = Log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].message, static_cast<UINT>(WM_GETMINMAXINFO));
    EXPECT_EQ(log[1].message, static_cast<UINT>(WM_MOVE));
    EXPECT_EQ(SignedLow(log[1].lParam), 37 + kLumoStandinFrameBorder);
    EXPECT_EQ(SignedHigh(log[1].lParam), -12 + kLumoStandinFrameBorder + kLumoStandinCaptionHeight);
    RECT outer{};
    GetWindowRect(window, &outer);
    EXPECT_EQ(outer.right - outer.left, 406);

    // Moving to the same place reports nothing.
    ClearLog();
    ASSERT_TRUE(MoveWindow(window, outer.left, outer.top, 406, 232, TRUE));
    EXPECT_EQ(Messages(window), std::vector<UINT>{WM_GETMINMAXINFO});
}

TEST_F(WindowTest, ShowingActivationAndFirstShowReport) {
    HWND first = CreateToolWindow(0, 0, 406, 232);
    HWND second = CreateToolWindow(50, 50, 406, 232);
    ClearLog();
    EXPECT_FALSE(ShowWindow(first, SW_SHOWNA));  // was hidden
    std::vector<UINT> firstShowing = {WM_SHOWWINDOW, WM_SIZE, WM_MOVE};
    EXPECT_EQ(Messages(first), firstShowing);
    EXPECT_TRUE(Info(first).visible);
    EXPECT_FALSE(Info(first).active);

    EXPECT_FALSE(ShowWindow(second, SW_SHOW));
    EXPECT_TRUE(Info(second).active);
    EXPECT_TRUE(BringWindowToTop(first));
    EXPECT_TRUE(Info(first).active);
    EXPECT_FALSE(Info(second).active);

    ClearLog();
    EXPECT_TRUE(ShowWindow(first, SW_HIDE));
    EXPECT_FALSE(IsWindowVisible(first));
    EXPECT_FALSE(Info(first).active);
    ShowWindow(first, SW_SHOWNA);  // showing again reports no geometry
    std::vector<UINT> hideThenShow = {WM_SHOWWINDOW, WM_SHOWWINDOW};
    EXPECT_EQ(Messages(first), hideThenShow);
}

TEST_F(WindowTest, WindowLongsHoldThePointerAndTheOwner) {
    HWND owner = CreateToolWindow(0, 0, 406, 232);
    HWND window = CreateToolWindow(0, 0, 406, 232);
    static int machine = 0;
    LONG_PTR pointer = reinterpret_cast<LONG_PTR>(&machine);
    EXPECT_EQ(SetWindowLongPtrA(window, GWLP_USERDATA, pointer), 0);
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_USERDATA), pointer);
    SetWindowLongPtrA(window, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    EXPECT_EQ(Info(window).owner, owner);
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_HWNDPARENT), reinterpret_cast<LONG_PTR>(owner));

    // Destroying the owner destroys the owned window first.
    ClearLog();
    ASSERT_TRUE(DestroyWindow(owner));
    EXPECT_FALSE(IsWindow(window));
    std::vector<Received> log = Log();
    ASSERT_GE(log.size(), 4u);
    EXPECT_EQ(log[0].window, window);
    EXPECT_EQ(log[0].message, static_cast<UINT>(WM_DESTROY));
    EXPECT_EQ(log.back().window, owner);
    EXPECT_EQ(log.back().message, static_cast<UINT>(WM_NCDESTROY));
}

TEST_F(WindowTest, CloseBoxDestroysAndDeadHandleCallsFail) {
    HWND window = CreateToolWindow(0, 0, 406, 232);
    ShowWindow(window, SW_SHOW);
    ClearLog();
    ASSERT_TRUE(LumoStandinClickClose(window));
    std::vector<UINT> closing = {WM_CLOSE, WM_DESTROY, WM_NCDESTROY};
    EXPECT_EQ(Messages(window), closing);
    EXPECT_FALSE(IsWindow(window));

    RECT rect{};
    POINT point{};
    PAINTSTRUCT paint{};
    char text[8] = "x";
    EXPECT_FALSE(GetClientRect(window, &rect));
    EXPECT_FALSE(GetWindowRect(window, &rect));
    EXPECT_FALSE(ClientToScreen(window, &point));
    EXPECT_EQ(GetWindowTextA(window, text, sizeof text), 0);
    EXPECT_EQ(SetWindowLongPtrA(window, GWLP_USERDATA, 5), 0);
    EXPECT_FALSE(ShowWindow(window, SW_SHOW));
    EXPECT_FALSE(MoveWindow(window, 0, 0, 10, 10, TRUE));
    EXPECT_FALSE(InvalidateRect(window, nullptr, FALSE));
    EXPECT_EQ(SendMessageA(window, WM_CLOSE, 0, 0), 0);
    EXPECT_EQ(BeginPaint(window, &paint), nullptr);
    EXPECT_FALSE(DestroyWindow(window));
    EXPECT_FALSE(LumoStandinClickClose(window));
    EXPECT_FALSE(LumoStandinDragEdge(window, LUMO_EDGE_RIGHT, 1, 1));
    EXPECT_EQ(Log().size(), 3u);  // nothing reached the procedure any more
}

TEST_F(WindowTest, OnlyTheCreatingThreadDestroys) {
    HWND window = CreateToolWindow(0, 0, 406, 232);
    BOOL destroyed = TRUE;
    std::thread other([&] { destroyed = DestroyWindow(window); });
    other.join();
    EXPECT_FALSE(destroyed);
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(WindowTest, PaintsReachOnlyTheOwningThread) {
    HWND window = CreateToolWindow(0, 0, 406, 232);
    ShowWindow(window, SW_SHOWNA);
    LumoStandinDeliverMessages();
    ClearLog();
    ASSERT_TRUE(InvalidateRect(window, nullptr, FALSE));
    int elsewhere = -1;
    std::thread other([&] { elsewhere = LumoStandinDeliverMessages(); });
    other.join();
    EXPECT_EQ(elsewhere, 0);
    EXPECT_TRUE(Log().empty());

    MSG message{};
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_PAINT));
    EXPECT_EQ(LumoStandinDeliverMessages(), 1);
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST(MessageBoxTest, RecordsCaptionTextAndStyle) {
    LumoStandinClearMessageBoxes();
    EXPECT_EQ(MessageBoxA(nullptr, "Tarvo Lumo-31\nversion 1", "About",
                          MB_OK | MB_ICONINFORMATION),
              IDOK);
    EXPECT_EQ(MessageBoxA(nullptr, "second", nullptr, MB_OK), IDOK);
    EXPECT_EQ(MessageBoxA(reinterpret_cast<HWND>(0x1234), "bad owner", "x", MB_OK), 0);
    ASSERT_EQ(LumoStandinMessageBoxCount(), 2);
    EXPECT_STREQ(LumoStandinMessageBoxCaption(0), "About");
    EXPECT_STREQ(LumoStandinMessageBoxText(0), "Tarvo Lumo-31\nversion 1");
    EXPECT_EQ(LumoStandinMessageBoxStyle(0), static_cast<UINT>(MB_ICONINFORMATION));
    EXPECT_STREQ(LumoStandinMessageBoxCaption(1), "Error");  // Win32's default caption
    EXPECT_EQ(LumoStandinMessageBoxText(2), nullptr);
    LumoStandinClearMessageBoxes();
    EXPECT_EQ(LumoStandinMessageBoxCount(), 0);
}

TEST(SystemTest, FixedScreenAndNonNullHandles) {
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), kLumoStandinScreenWidth);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), kLumoStandinScreenHeight);
    EXPECT_NE(GetModuleHandleA(nullptr), nullptr);
    EXPECT_EQ(GetModuleHandleA(nullptr), GetModuleHandleA(nullptr));
    EXPECT_NE(LoadCursorA(nullptr, IDC_ARROW), nullptr);
    EXPECT_NE(GetStockObject(BLACK_BRUSH), nullptr);
    EXPECT_NE(GetStockObject(BLACK_BRUSH), GetStockObject(0));
}

}  // namespace
