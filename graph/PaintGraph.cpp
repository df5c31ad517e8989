// Paints the graph window: a labelled +-30 dB by 20 Hz..20 kHz grid, the area between the curve
// and the 0 dB line, and the curve, drawn off-screen and copied to the window in one call.
#include <cmath>

#include "graph/FontFamilyCache.h"
#include "shell/EqualiserMachine.h"

namespace lumo {
namespace {
using namespace paint;

constexpr ARGB kCurveColour = 0xFF00FF32;
constexpr ARGB kGridColour = 0xFF1E3C1E;
constexpr ARGB kLabelColour = 0xFF3C783C;
constexpr ARGB kAreaColour = 0xD2009600;
constexpr ARGB kBackgroundColour = 0xFF000000;
constexpr REAL kLabelSizePoints = 9.0f;

// The plot's top-left corner in the client area and the client margins around the plot.
constexpr REAL kPlotLeft = 25.0f;
constexpr REAL kPlotTop = 10.0f;
constexpr REAL kHorizontalMargins = 38.0f;
constexpr REAL kVerticalMargins = 30.0f;

struct DecibelRow {
    const WCHAR* label;
    double fractionOfHalfHeight;
};

constexpr DecibelRow kDecibelRows[] = {
    {L"+30", 0.0},
    {L"+20", 0.3333333333333333},
    {L"+10", 0.6666666666666666},
    {L"0", 1.0},
    {L"-10", 1.3333333333333333},
    {L"-20", 1.6666666666666667},
    {L"-30", 2.0},
};

// Offscreen bitmap with its graphics; absent when the client area is empty.
struct Canvas {
    GpBitmap* bitmap = nullptr;
    GpGraphics* graphics = nullptr;
};

Canvas CreateCanvas(int width, int height) {
    Canvas canvas;
    if (width <= 0 || height <= 0) return canvas;
    GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, &canvas.bitmap);
    if (canvas.bitmap != nullptr) GdipGetImageGraphicsContext(canvas.bitmap, &canvas.graphics);
    return canvas;
}

// A client area with no room for the plot: only the background, still through the bitmap.
void PaintBackgroundOnly(HDC hdc, int width, int height) {
    Canvas canvas = CreateCanvas(width, height);
    if (canvas.graphics == nullptr) {
        if (canvas.bitmap != nullptr) GdipDisposeImage(canvas.bitmap);
        return;
    }
    GpGraphics* windowGraphics = nullptr;
    GdipCreateFromHDC(hdc, &windowGraphics);
    GpSolidFill* backgroundBrush = nullptr;
    GdipCreateSolidFill(kBackgroundColour, &backgroundBrush);

    GdipFillRectangleI(canvas.graphics, backgroundBrush, 0, 0, width, height);
    if (windowGraphics != nullptr)
        GdipDrawImageRectI(windowGraphics, canvas.bitmap, 0, 0, width, height);

    if (backgroundBrush != nullptr) GdipDeleteBrush(backgroundBrush);
    if (windowGraphics != nullptr) GdipDeleteGraphics(windowGraphics);
    GdipDeleteGraphics(canvas.graphics);
    GdipDisposeImage(canvas.bitmap);
}

}  // namespace

