// The paint cycle: invalidation, pumping, BeginPaint/EndPaint, and what lands in the client area.
#include <gtest/gtest.h>

#include <cairo.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

#include "lumo/gdiplus.h"
#include "TestWindow.h"

using namespace platform_test;

namespace {

std::atomic<ARGB> paintColour{0xFFFF0000};
std::atomic<int> paintsSeen{0};
BOOL lastEraseFlag = FALSE;
RECT lastPaintRect{};

// Fills the whole client area with paintColour through GDI+ on the paint's HDC.
void FillClient(HWND window) {
    PAINTSTRUCT paint{};
    HDC hdc = BeginPaint(window, &paint);
    lastEraseFlag = paint.fErase;
    lastPaintRect = paint.rcPaint;
    RECT client{};
    GetClientRect(window, &client);
    GpGraphics* graphics = nullptr;
    GpSolidFill* brush = nullptr;
    GdipCreateFromHDC(hdc, &graphics);
    GdipCreateSolidFill(paintColour.load(), &brush);
    GdipFillRectangleI(graphics, brush, 0, 0, client.right, client.bottom);
    GdipDeleteBrush(brush);
    EndPaint(window, &paint);
    GdipDeleteGraphics(graphics);  // after EndPaint, which the paint cycle allows
    ++paintsSeen;
}

class PaintTest : public ::testing::Test {
protected:
    void SetUp() override {
        GdiplusStartupInput input{1, nullptr, FALSE, FALSE};
        ASSERT_EQ(GdiplusStartup(&token, &input, nullptr), Ok);
        CurrentBehaviour() = Behaviour{};
        ClearLog();
        paintsSeen = 0;
        paintColour = 0xFFFF0000;
    }
    void TearDown() override {
        DestroyAllWindows();
        CurrentBehaviour() = Behaviour{};
        GdiplusShutdown(token);
    }
    static int Count(HWND window, UINT message) {
        int count = 0;
        for (UINT received : Messages(window)) count += received == message;
        return count;
    }
    static DWORD Pixel(HWND window, int x, int y) {
        DWORD argb = 0xDEADBEEF;
        EXPECT_TRUE(LumoStandinClientPixel(window, x, y, &argb));
        return argb;
    }
    ULONG_PTR token = 0;
};

TEST_F(PaintTest, PaintArrivesOnlyAfterInvalidationAndPump) {
    HWND window = CreateToolWindow(0, 0, 406, 232);
    DWORD argb = 0;
    EXPECT_FALSE(LumoStandinClientPixel(window, 0, 0, &argb));  // never painted

    InvalidateRect(window, nullptr, TRUE);
    EXPECT_EQ(LumoStandinDeliverMessages(), 0);  // hidden windows get no paint
    ShowWindow(window, SW_SHOWNA);
    EXPECT_EQ(Count(window, WM_PAINT), 0);
    EXPECT_EQ(LumoStandinDeliverMessages(), 1);
    EXPECT_EQ(Count(window, WM_PAINT), 1);
    // The default paint erased with the class's black brush.
    EXPECT_EQ(Count(window, WM_ERASEBKGND), 1);
    EXPECT_EQ(Pixel(window, 0, 0), 0xFF000000u);
    EXPECT_EQ(Pixel(window, 389, 192), 0xFF000000u);
    EXPECT_FALSE(LumoStandinClientPixel(window, 390, 0, &argb));
    EXPECT_EQ(LumoStandinDeliverMessages(), 0);

    ClearLog();
    ASSERT_TRUE(InvalidateRect(window, nullptr, FALSE));
    MSG message{};
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_PAINT));
    EXPECT_EQ(message.hwnd, window);
    DispatchMessageA(&message);
    EXPECT_EQ(Count(window, WM_PAINT), 1);
    EXPECT_EQ(Count(window, WM_ERASEBKGND), 0);  // invalidated without erasing
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(PaintTest, GdiplusOnPaintDcDrawsInsideUpdateRectangle) {
    CurrentBehaviour().onPaint = FillClient;
    CurrentBehaviour().eraseResult = 1;
    HWND window = CreateToolWindow(0, 0, 406, 232);
    ShowWindow(window, SW_SHOWNA);
    LumoStandinDeliverMessages();
    EXPECT_FALSE(lastEraseFlag);  // the procedure said it erased
    EXPECT_EQ(Pixel(window, 0, 0), 0xFFFF0000u);
    EXPECT_EQ(Pixel(window, 389, 192), 0xFFFF0000u);

    paintColour = 0xFF0000FF;
    RECT part{10, 20, 30, 40};
    InvalidateRect(window, &part, FALSE);
    LumoStandinDeliverMessages();
    EXPECT_EQ(lastPaintRect.left, 10);
    EXPECT_EQ(lastPaintRect.bottom, 40);
    EXPECT_EQ(Pixel(window, 10, 20), 0xFF0000FFu);
    EXPECT_EQ(Pixel(window, 29, 39), 0xFF0000FFu);
    EXPECT_EQ(Pixel(window, 30, 39), 0xFFFF0000u);
    EXPECT_EQ(Pixel(window, 9, 25), 0xFFFF0000u);
}

