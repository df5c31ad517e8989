// The GDI+ flat calls drawn with cairo: fills, polygons, transforms, pens, images, text, and
// robustness against null and stale handles.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include "lumo/gdiplus.h"

namespace {

struct Box {
    int minX = INT_MAX, minY = INT_MAX, maxX = INT_MIN, maxY = INT_MIN;
    bool empty() const { return maxX < minX; }
};

class GdiplusTest : public ::testing::Test {
protected:
    void SetUp() override {
        GdiplusStartupInput input{1, nullptr, FALSE, FALSE};
        ASSERT_EQ(GdiplusStartup(&token, &input, nullptr), Ok);
    }
    void TearDown() override {
        if (graphics) GdipDeleteGraphics(graphics);
        if (bitmap) GdipDisposeImage(bitmap);
        GdiplusShutdown(token);
    }
    void MakeCanvas(int width, int height, SmoothingMode mode) {
        ASSERT_EQ(GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, &bitmap),
                  Ok);
        ASSERT_EQ(GdipGetImageGraphicsContext(bitmap, &graphics), Ok);
        ASSERT_EQ(GdipSetSmoothingMode(graphics, mode), Ok);
        canvasWidth = width;
        canvasHeight = height;
    }
    ARGB Pixel(int x, int y) {
        ARGB argb = 0xDEADBEEF;
        EXPECT_EQ(GdipBitmapGetPixel(bitmap, x, y, &argb), Ok);
        return argb;
    }
    // Bounding box of the pixels with any coverage.
    Box Drawn() {
        Box box;
        for (int y = 0; y < canvasHeight; ++y) {
            for (int x = 0; x < canvasWidth; ++x) {
                if ((Pixel(x, y) >> 24) == 0) continue;
                box.minX = std::min(box.minX, x);
                box.maxX = std::max(box.maxX, x);
                box.minY = std::min(box.minY, y);
                box.maxY = std::max(box.maxY, y);
            }
        }
        return box;
    }
    void Fill(ARGB colour, int x, int y, int width, int height) {
        GpSolidFill* brush = nullptr;
        ASSERT_EQ(GdipCreateSolidFill(colour, &brush), Ok);
        EXPECT_EQ(GdipFillRectangleI(graphics, brush, x, y, width, height), Ok);
        GdipDeleteBrush(brush);
    }

    ULONG_PTR token = 0;
    GpBitmap* bitmap = nullptr;
    GpGraphics* graphics = nullptr;
    int canvasWidth = 0, canvasHeight = 0;
};

TEST_F(GdiplusTest, FillRectangleCoversExactPixelsAndBlendsAlpha) {
    MakeCanvas(40, 40, SmoothingModeNone);
    EXPECT_EQ(Pixel(0, 0), 0u);  // a new bitmap is transparent
    Fill(0xFFFF0000, 10, 10, 20, 20);
    EXPECT_EQ(Pixel(10, 10), 0xFFFF0000u);
    EXPECT_EQ(Pixel(29, 29), 0xFFFF0000u);
    EXPECT_EQ(Pixel(30, 29), 0u);
    EXPECT_EQ(Pixel(9, 10), 0u);

    Fill(0xFF000000, 0, 0, 10, 10);
    Fill(0xD2009600, 0, 0, 10, 10);  // translucent green over black
    ARGB blended = Pixel(5, 5);
    EXPECT_EQ(blended >> 24, 0xFFu);
    EXPECT_NEAR(static_cast<int>((blended >> 8) & 0xFF), 150 * 210 / 255, 1);
    EXPECT_EQ(blended & 0xFF0000u, 0u);
}

