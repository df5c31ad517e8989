// GDI+ start-up, the object registry, and creation and release of bitmaps, pens, brushes,
// fonts and string formats.
#include <cmath>
#include <mutex>
#include <set>
#include <unordered_map>

#include "GdiplusInternal.h"

using namespace lumo::gdiplus;

namespace {

struct Registry {
    std::mutex mutex;
    std::unordered_map<const void*, Kind> live;
    std::set<ULONG_PTR> tokens;
    ULONG_PTR nextToken = 0x5150;
};

Registry& GlobalRegistry() {
    static Registry* registry = new Registry;
    return *registry;
}

GpStatus WINAPI NotificationHook(ULONG_PTR* token) {
    if (token) *token = 0;
    return Ok;
}

void WINAPI NotificationUnhook(ULONG_PTR) {}

constexpr int kMaxBitmapSide = 32767;  // cairo's limit for image surfaces

}  // namespace

namespace lumo::gdiplus {

void Register(const void* object, Kind kind) {
    Registry& registry = GlobalRegistry();
    std::lock_guard<std::mutex> lock(registry.mutex);
    registry.live[object] = kind;
}

bool Unregister(const void* object, Kind kind) {
    Registry& registry = GlobalRegistry();
    std::lock_guard<std::mutex> lock(registry.mutex);
    auto found = registry.live.find(object);
    if (!object || found == registry.live.end() || found->second != kind) return false;
    registry.live.erase(found);
    return true;
}

bool IsLive(const void* object, Kind kind) {
    Registry& registry = GlobalRegistry();
    std::lock_guard<std::mutex> lock(registry.mutex);
    auto found = registry.live.find(object);
    return object && found != registry.live.end() && found->second == kind;
}

bool Started() {
    Registry& registry = GlobalRegistry();
    std::lock_guard<std::mutex> lock(registry.mutex);
    return !registry.tokens.empty();
}

void SetSourceColour(cairo_t* cr, ARGB colour) {
    cairo_set_source_rgba(cr, ((colour >> 16) & 0xff) / 255.0, ((colour >> 8) & 0xff) / 255.0,
                          (colour & 0xff) / 255.0, (colour >> 24) / 255.0);
}

}  // namespace lumo::gdiplus

extern "C" {

GpStatus WINAPI GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput* input,
                               GdiplusStartupOutput* output) {
    if (!token || !input) return InvalidParameter;
    if (input->GdiplusVersion < 1 || input->GdiplusVersion > 3) return UnsupportedGdiplusVersion;
    if (input->SuppressBackgroundThread) {
        if (!output) return InvalidParameter;
        output->NotificationHook = reinterpret_cast<void*>(&NotificationHook);
        output->NotificationUnhook = reinterpret_cast<void*>(&NotificationUnhook);
    }
    Registry& registry = GlobalRegistry();
    std::lock_guard<std::mutex> lock(registry.mutex);
    *token = registry.nextToken++;
    registry.tokens.insert(*token);
    return Ok;
}

void WINAPI GdiplusShutdown(ULONG_PTR token) {
    Registry& registry = GlobalRegistry();
    std::lock_guard<std::mutex> lock(registry.mutex);
    registry.tokens.erase(token);
}