TEST_F(PaintTest, DrawingAfterEndPaintIsRefused) {
    HWND window = CreateToolWindow(0, 0, 406, 232);
    ShowWindow(window, SW_SHOWNA);
    PAINTSTRUCT paint{};
    HDC hdc = BeginPaint(window, &paint);
    GpGraphics* graphics = nullptr;
    GpSolidFill* brush = nullptr;
    ASSERT_EQ(GdipCreateFromHDC(hdc, &graphics), Ok);
    GdipCreateSolidFill(0xFF00FF00, &brush);
    ASSERT_EQ(GdipFillRectangleI(graphics, brush, 0, 0, 50, 50), Ok);
    ASSERT_TRUE(EndPaint(window, &paint));
    EXPECT_EQ(GdipFillRectangleI(graphics, brush, 0, 0, 50, 50), Win32Error);
    GpGraphics* late = nullptr;
    EXPECT_EQ(GdipCreateFromHDC(hdc, &late), InvalidParameter);
    EXPECT_EQ(late, nullptr);
    EXPECT_FALSE(EndPaint(window, &paint));
    EXPECT_EQ(Pixel(window, 49, 49), 0xFF00FF00u);
    GdipDeleteBrush(brush);
    GdipDeleteGraphics(graphics);
}

TEST_F(PaintTest, ResizeInvalidatesAndRepaintsNewArea) {
    CurrentBehaviour().onPaint = FillClient;
    HWND window = CreateToolWindow(0, 0, 406, 232);
    ShowWindow(window, SW_SHOWNA);
    LumoStandinDeliverMessages();
    ASSERT_TRUE(LumoStandinDragEdge(window, LUMO_EDGE_RIGHT | LUMO_EDGE_BOTTOM, 100, 50));
    DWORD argb = 0;
    EXPECT_FALSE(LumoStandinClientPixel(window, 480, 230, &argb));  // not painted at that size yet
    paintColour = 0xFF00FF00;
    EXPECT_EQ(LumoStandinDeliverMessages(), 1);
    EXPECT_EQ(Pixel(window, 489, 242), 0xFF00FF00u);
    EXPECT_EQ(Pixel(window, 0, 0), 0xFF00FF00u);
}

TEST_F(PaintTest, SavesClientAreaAsPng) {
    CurrentBehaviour().onPaint = FillClient;
    HWND window = CreateToolWindow(0, 0, 406, 232);
    std::string path = ::testing::TempDir() + "lumo_client_" + std::to_string(getpid()) + ".png";
    EXPECT_FALSE(LumoStandinSaveClientPng(window, path.c_str()));  // nothing painted yet
    ShowWindow(window, SW_SHOWNA);
    LumoStandinDeliverMessages();
    ASSERT_TRUE(LumoStandinSaveClientPng(window, path.c_str()));
    cairo_surface_t* image = cairo_image_surface_create_from_png(path.c_str());
    ASSERT_EQ(cairo_surface_status(image), CAIRO_STATUS_SUCCESS);
    EXPECT_EQ(cairo_image_surface_get_width(image), 390);
    EXPECT_EQ(cairo_image_surface_get_height(image), 193);
    auto* pixels = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(image));
    EXPECT_EQ(pixels[0], 0xFFFF0000u);
    cairo_surface_destroy(image);
    std::remove(path.c_str());
}

// One thread invalidates and changes what is to be drawn while the window's own thread pumps
// and paints; no invalidation may be lost.
TEST_F(PaintTest, InvalidationFromAnotherThreadWhilePainting) {
    CurrentBehaviour().onPaint = FillClient;
    HWND window = CreateToolWindow(0, 0, 406, 232);
    ShowWindow(window, SW_SHOWNA);
    std::atomic<bool> done{false};
    std::atomic<uint32_t> last{0};
    // Goes on until the window has painted meanwhile, however the threads are scheduled.
    std::thread applier([&] {
        for (uint32_t i = 1; i <= 2000 || (paintsSeen.load() < 2 && i < 0xFFFFFFu); ++i) {
            paintColour = 0xFF000000u | i;
            last = i;
            InvalidateRect(window, nullptr, FALSE);
            if (i % 64 == 0) std::this_thread::yield();
        }
        done = true;
    });
    while (!done) {
        LumoStandinDeliverMessages();
        DWORD argb = 0;
        LumoStandinClientPixel(window, 5, 5, &argb);
    }
    applier.join();
    LumoStandinDeliverMessages();
    EXPECT_EQ(Pixel(window, 5, 5), 0xFF000000u | last.load());
    EXPECT_GE(paintsSeen.load(), 2);
}

}  // namespace