TEST_F(GdiplusTest, PolygonFillModesTreatNestedLoopDifferently) {
    // An outer square and an inner square of the same orientation, as one polygon.
    const GpPointF ring[] = {{10, 10}, {50, 10}, {50, 50}, {10, 50}, {10, 10},
                             {20, 20}, {40, 20}, {40, 40}, {20, 40}, {20, 20}};
    MakeCanvas(60, 60, SmoothingModeAntiAlias);
    GpSolidFill* brush = nullptr;
    GdipCreateSolidFill(0xFF00FF32, &brush);
    ASSERT_EQ(GdipFillPolygon(graphics, brush, ring, 10, FillModeAlternate), Ok);
    EXPECT_EQ(Pixel(15, 30), 0xFF00FF32u);
    EXPECT_EQ(Pixel(30, 30), 0u);  // the hole
    EXPECT_EQ(Pixel(55, 30), 0u);

    ASSERT_EQ(GdipFillPolygon(graphics, brush, ring, 10, FillModeWinding), Ok);
    EXPECT_EQ(Pixel(30, 30), 0xFF00FF32u);
    EXPECT_EQ(GdipFillPolygon(graphics, brush, ring, 10, static_cast<GpFillMode>(7)),
              InvalidParameter);
    GdipDeleteBrush(brush);
}

// The graph's plot transform: translate to the plot corner and the 0 dB row, then scale by
// (W, -h); a world-unit pen of width 1/W comes out one pixel wide.
TEST_F(GdiplusTest, PlotTransformPutsThinPenOnExpectedPixels) {
    const REAL W = 352, h = 85;
    MakeCanvas(390, 200, SmoothingModeAntiAlias);
    GdipTranslateWorldTransform(graphics, 25, 10, MatrixOrderPrepend);
    GdipTranslateWorldTransform(graphics, 0, h, MatrixOrderPrepend);
    GdipScaleWorldTransform(graphics, W, -h, MatrixOrderPrepend);
    GpPen* pen = nullptr;
    ASSERT_EQ(GdipCreatePen1(0xFF00FF32, static_cast<REAL>(1.0 / W), UnitWorld, &pen), Ok);

    ASSERT_EQ(GdipDrawLine(graphics, pen, 0, 0, 1, 0), Ok);  // the 0 dB row
    EXPECT_EQ(Pixel(200, 95), 0xFF00FF32u);
    EXPECT_EQ(Pixel(200, 94) >> 24, 0u);
    EXPECT_EQ(Pixel(200, 96) >> 24, 0u);
    EXPECT_EQ(Pixel(24, 95) >> 24, 0u);   // flat caps end at the plot's edges
    EXPECT_EQ(Pixel(378, 95) >> 24, 0u);

    const GpPointF rising[] = {{0.5f, -1}, {0.5f, 1}};  // vertical, at 20 Hz * sqrt(1000)
    ASSERT_EQ(GdipDrawLines(graphics, pen, rising, 2), Ok);
    EXPECT_EQ(Pixel(201, 50), 0xFF00FF32u);
    EXPECT_EQ(Pixel(200, 50) >> 24, 0u);
    EXPECT_EQ(Pixel(202, 50) >> 24, 0u);
    // y = 1 is the +30 dB row: pixel centres lie on integer coordinates, so a flat end there
    // covers half of row 10; y = -1 ends half-way through row 180.
    EXPECT_EQ(Pixel(201, 11), 0xFF00FF32u);
    EXPECT_NEAR(static_cast<int>(Pixel(201, 10) >> 24), 0x80, 0x10);
    EXPECT_NEAR(static_cast<int>(Pixel(201, 180) >> 24), 0x80, 0x10);
    EXPECT_EQ(Pixel(201, 181) >> 24, 0u);
    GdipDeletePen(pen);
}

