// The stand-in's GDI+ objects behind the flat API's opaque handles, and the registry that tells
// live handles from null, stale or foreign ones.
#pragma once

#include <cairo.h>

#include <memory>
#include <string>

#include "DeviceContext.h"
#include "lumo/gdiplus.h"

namespace lumo::gdiplus {

// Device pixels (at 96 dpi) per unit of a pen's width or a font's size; 0 for UnitDisplay and
// values outside the enumeration, which neither takes.
inline double PixelsPerUnit(GpUnit unit) {
    switch (unit) {
        case UnitWorld:
        case UnitPixel: return 1;
        case UnitPoint: return 96.0 / 72.0;
        case UnitInch: return 96.0;
        case UnitDocument: return 96.0 / 300.0;
        case UnitMillimeter: return 96.0 / 25.4;
        default: return 0;
    }
}

enum class Kind { Bitmap, Graphics, Pen, SolidFill, FontFamily, Font, StringFormat };

struct Bitmap : GpBitmap {
    cairo_surface_t* surface = nullptr;  // ARGB32, premultiplied as cairo keeps it
    int width = 0;
    int height = 0;
};

struct Graphics : GpGraphics {
    cairo_t* cr = nullptr;
    cairo_matrix_t world;  // world to device, as GDI+'s world transform
    SmoothingMode smoothing = SmoothingModeNone;
    std::shared_ptr<lumo::standin::DeviceContext> dc;  // set for graphics on a paint's HDC
};

struct Pen : GpPen {
    ARGB colour = 0;
    REAL width = 1;
    GpUnit unit = UnitWorld;
};

struct SolidFill : GpSolidFill {
    ARGB colour = 0;
};

struct FontFamily : GpFontFamily {
    std::string name;
};

struct Font : GpFont {
    std::string family;
    INT style = FontStyleRegular;
    double emSize = 0;  // in world units: the font's size converted to pixels at 96 dpi
};

struct StringFormat : GpStringFormat {
    INT flags = 0;
    LANGID language = 0;
    StringAlignment align = StringAlignmentNear;
    StringAlignment lineAlign = StringAlignmentNear;
};

void Register(const void* object, Kind kind);
bool Unregister(const void* object, Kind kind);
bool IsLive(const void* object, Kind kind);
bool Started();

template <typename T>
T* Live(const void* handle, Kind kind) {
    return IsLive(handle, kind) ? static_cast<T*>(const_cast<void*>(handle)) : nullptr;
}

// Sets up the cairo context for one drawing call: world transform (plus GDI+'s pixel-centre
// convention for shapes, which images and text do without) and antialiasing. Returns false when
// nothing can be drawn (singular or non-finite transform); the caller then reports `status`.
// A successful call must be paired with EndDrawing.
bool BeginDrawing(Graphics& graphics, bool pixelCentres, GpStatus* status);
void EndDrawing(Graphics& graphics);

void SetSourceColour(cairo_t* cr, ARGB colour);

}  // namespace lumo::gdiplus
