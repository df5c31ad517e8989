// GDI+ graphics: contexts on bitmaps and on a paint's HDC, the world transform, and the shape
// and image drawing calls.
#include <algorithm>
#include <cmath>
#include <vector>

#include "GdiplusInternal.h"

using namespace lumo::gdiplus;

namespace {

bool Finite(double value) { return std::isfinite(value); }

bool FiniteMatrix(const cairo_matrix_t& m) {
    return Finite(m.xx) && Finite(m.yx) && Finite(m.xy) && Finite(m.yy) && Finite(m.x0) &&
           Finite(m.y0);
}

Graphics* NewGraphics(cairo_surface_t* surface) {
    auto* graphics = new Graphics;
    graphics->cr = cairo_create(surface);
    cairo_matrix_init_identity(&graphics->world);
    cairo_set_line_cap(graphics->cr, CAIRO_LINE_CAP_BUTT);  // GDI+'s flat caps
    cairo_set_line_join(graphics->cr, CAIRO_LINE_JOIN_MITER);
    cairo_set_miter_limit(graphics->cr, 10.0);
    return graphics;
}

// Combines a new transform with the world transform: prepended operations act on drawing
// coordinates before the existing transform, appended ones after it.
GpStatus Combine(GpGraphics* handle, const cairo_matrix_t& operation, GpMatrixOrder order) {
    auto* graphics = Live<Graphics>(handle, Kind::Graphics);
    if (!graphics || (order != MatrixOrderPrepend && order != MatrixOrderAppend)) {
        return InvalidParameter;
    }
    cairo_matrix_t combined;
    if (order == MatrixOrderPrepend) {
        cairo_matrix_multiply(&combined, &operation, &graphics->world);
    } else {
        cairo_matrix_multiply(&combined, &graphics->world, &operation);
    }
    if (!FiniteMatrix(combined)) return InvalidParameter;
    graphics->world = combined;
    return Ok;
}

// The smaller factor by which the matrix scales lengths (its smaller singular value).
double SmallestScale(const cairo_matrix_t& m) {
    double sum = (m.xx * m.xx + m.yx * m.yx + m.xy * m.xy + m.yy * m.yy) / 2;
    double det = m.xx * m.yy - m.xy * m.yx;
    double root = std::sqrt(std::max(0.0, sum * sum - det * det));
    return std::sqrt(std::max(0.0, sum - root));
}

// Strokes the current path. A world-unit pen is transformed with the drawing (its width scales
// with the world transform, unevenly under uneven scaling); a pen that would come out narrower
// than one device pixel in any direction is drawn one pixel wide, as GDI+ draws such pens.
GpStatus StrokePath(Graphics& graphics, const Pen& pen) {
    cairo_t* cr = graphics.cr;
    double width = std::fabs(static_cast<double>(pen.width));
    if (!Finite(width)) {
        cairo_new_path(cr);
        return ValueOverflow;
    }
    SetSourceColour(cr, pen.colour);
    if (pen.unit == UnitWorld) {
        cairo_matrix_t ctm;
        cairo_get_matrix(cr, &ctm);
        if (width * SmallestScale(ctm) >= 1.0) {
            cairo_set_line_width(cr, width);
            cairo_stroke(cr);
            return Ok;
        }
        width = 1.0;
    } else {
        width = std::max(1.0, width * PixelsPerUnit(pen.unit));
    }
    cairo_matrix_t device;  // the path is already in device space
    cairo_matrix_init_identity(&device);
    cairo_set_matrix(cr, &device);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
    return Ok;
}

bool FinitePoints(const GpPointF* points, INT count) {
    for (INT i = 0; i < count; ++i) {
        if (!Finite(points[i].X) || !Finite(points[i].Y)) return false;
    }
    return true;
}

GpStatus DrawPolyline(GpGraphics* handle, GpPen* penHandle, const GpPointF* points, INT count) {
    auto* graphics = Live<Graphics>(handle, Kind::Graphics);
    auto* pen = Live<Pen>(penHandle, Kind::Pen);
    if (!graphics || !pen || !points || count < 2) return InvalidParameter;
    if (!FinitePoints(points, count)) return ValueOverflow;
    GpStatus status = Ok;
    if (!BeginDrawing(*graphics, true, &status)) return status;
    cairo_new_path(graphics->cr);
    cairo_move_to(graphics->cr, points[0].X, points[0].Y);
    for (INT i = 1; i < count; ++i) cairo_line_to(graphics->cr, points[i].X, points[i].Y);
    status = StrokePath(*graphics, *pen);
    EndDrawing(*graphics);
    return status;
}

}  // namespace