TEST_F(GdiplusTest, PrependAndAppendComposeInOppositeOrders) {
    MakeCanvas(40, 10, SmoothingModeNone);
    GdipTranslateWorldTransform(graphics, 10, 0, MatrixOrderPrepend);
    GdipScaleWorldTransform(graphics, 2, 1, MatrixOrderPrepend);  // x -> 2x + 10
    Fill(0xFFFFFFFF, 2, 0, 1, 1);
    EXPECT_EQ(Pixel(14, 0), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(16, 0), 0u);

    GdipDeleteGraphics(graphics);
    GdipGetImageGraphicsContext(bitmap, &graphics);
    GdipTranslateWorldTransform(graphics, 10, 0, MatrixOrderPrepend);
    GdipScaleWorldTransform(graphics, 2, 1, MatrixOrderAppend);  // x -> 2(x + 10)
    Fill(0xFF0000FF, 2, 2, 1, 1);
    EXPECT_EQ(Pixel(24, 2), 0xFF0000FFu);
    EXPECT_EQ(Pixel(14, 2), 0u);
    EXPECT_EQ(GdipScaleWorldTransform(graphics, 2, 2, static_cast<GpMatrixOrder>(2)),
              InvalidParameter);
}

TEST_F(GdiplusTest, SmoothingModeSelectsAntialiasing) {
    auto partialPixels = [this]() {
        int partial = 0;
        for (int y = 0; y < canvasHeight; ++y) {
            for (int x = 0; x < canvasWidth; ++x) {
                ARGB alpha = Pixel(x, y) >> 24;
                partial += alpha != 0 && alpha != 0xFF;
            }
        }
        return partial;
    };
    for (SmoothingMode mode : {SmoothingModeNone, SmoothingModeAntiAlias}) {
        MakeCanvas(30, 30, mode);
        GpPen* pen = nullptr;
        GdipCreatePen1(0xFFFFFFFF, 1, UnitWorld, &pen);
        GdipDrawLine(graphics, pen, 2, 3, 27, 20);
        if (mode == SmoothingModeNone) {
            EXPECT_EQ(partialPixels(), 0);
        } else {
            EXPECT_GT(partialPixels(), 10);
        }
        GdipDeletePen(pen);
        GdipDeleteGraphics(graphics);
        GdipDisposeImage(bitmap);
        graphics = nullptr;
        bitmap = nullptr;
    }
}

TEST_F(GdiplusTest, DrawImageCopiesAndScalesBitmap) {
    GpBitmap* source = nullptr;
    GpGraphics* sourceGraphics = nullptr;
    ASSERT_EQ(GdipCreateBitmapFromScan0(4, 4, 0, PixelFormat32bppARGB, nullptr, &source), Ok);
    GdipGetImageGraphicsContext(source, &sourceGraphics);
    GpSolidFill* brush = nullptr;
    GdipCreateSolidFill(0xFFFF0000, &brush);
    GdipFillRectangleI(sourceGraphics, brush, 0, 0, 4, 4);
    GdipDeleteBrush(brush);
    GdipDeleteGraphics(sourceGraphics);

    MakeCanvas(20, 20, SmoothingModeAntiAlias);
    ASSERT_EQ(GdipDrawImageRectI(graphics, source, 5, 6, 4, 4), Ok);
    EXPECT_EQ(Pixel(5, 6), 0xFFFF0000u);
    EXPECT_EQ(Pixel(8, 9), 0xFFFF0000u);
    EXPECT_EQ(Pixel(9, 9), 0u);
    EXPECT_EQ(Pixel(4, 6), 0u);
    ASSERT_EQ(GdipDrawImageRectI(graphics, source, 10, 10, 8, 8), Ok);
    EXPECT_EQ(Pixel(17, 17) >> 24, 0xFFu);
    EXPECT_EQ(Pixel(18, 18), 0u);
    GdipDisposeImage(source);
}