GpStatus WINGDIPAPI GdipCreateBitmapFromScan0(INT width, INT height, INT stride, PixelFormat format,
                                              BYTE* scan0, GpBitmap** bitmap) {
    if (!bitmap) return InvalidParameter;
    *bitmap = nullptr;
    if (!Started()) return GdiplusNotInitialized;
    if (width <= 0 || height <= 0 || width > kMaxBitmapSide || height > kMaxBitmapSide) {
        return InvalidParameter;
    }
    if (stride < 0 || (stride > 0 && stride < width * 4)) return InvalidParameter;
    // Only the bitmaps this project draws into: 32-bit ARGB in memory of their own.
    if (format != PixelFormat32bppARGB || scan0) return NotImplemented;
    auto* created = new Bitmap;
    created->surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    if (cairo_surface_status(created->surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(created->surface);
        delete created;
        return OutOfMemory;
    }
    created->width = width;
    created->height = height;
    Register(created, Kind::Bitmap);
    *bitmap = created;
    return Ok;
}

GpStatus WINGDIPAPI GdipDisposeImage(GpImage* image) {
    if (!Unregister(image, Kind::Bitmap)) return InvalidParameter;
    auto* bitmap = static_cast<Bitmap*>(static_cast<GpBitmap*>(image));
    cairo_surface_destroy(bitmap->surface);  // graphics still drawing on it hold a reference
    delete bitmap;
    return Ok;
}

GpStatus WINGDIPAPI GdipCreatePen1(ARGB color, REAL width, GpUnit unit, GpPen** pen) {
    if (!pen) return InvalidParameter;
    *pen = nullptr;
    if (!Started()) return GdiplusNotInitialized;
    if (PixelsPerUnit(unit) == 0) return InvalidParameter;
    auto* created = new Pen;
    created->colour = color;
    created->width = width;
    created->unit = unit;
    Register(created, Kind::Pen);
    *pen = created;
    return Ok;
}

GpStatus WINGDIPAPI GdipDeletePen(GpPen* pen) {
    if (!Unregister(pen, Kind::Pen)) return InvalidParameter;
    delete static_cast<Pen*>(pen);
    return Ok;
}

GpStatus WINGDIPAPI GdipCreateSolidFill(ARGB color, GpSolidFill** brush) {
    if (!brush) return InvalidParameter;
    *brush = nullptr;
    if (!Started()) return GdiplusNotInitialized;
    auto* created = new SolidFill;
    created->colour = color;
    Register(created, Kind::SolidFill);
    *brush = created;
    return Ok;
}

GpStatus WINGDIPAPI GdipDeleteBrush(GpBrush* brush) {
    if (!Unregister(brush, Kind::SolidFill)) return InvalidParameter;
    delete static_cast<SolidFill*>(static_cast<GpSolidFill*>(brush));
    return Ok;
}

GpStatus WINGDIPAPI GdipGetGenericFontFamilySansSerif(GpFontFamily** family) {
    if (!family) return InvalidParameter;
    *family = nullptr;
    if (!Started()) return GdiplusNotInitialized;
    // One shared family object, never released, as GDI+'s generic families are.
    static FontFamily* sansSerif = [] {
        auto* created = new FontFamily;
        created->name = "sans-serif";
        Register(created, Kind::FontFamily);
        return created;
    }();
    *family = sansSerif;
    return Ok;
}

GpStatus WINGDIPAPI GdipCreateFont(const GpFontFamily* family, REAL size, INT style, Unit unit,
                                   GpFont** font) {
    if (!font) return InvalidParameter;
    *font = nullptr;
    if (!Started()) return GdiplusNotInitialized;
    const FontFamily* source = Live<FontFamily>(family, Kind::FontFamily);
    if (!source || !std::isfinite(size) || size <= 0) return InvalidParameter;
    const double pixelsPerUnit = PixelsPerUnit(unit);
    if (pixelsPerUnit == 0) return InvalidParameter;
    auto* created = new Font;
    created->family = source->name;
    created->style = style;
    created->emSize = size * pixelsPerUnit;
    Register(created, Kind::Font);
    *font = created;
    return Ok;
}

GpStatus WINGDIPAPI GdipDeleteFont(GpFont* font) {
    if (!Unregister(font, Kind::Font)) return InvalidParameter;
    delete static_cast<Font*>(font);
    return Ok;
}

GpStatus WINGDIPAPI GdipCreateStringFormat(INT formatFlags, LANGID language,
                                           GpStringFormat** format) {
    if (!format) return InvalidParameter;
    *format = nullptr;
    if (!Started()) return GdiplusNotInitialized;
    auto* created = new StringFormat;
    created->flags = formatFlags;
    created->language = language;
    Register(created, Kind::StringFormat);
    *format = created;
    return Ok;
}

GpStatus WINGDIPAPI GdipSetStringFormatAlign(GpStringFormat* format, StringAlignment align) {
    auto* target = Live<StringFormat>(format, Kind::StringFormat);
    if (!target || align < StringAlignmentNear || align > StringAlignmentFar) {
        return InvalidParameter;
    }
    target->align = align;
    return Ok;
}

GpStatus WINGDIPAPI GdipSetStringFormatLineAlign(GpStringFormat* format, StringAlignment align) {
    auto* target = Live<StringFormat>(format, Kind::StringFormat);
    if (!target || align < StringAlignmentNear || align > StringAlignmentFar) {
        return InvalidParameter;
    }
    target->lineAlign = align;
    return Ok;
}

GpStatus WINGDIPAPI GdipDeleteStringFormat(GpStringFormat* format) {
    if (!Unregister(format, Kind::StringFormat)) return InvalidParameter;
    delete static_cast<StringFormat*>(format);
    return Ok;
}

}  // extern "C"

extern "C" GpStatus WINGDIPAPI GdipBitmapGetPixel(GpBitmap* bitmap, INT x, INT y, ARGB* color) {
    auto* source = Live<Bitmap>(bitmap, Kind::Bitmap);
    if (!source || !color || x < 0 || y < 0 || x >= source->width || y >= source->height) {
        return InvalidParameter;
    }
    cairo_surface_flush(source->surface);
    *color = lumo::standin::StraightPixel(source->surface, x, y);
    return Ok;
}
