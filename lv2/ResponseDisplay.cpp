#include "lv2/ResponseDisplay.h"

#include <cairo.h>

#include <cmath>
#include <cstdint>
#include <cstring>

#include "graph/GraphColours.h"
#include "graph/PlotLayout.h"
#include "graph/ResponseCurve.h"

namespace lumo::lv2 {
namespace {

constexpr int kMaxWidth = 2048;

void SetColour(cairo_t* cr, std::uint32_t argb) {
    cairo_set_source_rgba(cr, ((argb >> 16) & 0xFF) / 255.0, ((argb >> 8) & 0xFF) / 255.0,
                          (argb & 0xFF) / 255.0, (argb >> 24) / 255.0);
}

}  // namespace

int PictureHeight(int width, int maxHeight) {
    // About the graph window's proportions, but never taller than the room there is.
    const int wanted = (width * 9 + 15) / 16;
    return wanted < maxHeight ? wanted : maxHeight;
}

void DrawResponse(const engine::CoefficientSnapshot& bands, int sampleRateHz, unsigned char* data,
                  int width, int height, int stride) {
    cairo_surface_t* surface =
        cairo_image_surface_create_for_data(data, CAIRO_FORMAT_ARGB32, width, height, stride);
    cairo_t* cr = cairo_create(surface);

    SetColour(cr, graph::kBackgroundColour);
    cairo_paint(cr);

    // The window's layout for a client area one plot bigger than the picture by its margins: the
    // plot is then exactly the picture, and plot coordinates are the picture's pixels.
    const graph::PlotLayout layout(width + static_cast<int>(graph::PlotLayout::kHorizontalMargins),
                                   height + static_cast<int>(graph::PlotLayout::kVerticalMargins));
    cairo_set_line_width(cr, 1.0);
    SetColour(cr, graph::kGridColour);
    auto gridLine = [cr](const graph::GridLine& line) {
        // On pixel centres, so that a one-pixel line covers one row or column.
        const double fx = std::floor(line.from.x) + 0.5, fy = std::floor(line.from.y) + 0.5;
        const double tx = std::floor(line.to.x) + 0.5, ty = std::floor(line.to.y) + 0.5;
        cairo_move_to(cr, fx, fy);
        cairo_line_to(cr, tx, ty);
    };
    for (int row = 0; row < graph::PlotLayout::kDecibelLines; ++row) gridLine(layout.DecibelLine(row));
    for (int column = 0; column < graph::PlotLayout::kFrequencyLines; ++column)
        gridLine(layout.FrequencyLine(column));
    cairo_stroke(cr);

    graph::Curve curve;
    graph::ComputeCurve(bands, sampleRateHz, curve);
    const int n = graph::kCurvePointCount;
    auto pixel = [&layout](const graph::CurvePoint& point) {
        const graph::PlotPoint p = layout.CurvePixel(point);
        return graph::PlotPoint{p.x - graph::PlotLayout::kLeftMargin, p.y - graph::PlotLayout::kTopMargin};
    };
    // The area between the curve and the 0 dB line, then the curve.
    for (int slot = 0; slot < n + 2; ++slot) {
        const graph::PlotPoint p = pixel(curve.slots[slot]);
        cairo_line_to(cr, p.x, p.y);
    }
    cairo_close_path(cr);
    SetColour(cr, graph::kAreaColour);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_fill(cr);
    for (int slot = 1; slot <= n; ++slot) {
        const graph::PlotPoint p = pixel(curve.slots[slot]);
        cairo_line_to(cr, p.x, p.y);
    }
    SetColour(cr, graph::kCurveColour);
    cairo_set_line_width(cr, 1.5);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);

    cairo_destroy(cr);
    cairo_surface_flush(surface);
    cairo_surface_destroy(surface);
}

LV2_Inline_Display_Image_Surface* ResponseDisplay::Render(const engine::CoefficientSnapshot& bands,
                                                          int sampleRateHz, unsigned width,
                                                          unsigned maxHeight) {
    const int w = width > kMaxWidth ? kMaxWidth : static_cast<int>(width);
    const int h = PictureHeight(w, maxHeight > kMaxWidth ? kMaxWidth : static_cast<int>(maxHeight));
    if (w < 1 || h < 1) return nullptr;
    if (haveDrawn_ && w == surface_.width && h == surface_.height &&
        std::memcmp(&drawn_, &bands, sizeof drawn_) == 0)
        return &surface_;

    const int stride = cairo_format_stride_for_width(CAIRO_FORMAT_ARGB32, w);
    pixels_.assign(static_cast<size_t>(stride) * static_cast<size_t>(h), 0);
    DrawResponse(bands, sampleRateHz, pixels_.data(), w, h, stride);
    surface_ = {pixels_.data(), w, h, stride};
    drawn_ = bands;
    haveDrawn_ = true;
    return &surface_;
}

}  // namespace lumo::lv2