class TextTest : public GdiplusTest {
protected:
    // Draws "+30" at (x, y) with a 0 x 0 layout rectangle and returns the drawn box.
    Box DrawLabel(StringAlignment align, StringAlignment lineAlign, REAL x, REAL y,
                  REAL points = 9) {
        MakeCanvas(200, 100, SmoothingModeAntiAlias);
        GpFontFamily* family = nullptr;
        GpFont* font = nullptr;
        GpStringFormat* format = nullptr;
        GpSolidFill* brush = nullptr;
        EXPECT_EQ(GdipGetGenericFontFamilySansSerif(&family), Ok);
        EXPECT_EQ(GdipCreateFont(family, points, FontStyleRegular, UnitPoint, &font), Ok);
        EXPECT_EQ(GdipCreateStringFormat(0, 0, &format), Ok);
        GdipSetStringFormatAlign(format, align);
        GdipSetStringFormatLineAlign(format, lineAlign);
        GdipCreateSolidFill(0xFF3C783C, &brush);
        RectF layout{x, y, 0, 0};
        EXPECT_EQ(GdipDrawString(graphics, L"+30", -1, font, &layout, format, brush), Ok);
        GdipDeleteBrush(brush);
        GdipDeleteStringFormat(format);
        GdipDeleteFont(font);
        return Drawn();
    }
};

TEST_F(TextTest, NearAlignmentStartsTextAtThePoint) {
    Box box = DrawLabel(StringAlignmentNear, StringAlignmentNear, 100, 50);
    ASSERT_FALSE(box.empty());
    EXPECT_GE(box.minX, 100);
    EXPECT_LE(box.minX, 103);
    EXPECT_GE(box.minY, 50);
    // A 9-point font is 12 pixels to the em: digits about 9 pixels tall, the label about 20 wide.
    EXPECT_NEAR(box.maxY - box.minY + 1, 9, 2);
    EXPECT_NEAR(box.maxX - box.minX + 1, 20, 5);
    EXPECT_LE(box.maxY, 50 + 15);
}

TEST_F(TextTest, CenterAlignmentCentresOnThePoint) {
    Box box = DrawLabel(StringAlignmentCenter, StringAlignmentCenter, 100, 50);
    ASSERT_FALSE(box.empty());
    EXPECT_NEAR((box.minX + box.maxX) / 2.0, 100, 2.5);
    EXPECT_NEAR((box.minY + box.maxY) / 2.0, 50, 3);
}

TEST_F(TextTest, FarAlignmentEndsTextAtThePoint) {
    Box box = DrawLabel(StringAlignmentFar, StringAlignmentFar, 100, 50);
    ASSERT_FALSE(box.empty());
    EXPECT_LE(box.maxX, 100);
    EXPECT_GE(box.maxX, 96);
    EXPECT_LE(box.maxY, 50);
    EXPECT_GE(box.maxY, 45);
}

TEST_F(TextTest, LargerPointSizeGivesLargerText) {
    Box small = DrawLabel(StringAlignmentNear, StringAlignmentNear, 10, 10, 9);
    GdipDeleteGraphics(graphics);
    GdipDisposeImage(bitmap);
    Box large = DrawLabel(StringAlignmentNear, StringAlignmentNear, 10, 10, 18);
    EXPECT_NEAR(large.maxY - large.minY, 2 * (small.maxY - small.minY), 3);
}

TEST_F(TextTest, TextFollowsWorldTranslation) {
    MakeCanvas(200, 100, SmoothingModeAntiAlias);
    GdipTranslateWorldTransform(graphics, 25, 10, MatrixOrderPrepend);
    GpFontFamily* family = nullptr;
    GpFont* font = nullptr;
    GpStringFormat* format = nullptr;
    GpSolidFill* brush = nullptr;
    GdipGetGenericFontFamilySansSerif(&family);
    GdipCreateFont(family, 9, FontStyleRegular, UnitPoint, &font);
    GdipCreateStringFormat(0, 0, &format);
    GdipSetStringFormatAlign(format, StringAlignmentFar);
    GdipSetStringFormatLineAlign(format, StringAlignmentCenter);
    GdipCreateSolidFill(0xFF3C783C, &brush);
    RectF layout{0, 40, 0, 0};
    ASSERT_EQ(GdipDrawString(graphics, L"-10", -1, font, &layout, format, brush), Ok);
    Box box = Drawn();
    EXPECT_LE(box.maxX, 25);
    EXPECT_GE(box.maxX, 21);
    EXPECT_NEAR((box.minY + box.maxY) / 2.0, 50, 3);
    GdipDeleteBrush(brush);
    GdipDeleteStringFormat(format);
    GdipDeleteFont(font);
}