void EqualiserMachine::PaintGraph() {
    const int cw = clientWidth;
    const int ch = clientHeight;
    const REAL plotWidth = static_cast<REAL>(cw) - kHorizontalMargins;
    const REAL halfHeight = (static_cast<REAL>(ch) - kVerticalMargins) * 0.5f;

    PAINTSTRUCT paintStruct;
    const HDC hdc = BeginPaint(graphWindow, &paintStruct);

    if (cw <= 38 || ch <= 30) {
        PaintBackgroundOnly(hdc, cw, ch);
        EndPaint(graphWindow, &paintStruct);
        return;
    }

    // The newest published curve, whole, whatever thread is computing the next one.
    const CurveSnapshot& curve = curveMailbox.Latest();
    const int n = curve.pointCount;

    Canvas canvas = CreateCanvas(cw, ch);
    if (canvas.graphics == nullptr) {  // no memory for the bitmap: leave the window as it is
        if (canvas.bitmap != nullptr) GdipDisposeImage(canvas.bitmap);
        EndPaint(graphWindow, &paintStruct);
        return;
    }
    GpGraphics* windowGraphics = nullptr;
    GdipCreateFromHDC(hdc, &windowGraphics);

    GpPen* curvePen = nullptr;
    GdipCreatePen1(kCurveColour, static_cast<REAL>(1.0 / static_cast<double>(plotWidth)),
                   UnitWorld, &curvePen);
    GpPen* gridPen = nullptr;
    GdipCreatePen1(kGridColour, 1.0f, UnitWorld, &gridPen);
    GpSolidFill* labelBrush = nullptr;
    GdipCreateSolidFill(kLabelColour, &labelBrush);
    GpSolidFill* areaBrush = nullptr;
    GdipCreateSolidFill(kAreaColour, &areaBrush);
    GpSolidFill* backgroundBrush = nullptr;
    GdipCreateSolidFill(kBackgroundColour, &backgroundBrush);

    GpFont* labelFont = nullptr;
    GdipCreateFont(SansSerifFamily().family, kLabelSizePoints, FontStyleRegular, UnitPoint,
                   &labelFont);

    GpGraphics* graphics = canvas.graphics;
    GdipSetSmoothingMode(graphics, SmoothingModeAntiAlias);
    GdipFillRectangleI(graphics, backgroundBrush, 0, 0, cw, ch);
    GdipTranslateWorldTransform(graphics, kPlotLeft, kPlotTop, MatrixOrderPrepend);

    // Positions of 100 Hz, 1 kHz and 10 kHz on the axis log(f / 20) / log(1000).
    const REAL perLn1000 = 1.0f / static_cast<REAL>(std::log(1000.0));
    const REAL fraction100Hz = static_cast<REAL>(std::log(5.0)) * perLn1000;
    const REAL fraction1kHz = static_cast<REAL>(std::log(50.0)) * perLn1000;
    const REAL fraction10kHz = static_cast<REAL>(std::log(500.0)) * perLn1000;

    GpStringFormat* format = nullptr;
    GdipCreateStringFormat(0, 0, &format);
    GdipSetStringFormatLineAlign(format, StringAlignmentCenter);
    GdipSetStringFormatAlign(format, StringAlignmentFar);

    // Decibel rows: each label ends at the plot's left edge, centred on its line.
    for (const DecibelRow& row : kDecibelRows) {
        const REAL y = static_cast<REAL>(static_cast<double>(halfHeight) * row.fractionOfHalfHeight);
        const RectF at{0.0f, y, 0.0f, 0.0f};
        GdipDrawString(graphics, row.label, -1, labelFont, &at, format, labelBrush);
        GdipDrawLine(graphics, gridPen, 0.0f, y, plotWidth, y);
    }

    // Frequency columns: each label hangs below the plot's bottom edge.
    const REAL plotHeight = halfHeight * 2.0f;
    struct FrequencyColumn {
        const WCHAR* label;
        REAL x;
        StringAlignment alignment;
    };
    const FrequencyColumn columns[] = {
        {L"20", 0.0f, StringAlignmentNear},
        {L"100", fraction100Hz * plotWidth, StringAlignmentCenter},
        {L"1k", fraction1kHz * plotWidth, StringAlignmentCenter},
        {L"10k", fraction10kHz * plotWidth, StringAlignmentCenter},
        {L"20k", plotWidth, StringAlignmentCenter},
    };
    GdipSetStringFormatLineAlign(format, StringAlignmentNear);
    for (const FrequencyColumn& column : columns) {
        GdipSetStringFormatAlign(format, column.alignment);
        const RectF at{column.x, plotHeight, 0.0f, 0.0f};
        GdipDrawString(graphics, column.label, -1, labelFont, &at, format, labelBrush);
        GdipDrawLine(graphics, gridPen, column.x, 0.0f, column.x, plotHeight);
    }

    // Curve units from here on: (x, y) lands at (25 + W x, 10 + h - h y).
    GdipTranslateWorldTransform(graphics, 0.0f, halfHeight, MatrixOrderPrepend);
    GdipScaleWorldTransform(graphics, plotWidth, -halfHeight, MatrixOrderPrepend);

    PointF polygon[kCurveSlots];
    for (int slot = 0; slot < n + 2; ++slot)
        polygon[slot] = PointF{curve.points[slot].x, curve.points[slot].y};
    GdipFillPolygon(graphics, areaBrush, polygon, n + 2, FillModeAlternate);
    GdipDrawLines(graphics, curvePen, polygon + 1, n);

    GdipDrawImageRectI(windowGraphics, canvas.bitmap, 0, 0, cw, ch);
    EndPaint(graphWindow, &paintStruct);

    GdipDeleteStringFormat(format);
    GdipDeleteFont(labelFont);
    GdipDeleteBrush(backgroundBrush);
    GdipDeleteBrush(areaBrush);
    GdipDeleteBrush(labelBrush);
    GdipDeletePen(gridPen);
    GdipDeletePen(curvePen);
    GdipDeleteGraphics(windowGraphics);
    GdipDeleteGraphics(canvas.graphics);
    GdipDisposeImage(canvas.bitmap);
}

}  // namespace lumo
