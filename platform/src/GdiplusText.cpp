// GdipDrawString: one line of wide text laid out against a layout rectangle with the string
// format's two alignments, drawn with cairo's text API in the world transform.
#include <cmath>
#include <cwchar>
#include <string>

#include "GdiplusInternal.h"

using namespace lumo::gdiplus;

namespace {

// The text as UTF-8, on one line: the labels are short runs of characters of the Basic
// Multilingual Plane (anything else shows as U+FFFD).
std::string Utf8(const WCHAR* text, size_t length) {
    std::string out;
    for (size_t i = 0; i < length; ++i) {
        uint32_t code = static_cast<uint32_t>(text[i]);
        if (code > 0xFFFF || (code >= 0xD800 && code <= 0xDFFF)) code = 0xFFFD;
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return out;
}

// Offset of a span of `extent` inside a slot of `size` starting at `origin`.
double Align(StringAlignment align, double origin, double size, double extent) {
    switch (align) {
        case StringAlignmentCenter: return origin + (size - extent) / 2;
        case StringAlignmentFar: return origin + size - extent;
        default: return origin;
    }
}

}  // namespace

extern "C" {

GpStatus WINGDIPAPI GdipDrawString(GpGraphics* graphics, const WCHAR* text, INT length,
                                   const GpFont* font, const RectF* layout,
                                   const GpStringFormat* format, const GpBrush* brush) {
    auto* target = Live<Graphics>(graphics, Kind::Graphics);
    auto* face = Live<Font>(font, Kind::Font);
    auto* fill = Live<SolidFill>(brush, Kind::SolidFill);
    const StringFormat* alignment = nullptr;
    if (format) {
        alignment = Live<StringFormat>(format, Kind::StringFormat);
        if (!alignment) return InvalidParameter;
    }
    if (!target || !face || !fill || !text || !layout || length < -1) return InvalidParameter;
    if (!std::isfinite(layout->X) || !std::isfinite(layout->Y) || !std::isfinite(layout->Width) ||
        !std::isfinite(layout->Height)) {
        return InvalidParameter;
    }
    size_t count = length == -1 ? std::wcslen(text) : static_cast<size_t>(length);
    if (count == 0) return Ok;

    GpStatus status = Ok;
    if (!BeginDrawing(*target, false, &status)) return status;
    cairo_t* cr = target->cr;
    cairo_select_font_face(cr, face->family.c_str(),
                           (face->style & FontStyleItalic) ? CAIRO_FONT_SLANT_ITALIC
                                                           : CAIRO_FONT_SLANT_NORMAL,
                           (face->style & FontStyleBold) ? CAIRO_FONT_WEIGHT_BOLD
                                                         : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, face->emSize);
    cairo_font_extents_t metrics;
    cairo_font_extents(cr, &metrics);

    // A layout rectangle with an area clips the text; an empty one only anchors it.
    bool hasArea = layout->Width > 0 && layout->Height > 0;
    if (hasArea) {
        cairo_rectangle(cr, layout->X, layout->Y, layout->Width, layout->Height);
        cairo_clip(cr);
    }
    const std::string line = Utf8(text, count);
    const StringAlignment align = alignment ? alignment->align : StringAlignmentNear;
    const StringAlignment lineAlign = alignment ? alignment->lineAlign : StringAlignmentNear;
    const double top = Align(lineAlign, layout->Y, layout->Height, metrics.height);
    SetSourceColour(cr, fill->colour);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, line.c_str(), &extents);
    const double left = Align(align, layout->X, layout->Width, extents.x_advance);
    cairo_move_to(cr, left, top + metrics.ascent);
    cairo_show_text(cr, line.c_str());
    EndDrawing(*target);
    return Ok;
}

}  // extern "C"