TEST_F(GdiplusTest, CollapsedTransformAndBadValuesDrawNothing) {
    MakeCanvas(50, 50, SmoothingModeAntiAlias);
    GpPen* pen = nullptr;
    GdipCreatePen1(0xFFFFFFFF, static_cast<REAL>(1.0 / 0.0), UnitWorld, &pen);  // 1 / W at W = 0
    GdipScaleWorldTransform(graphics, 0, -5, MatrixOrderPrepend);
    const GpPointF points[] = {{0, 0}, {1, 1}, {0, 1}};
    EXPECT_EQ(GdipDrawLines(graphics, pen, points, 3), Ok);
    GpSolidFill* brush = nullptr;
    GdipCreateSolidFill(0xFFFFFFFF, &brush);
    EXPECT_EQ(GdipFillPolygon(graphics, brush, points, 3, FillModeAlternate), Ok);
    EXPECT_TRUE(Drawn().empty());
    EXPECT_EQ(GdipScaleWorldTransform(graphics, static_cast<REAL>(1.0 / 0.0), 1,
                                      MatrixOrderPrepend),
              InvalidParameter);

    // A fresh graphics on the same bitmap draws normally; non-finite points are refused.
    GdipDeleteGraphics(graphics);
    GdipGetImageGraphicsContext(bitmap, &graphics);
    const GpPointF bad[] = {{0, 0}, {static_cast<REAL>(0.0 / 0.0), 3}};
    GpPen* plain = nullptr;
    GdipCreatePen1(0xFFFFFFFF, 1, UnitWorld, &plain);
    EXPECT_EQ(GdipDrawLines(graphics, plain, bad, 2), ValueOverflow);
    EXPECT_EQ(GdipDrawLines(graphics, pen, points, 2), ValueOverflow);  // infinite width
    EXPECT_TRUE(Drawn().empty());
    EXPECT_EQ(GdipDrawLine(graphics, plain, 0, 5, 49, 5), Ok);
    EXPECT_EQ(Pixel(20, 5), 0xFFFFFFFFu);
    GdipDeletePen(plain);
    GdipDeletePen(pen);
    GdipDeleteBrush(brush);
}

