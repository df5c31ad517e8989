// Paints the graph window: a labelled +-30 dB by 20 Hz..20 kHz grid, the area between the curve
// and the 0 dB line, and the curve, drawn off-screen and copied to the window in one call.
#include "graph-window/PaintGraph.h"

#include "graph-window/FontFamilyCache.h"
#include "graph/GraphColours.h"
#include "graph-window/GdiplusOwners.h"
#include "graph/PlotLayout.h"

namespace lumo::graph {
namespace {

constexpr REAL kLabelSizePoints = 9.0f;

StringAlignment Alignment(TextAlign align) { return static_cast<StringAlignment>(align); }

void DrawGridLine(GpGraphics* graphics, const GridLine& line, GpFont* font, GpStringFormat* format,
                  GpSolidFill* labelBrush, GpPen* pen) {
    const RectF at{line.labelAnchor.x, line.labelAnchor.y, 0.0f, 0.0f};
    GdipDrawString(graphics, line.label, -1, font, &at, format, labelBrush);
    GdipDrawLine(graphics, pen, line.from.x, line.from.y, line.to.x, line.to.y);
}

}  // namespace

void PaintGraph(HWND window, int clientWidth, int clientHeight, const Curve& curve) {
    const int cw = clientWidth;
    const int ch = clientHeight;
    const PlotLayout layout(cw, ch);
    PaintCycle cycle(window);

    BitmapOwner bitmap;
    if (cw > 0 && ch > 0)
        GdipCreateBitmapFromScan0(cw, ch, 0, PixelFormat32bppARGB, nullptr, bitmap.Receive());
    GraphicsOwner graphics;
    if (bitmap) GdipGetImageGraphicsContext(bitmap.Get(), graphics.Receive());
    if (!graphics) return;  // nothing to draw on: the window keeps what it shows
    GraphicsOwner windowGraphics;
    GdipCreateFromHDC(cycle.Dc(), windowGraphics.Receive());

    if (!layout.HasRoom()) {
        // No room for the plot: only the background, still through the bitmap.
        SolidBrushOwner backgroundBrush;
        GdipCreateSolidFill(kBackgroundColour, backgroundBrush.Receive());
        GdipFillRectangleI(graphics.Get(), backgroundBrush.Get(), 0, 0, cw, ch);
        if (windowGraphics) GdipDrawImageRectI(windowGraphics.Get(), bitmap.Get(), 0, 0, cw, ch);
        cycle.End();
        return;
    }

    const int n = kCurvePointCount;

    PenOwner curvePen;
    GdipCreatePen1(kCurveColour, layout.CurvePenWidth(), UnitWorld, curvePen.Receive());
    PenOwner gridPen;
    GdipCreatePen1(kGridColour, 1.0f, UnitWorld, gridPen.Receive());
    SolidBrushOwner labelBrush;
    GdipCreateSolidFill(kLabelColour, labelBrush.Receive());
    SolidBrushOwner areaBrush;
    GdipCreateSolidFill(kAreaColour, areaBrush.Receive());
    SolidBrushOwner backgroundBrush;
    GdipCreateSolidFill(kBackgroundColour, backgroundBrush.Receive());
    FontOwner labelFont;
    GdipCreateFont(SansSerifFamily().family, kLabelSizePoints, FontStyleRegular, UnitPoint,
                   labelFont.Receive());

    GpGraphics* g = graphics.Get();
    GdipSetSmoothingMode(g, SmoothingModeAntiAlias);
    GdipFillRectangleI(g, backgroundBrush.Get(), 0, 0, cw, ch);
    // Plot coordinates from here on.
    GdipTranslateWorldTransform(g, static_cast<float>(PlotLayout::kLeftMargin),
                                static_cast<float>(PlotLayout::kTopMargin), MatrixOrderPrepend);

    StringFormatOwner format;
    GdipCreateStringFormat(0, 0, format.Receive());
    GdipSetStringFormatLineAlign(format.Get(), Alignment(layout.DecibelLine(0).vertical));
    GdipSetStringFormatAlign(format.Get(), Alignment(layout.DecibelLine(0).horizontal));
    for (int row = 0; row < PlotLayout::kDecibelLines; ++row)
        DrawGridLine(g, layout.DecibelLine(row), labelFont.Get(), format.Get(), labelBrush.Get(),
                     gridPen.Get());

    GdipSetStringFormatLineAlign(format.Get(), Alignment(layout.FrequencyLine(0).vertical));
    for (int column = 0; column < PlotLayout::kFrequencyLines; ++column) {
        const GridLine& line = layout.FrequencyLine(column);
        GdipSetStringFormatAlign(format.Get(), Alignment(line.horizontal));
        DrawGridLine(g, line, labelFont.Get(), format.Get(), labelBrush.Get(), gridPen.Get());
    }

    // Curve units from here on: (x, y) lands where layout.CurvePixel puts it.
    GdipTranslateWorldTransform(g, 0.0f, layout.HalfHeight(), MatrixOrderPrepend);
    GdipScaleWorldTransform(g, layout.PlotWidth(), -layout.HalfHeight(), MatrixOrderPrepend);

    PointF polygon[kCurveSlots];
    for (int slot = 0; slot < n + 2; ++slot) polygon[slot] = PointF{curve.slots[slot].x, curve.slots[slot].y};
    GdipFillPolygon(g, areaBrush.Get(), polygon, n + 2, FillModeAlternate);
    GdipDrawLines(g, curvePen.Get(), polygon + 1, n);

    GdipDrawImageRectI(windowGraphics.Get(), bitmap.Get(), 0, 0, cw, ch);
    cycle.End();
    // The objects go in the reverse order of their creation as their owners leave scope.
}

}  // namespace lumo::graph
