// The painted picture, probed at pixels computed from the client size: background, grid, labels,
// the filled area and the curve line.
#include <cmath>

#include "PaintProbes.h"
#include "graph-window/PaintGraph.h"
#include "WindowHarness.h"

namespace lumo::graphtest {
namespace {

using namespace probes;

// A curve of our own: +0.5 over the lower half of the axis, -0.5 over the upper half, so that
// the line has a near-vertical step in the middle.
Curve StepCurve() {
    Curve curve;
    const int n = kCurvePointCount;
    curve.slots[0] = {0.0f, 0.0f};
    for (int i = 0; i < n; ++i) curve.slots[i + 1] = {float(i) / (n - 1), i < n / 2 ? 0.5f : -0.5f};
    curve.slots[n + 1] = {1.0f, 0.0f};
    return curve;
}

// A window of the graph window's size whose paints draw the step curve.
LRESULT CALLBACK StepCurveWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        static const Curve curve = StepCurve();
        RECT client;
        GetClientRect(window, &client);
        graph::PaintGraph(window, client.right - client.left, client.bottom - client.top, curve);
        return 0;
    }
    if (message == WM_ERASEBKGND) return 1;
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND OpenStepCurveWindow(HWND owner) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = StepCurveWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "LumoStepCurveTest";
    RegisterClassExA(&windowClass);  // once per process; later registrations fail harmlessly
    const HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, "LumoStepCurveTest", "step",
                                        WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, 0, 0, 406, 232,
                                        nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(window, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    ShowWindow(window, SW_SHOWNA);
    return window;
}

class GraphPaintTest : public GraphWindowTest {
protected:
    HWND OpenAndPaint() {
        harness.Create();
        const HWND window = OpenByCommand();
        EXPECT_NE(window, nullptr);
        return window;
    }
    void Repaint() {
        InvalidateRect(graph().Window(), nullptr, FALSE);
        desktop::Pump();
    }
    // What the window shows now, after its pending paints.
    Image Shown() { return Shown(graph().Window()); }
    Image Shown(HWND window) {
        desktop::Pump();
        Image image;
        EXPECT_TRUE(desktop::CaptureClient(window, &image));
        return image;
    }
};

TEST_F(GraphPaintTest, GridBackgroundAndLabelsAtEverySize) {
    const HWND window = OpenAndPaint();
    ASSERT_NE(window, nullptr);
    for (int growth : {0, 150, -100}) {
        SCOPED_TRACE(growth);
        if (growth != 0) {
            ASSERT_TRUE(desktop::DragEdge(window, desktop::kRight | desktop::kBottom, growth, growth));
        }
        const Image shown = Shown();
        const Plot plot(graph().ClientWidth(), graph().ClientHeight());
        const int cw = graph().ClientWidth(), ch = graph().ClientHeight();
        ASSERT_EQ(shown.width, cw);
        ASSERT_EQ(shown.height, ch);

        EXPECT_TRUE(IsBlack(PixelAt(shown, cw - 3, 3)));       // top-right margin
        EXPECT_TRUE(IsBlack(PixelAt(shown, 3, ch - 3)));       // bottom-left margin
        EXPECT_TRUE(IsBlack(PixelAt(shown, int(plot.X(0.4)), int(plot.Y(0.5)))));

        const int midX = int(plot.X(0.4));
        for (double dB : {30.0, 20.0, -10.0, -30.0})
            EXPECT_TRUE(IsGridColoured(GreenestAcrossRow(shown, midX, plot.Y(dB / 30.0)))) << dB;
        const int midY = int(plot.Y(0.5));
        for (double hz : {100.0, 1000.0, 10000.0})
            EXPECT_TRUE(IsGridColoured(
                GreenestAcrossColumn(shown, plot.X(std::log(hz / 20.0) / std::log(1000.0)), midY)))
                << hz;

        // "+30" ends at the plot's left edge; "-30" likewise at the bottom line; "20" starts at
        // the left edge below the plot; "1k" is centred under its line; "20k" reaches past the
        // plot's right edge.
        const int below = int(plot.Y(-1.0)) + 2;
        EXPECT_TRUE(BoxHasLabelInk(shown, 1, 4, 22, 16));
        EXPECT_TRUE(BoxHasLabelInk(shown, 1, int(plot.Y(-1.0)) - 6, 22, int(plot.Y(-1.0)) + 6));
        EXPECT_TRUE(BoxHasLabelInk(shown, 25, below, 40, ch - 1));
        const int oneKilohertz = int(plot.X(std::log(50.0) / std::log(1000.0)));
        EXPECT_TRUE(BoxHasLabelInk(shown, oneKilohertz - 7, below, oneKilohertz + 7, ch - 1));
        EXPECT_FALSE(BoxHasLabelInk(shown, oneKilohertz + 30, below, oneKilohertz + 60, ch - 1));
        EXPECT_TRUE(BoxHasLabelInk(shown, int(plot.X(1.0)) + 1, below, cw - 1, ch - 1));
    }
}

TEST_F(GraphPaintTest, AreaFillsBetweenTheCurveAndZeroDecibels) {
    const HWND window = OpenStepCurveWindow(hostWindow);
    ASSERT_NE(window, nullptr);
    const Image shown = Shown(window);
    const Plot plot(shown.width, shown.height);

    EXPECT_TRUE(IsAreaColoured(PixelAt(shown, int(plot.X(0.25)), int(plot.Y(0.25)))));
    EXPECT_TRUE(IsAreaColoured(PixelAt(shown, int(plot.X(0.75)), int(plot.Y(-0.25)))));
    EXPECT_TRUE(IsBlack(PixelAt(shown, int(plot.X(0.75)), int(plot.Y(0.25)))));
    EXPECT_TRUE(IsBlack(PixelAt(shown, int(plot.X(0.25)), int(plot.Y(-0.25)))));
    EXPECT_TRUE(IsBlack(PixelAt(shown, int(plot.X(0.25)), int(plot.Y(0.7)))));  // above the curve

    // The near-vertical step of the line between points 60 and 61, crossed at a quarter height.
    const int n = kCurvePointCount;
    const int row = int(plot.Y(0.25));
    Colour line = {0, 0, -1, 0};
    for (int x = int(plot.X((n / 2 - 1.0) / (n - 1))) - 1; x <= int(plot.X((n / 2.0) / (n - 1))) + 1; ++x) {
        const Colour c = PixelAt(shown, x, row);
        if (c.b > line.b) line = c;
    }
    EXPECT_GE(line.g, 150);  // (0, 255, 50), at least half covering one pixel
    EXPECT_GE(line.b, 20);
    EXPECT_LE(line.r, 10);
    DestroyWindow(window);
}

TEST_F(GraphPaintTest, FlatResponseFillsNothing) {
    const HWND window = OpenAndPaint();
    ASSERT_NE(window, nullptr);
    harness.ApplyAll(16, kDefaultBandwidth, kSliderCentre);
    const Image shown = Shown();
    const Plot plot(graph().ClientWidth(), graph().ClientHeight());
    for (double x : {0.1, 0.45, 0.7})
        for (double y : {0.2, -0.2})
            EXPECT_TRUE(IsBlack(PixelAt(shown, int(plot.X(x)), int(plot.Y(y))))) << x << ", " << y;
}

TEST_F(GraphPaintTest, ParameterChangeRepaintsTheNewCurve) {
    const HWND window = OpenAndPaint();
    ASSERT_NE(window, nullptr);
    const Plot plot(graph().ClientWidth(), graph().ClientHeight());
    const int x = int(plot.X(std::log(50.0) / std::log(1000.0))) + 2;  // beside the 1 kHz line
    EXPECT_TRUE(IsBlack(PixelAt(Shown(), x, int(plot.Y(0.15)))));

    std::vector<int> sliders(kBandCount, kSliderCentre);
    sliders[kOneKhz] = 128;
    harness.Apply(16, 24, sliders);  // +16 dB, two octaves wide
    EXPECT_TRUE(IsAreaColoured(PixelAt(Shown(), x, int(plot.Y(0.15)))));
}

TEST_F(GraphPaintTest, SavedOpenWindowShowsTheRealCurveAfterTheFirstParameterCall) {
    const std::vector<unsigned char> state = SavedState(50, 50, 406, 232, 1);
    harness.Create(&state);
    const HWND window = graph().Window();
    ASSERT_NE(window, nullptr);
    desktop::Pump();
    const Plot plot(graph().ClientWidth(), graph().ClientHeight());
    const int x = int(plot.X(std::log(50.0) / std::log(1000.0))) + 2;  // beside the 1 kHz line
    const int y = int(plot.Y(0.15));
    EXPECT_TRUE(IsBlack(PixelAt(Shown(), x, y)));  // nothing computed yet: all points at (0, 0)

    // A call without new values still brings the curve up to date: the curve of the defaults.
    harness.ApplyNothingNew();
    EXPECT_EQ(graph().LatestCurve().slots[68].y, 0.0f);
    EXPECT_EQ(graph().LatestCurve().slots[kCurvePointCount + 1].x, 1.0f);

    std::vector<int> sliders(kBandCount, kSliderCentre);
    sliders[kOneKhz] = 128;
    harness.Apply(16, 24, sliders);  // the host's first full call: +16 dB, two octaves wide
    EXPECT_TRUE(IsAreaColoured(PixelAt(Shown(), x, y)));
    EXPECT_GT(graph().LatestCurve().slots[68].y, 0.4f);
}

TEST_F(GraphPaintTest, ClientTooSmallForAPlotPaintsBackgroundOnly) {
    const HWND window = OpenAndPaint();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(IsBlack(GreenestAcrossRow(Shown(), 30, 10.0)));  // the +30 dB line

    SendMessageA(window, WM_SIZE, 0, MAKELPARAM(0, 0));
    EXPECT_EQ(graph().ClientWidth(), 0);
    Repaint();  // nothing to copy, nothing to fail

    SendMessageA(window, WM_SIZE, 0, MAKELPARAM(38, 30));
    Repaint();
    const Image shown = Shown();
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 38; ++x) ASSERT_TRUE(IsBlack(PixelAt(shown, x, y))) << x << ", " << y;

    SendMessageA(window, WM_SIZE, 0, MAKELPARAM(39, 31));  // the smallest plot: 1 x 0.5 pixels
    Repaint();
    EXPECT_EQ(graph().ClientWidth(), 39);
}

}  // namespace
}  // namespace lumo::graphtest