namespace lumo::gdiplus {

bool BeginDrawing(Graphics& graphics, bool pixelCentres, GpStatus* status) {
    *status = Ok;
    if (graphics.dc && graphics.dc->released) {  // drawing on an HDC after EndPaint
        *status = Win32Error;
        return false;
    }
    cairo_matrix_t ctm = graphics.world;
    if (pixelCentres) {
        // GDI+ puts pixel centres on integer coordinates; cairo puts pixel edges there.
        cairo_matrix_t half;
        cairo_matrix_init_translate(&half, 0.5, 0.5);
        cairo_matrix_multiply(&ctm, &graphics.world, &half);
    }
    cairo_matrix_t inverse = ctm;
    if (!FiniteMatrix(ctm) || cairo_matrix_invert(&inverse) != CAIRO_STATUS_SUCCESS) {
        return false;  // a collapsed transform draws nothing
    }
    cairo_save(graphics.cr);
    cairo_set_matrix(graphics.cr, &ctm);
    bool smooth = graphics.smoothing == SmoothingModeAntiAlias ||
                  graphics.smoothing == SmoothingModeHighQuality;
    cairo_set_antialias(graphics.cr, smooth ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
    return true;
}

void EndDrawing(Graphics& graphics) {
    cairo_new_path(graphics.cr);
    cairo_restore(graphics.cr);
}

}  // namespace lumo::gdiplus

extern "C" {

GpStatus WINGDIPAPI GdipGetImageGraphicsContext(GpImage* image, GpGraphics** graphics) {
    if (!graphics) return InvalidParameter;
    *graphics = nullptr;
    if (!Started()) return GdiplusNotInitialized;
    auto* bitmap = Live<Bitmap>(image, Kind::Bitmap);
    if (!bitmap) return InvalidParameter;
    Graphics* created = NewGraphics(bitmap->surface);
    Register(created, Kind::Graphics);
    *graphics = created;
    return Ok;
}

GpStatus WINGDIPAPI GdipCreateFromHDC(HDC hdc, GpGraphics** graphics) {
    if (!graphics) return InvalidParameter;
    *graphics = nullptr;
    if (!Started()) return GdiplusNotInitialized;
    auto dc = lumo::standin::FindDeviceContext(hdc);
    if (!dc || dc->released) return InvalidParameter;
    Graphics* created = NewGraphics(dc->surface);
    created->dc = dc;
    // A paint draws only inside the window's update rectangle.
    cairo_rectangle(created->cr, dc->clip.left, dc->clip.top, dc->clip.right - dc->clip.left,
                    dc->clip.bottom - dc->clip.top);
    cairo_clip(created->cr);
    Register(created, Kind::Graphics);
    *graphics = created;
    return Ok;
}

GpStatus WINGDIPAPI GdipDeleteGraphics(GpGraphics* graphics) {
    if (!Unregister(graphics, Kind::Graphics)) return InvalidParameter;
    auto* target = static_cast<Graphics*>(graphics);
    cairo_destroy(target->cr);
    delete target;
    return Ok;
}

GpStatus WINGDIPAPI GdipSetSmoothingMode(GpGraphics* graphics, SmoothingMode mode) {
    auto* target = Live<Graphics>(graphics, Kind::Graphics);
    if (!target || mode < SmoothingModeDefault || mode > SmoothingModeAntiAlias) {
        return InvalidParameter;
    }
    target->smoothing = mode;
    return Ok;
}

GpStatus WINGDIPAPI GdipTranslateWorldTransform(GpGraphics* graphics, REAL dx, REAL dy,
                                                GpMatrixOrder order) {
    if (!Finite(dx) || !Finite(dy)) return InvalidParameter;
    cairo_matrix_t operation;
    cairo_matrix_init_translate(&operation, dx, dy);
    return Combine(graphics, operation, order);
}

GpStatus WINGDIPAPI GdipScaleWorldTransform(GpGraphics* graphics, REAL sx, REAL sy,
                                            GpMatrixOrder order) {
    if (!Finite(sx) || !Finite(sy)) return InvalidParameter;
    cairo_matrix_t operation;
    cairo_matrix_init_scale(&operation, sx, sy);
    return Combine(graphics, operation, order);
}

GpStatus WINGDIPAPI GdipFillRectangleI(GpGraphics* graphics, GpBrush* brush, INT x, INT y,
                                       INT width, INT height) {
    auto* target = Live<Graphics>(graphics, Kind::Graphics);
    auto* fill = Live<SolidFill>(brush, Kind::SolidFill);
    if (!target || !fill) return InvalidParameter;
    if (width <= 0 || height <= 0) return Ok;
    GpStatus status = Ok;
    if (!BeginDrawing(*target, true, &status)) return status;
    cairo_rectangle(target->cr, x, y, width, height);
    SetSourceColour(target->cr, fill->colour);
    cairo_fill(target->cr);
    EndDrawing(*target);
    return Ok;
}

GpStatus WINGDIPAPI GdipFillPolygon(GpGraphics* graphics, GpBrush* brush, const GpPointF* points,
                                    INT count, GpFillMode fillMode) {
    auto* target = Live<Graphics>(graphics, Kind::Graphics);
    auto* fill = Live<SolidFill>(brush, Kind::SolidFill);
    if (!target || !fill || !points || count <= 0 ||
        (fillMode != FillModeAlternate && fillMode != FillModeWinding)) {
        return InvalidParameter;
    }
    if (!FinitePoints(points, count)) return ValueOverflow;
    GpStatus status = Ok;
    if (!BeginDrawing(*target, true, &status)) return status;
    cairo_t* cr = target->cr;
    cairo_move_to(cr, points[0].X, points[0].Y);
    for (INT i = 1; i < count; ++i) cairo_line_to(cr, points[i].X, points[i].Y);
    cairo_close_path(cr);
    cairo_set_fill_rule(cr, fillMode == FillModeAlternate ? CAIRO_FILL_RULE_EVEN_ODD
                                                          : CAIRO_FILL_RULE_WINDING);
    SetSourceColour(cr, fill->colour);
    cairo_fill(cr);
    EndDrawing(*target);
    return Ok;
}

GpStatus WINGDIPAPI GdipDrawLine(GpGraphics* graphics, GpPen* pen, REAL x1, REAL y1, REAL x2,
                                 REAL y2) {
    const GpPointF points[2] = {{x1, y1}, {x2, y2}};
    return DrawPolyline(graphics, pen, points, 2);
}

GpStatus WINGDIPAPI GdipDrawLines(GpGraphics* graphics, GpPen* pen, const GpPointF* points,
                                  INT count) {
    return DrawPolyline(graphics, pen, points, count);
}

GpStatus WINGDIPAPI GdipDrawImageRectI(GpGraphics* graphics, GpImage* image, INT x, INT y,
                                       INT width, INT height) {
    auto* target = Live<Graphics>(graphics, Kind::Graphics);
    auto* bitmap = Live<Bitmap>(image, Kind::Bitmap);
    if (!target || !bitmap) return InvalidParameter;
    if (width == 0 || height == 0) return Ok;
    GpStatus status = Ok;
    if (!BeginDrawing(*target, false, &status)) return status;
    cairo_t* cr = target->cr;
    cairo_surface_flush(bitmap->surface);
    cairo_translate(cr, x, y);
    cairo_scale(cr, static_cast<double>(width) / bitmap->width,
                static_cast<double>(height) / bitmap->height);
    cairo_set_source_surface(cr, bitmap->surface, 0, 0);
    cairo_pattern_t* pattern = cairo_get_source(cr);
    bool unscaled = width == bitmap->width && height == bitmap->height;
    cairo_pattern_set_filter(pattern, unscaled ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_BILINEAR);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    cairo_rectangle(cr, 0, 0, bitmap->width, bitmap->height);
    cairo_fill(cr);
    EndDrawing(*target);
    return Ok;
}

}  // extern "C"