TEST_F(GdiplusTest, NullStaleAndEmptyHandlesAreRejected) {
    GpBitmap* empty = reinterpret_cast<GpBitmap*>(0x1);
    EXPECT_EQ(GdipCreateBitmapFromScan0(0, 0, 0, PixelFormat32bppARGB, nullptr, &empty),
              InvalidParameter);
    EXPECT_EQ(empty, nullptr);
    GpGraphics* none = nullptr;
    EXPECT_EQ(GdipGetImageGraphicsContext(empty, &none), InvalidParameter);
    EXPECT_EQ(GdipCreateFromHDC(nullptr, &none), InvalidParameter);
    EXPECT_EQ(none, nullptr);

    MakeCanvas(10, 10, SmoothingModeAntiAlias);
    GpPen* pen = nullptr;
    GpSolidFill* brush = nullptr;
    GdipCreatePen1(0xFFFFFFFF, 1, UnitWorld, &pen);
    GdipCreateSolidFill(0xFFFFFFFF, &brush);
    const GpPointF points[] = {{0, 0}, {5, 5}, {0, 5}};
    RectF layout{0, 0, 0, 0};
    EXPECT_EQ(GdipSetSmoothingMode(nullptr, SmoothingModeAntiAlias), InvalidParameter);
    EXPECT_EQ(GdipFillRectangleI(nullptr, brush, 0, 0, 5, 5), InvalidParameter);
    EXPECT_EQ(GdipFillRectangleI(graphics, nullptr, 0, 0, 5, 5), InvalidParameter);
    EXPECT_EQ(GdipTranslateWorldTransform(nullptr, 1, 1, MatrixOrderPrepend), InvalidParameter);
    EXPECT_EQ(GdipScaleWorldTransform(nullptr, 1, 1, MatrixOrderPrepend), InvalidParameter);
    EXPECT_EQ(GdipDrawLine(graphics, nullptr, 0, 0, 1, 1), InvalidParameter);
    EXPECT_EQ(GdipDrawLines(graphics, pen, nullptr, 2), InvalidParameter);
    EXPECT_EQ(GdipDrawLines(graphics, pen, points, 1), InvalidParameter);
    EXPECT_EQ(GdipFillPolygon(graphics, brush, points, 0, FillModeAlternate), InvalidParameter);
    EXPECT_EQ(GdipDrawImageRectI(graphics, nullptr, 0, 0, 1, 1), InvalidParameter);
    EXPECT_EQ(GdipDrawString(graphics, L"x", -1, nullptr, &layout, nullptr, brush),
              InvalidParameter);
    EXPECT_EQ(GdipCreateFont(nullptr, 9, 0, UnitPoint, nullptr), InvalidParameter);
    EXPECT_EQ(GdipSetStringFormatAlign(nullptr, StringAlignmentFar), InvalidParameter);
    EXPECT_EQ(GdipSetStringFormatLineAlign(nullptr, StringAlignmentFar), InvalidParameter);
    // A pen is no brush, and a deleted object is gone.
    EXPECT_EQ(GdipDeleteBrush(reinterpret_cast<GpBrush*>(pen)), InvalidParameter);
    EXPECT_EQ(GdipDeletePen(pen), Ok);
    EXPECT_EQ(GdipDeletePen(pen), InvalidParameter);
    EXPECT_EQ(GdipDrawLine(graphics, pen, 0, 0, 1, 1), InvalidParameter);
    EXPECT_EQ(GdipDeleteBrush(brush), Ok);
    EXPECT_EQ(GdipDeleteBrush(brush), InvalidParameter);
    EXPECT_EQ(GdipDeleteStringFormat(nullptr), InvalidParameter);
    EXPECT_EQ(GdipDeleteFont(nullptr), InvalidParameter);
    EXPECT_EQ(GdipDeleteGraphics(nullptr), InvalidParameter);
    EXPECT_EQ(GdipDisposeImage(nullptr), InvalidParameter);
    EXPECT_TRUE(Drawn().empty());
}

TEST(GdiplusStartupTest, ObjectsNeedARunningStartup) {
    GdiplusStartupInput input{1, nullptr, FALSE, FALSE};
    GdiplusStartupInput tooNew{9, nullptr, FALSE, FALSE};
    ULONG_PTR first = 0, second = 0;
    EXPECT_EQ(GdiplusStartup(&first, &tooNew, nullptr), UnsupportedGdiplusVersion);
    GpPen* pen = nullptr;
    EXPECT_EQ(GdipCreatePen1(0xFF000000, 1, UnitWorld, &pen), GdiplusNotInitialized);
    ASSERT_EQ(GdiplusStartup(&first, &input, nullptr), Ok);
    ASSERT_EQ(GdiplusStartup(&second, &input, nullptr), Ok);
    GdiplusShutdown(first);
    EXPECT_EQ(GdipCreatePen1(0xFF000000, 1, UnitWorld, &pen), Ok);
    GdiplusShutdown(second);
    GpSolidFill* brush = nullptr;
    EXPECT_EQ(GdipCreateSolidFill(0xFF000000, &brush), GdiplusNotInitialized);
    EXPECT_EQ(GdipDeletePen(pen), Ok);  // objects from a running GDI+ can still be released
}

}  // namespace
