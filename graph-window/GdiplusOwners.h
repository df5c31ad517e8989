// Owners of GDI+ flat-interface objects: each releases its object when it goes out of scope, so
// objects declared in creation order are released in the reverse order.
#pragma once

#include "graph-window/Gdiplus.h"

namespace lumo::graph {
using namespace gdip;  // the flat interface's names: gdiplus.dll's or the stand-in's

template <typename T, void (*Release)(T*)>
class GdipOwner {
public:
    GdipOwner() = default;
    ~GdipOwner() {
        if (object_ != nullptr) Release(object_);
    }
    GdipOwner(const GdipOwner&) = delete;
    GdipOwner& operator=(const GdipOwner&) = delete;

    T** Receive() { return &object_; }  // for the creating call's out parameter
    T* Get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

private:
    T* object_ = nullptr;
};

namespace release {
inline void Image(GpBitmap* bitmap) { GdipDisposeImage(bitmap); }
inline void Graphics(GpGraphics* graphics) { GdipDeleteGraphics(graphics); }
inline void Pen(GpPen* pen) { GdipDeletePen(pen); }
inline void Brush(GpSolidFill* brush) { GdipDeleteBrush(brush); }
inline void Font(GpFont* font) { GdipDeleteFont(font); }
inline void Format(GpStringFormat* format) { GdipDeleteStringFormat(format); }
}  // namespace release

using BitmapOwner = GdipOwner<GpBitmap, release::Image>;
using GraphicsOwner = GdipOwner<GpGraphics, release::Graphics>;
using PenOwner = GdipOwner<GpPen, release::Pen>;
using SolidBrushOwner = GdipOwner<GpSolidFill, release::Brush>;
using FontOwner = GdipOwner<GpFont, release::Font>;
using StringFormatOwner = GdipOwner<GpStringFormat, release::Format>;

// BeginPaint on construction; EndPaint on End() or, at the latest, on destruction.
class PaintCycle {
public:
    explicit PaintCycle(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    ~PaintCycle() { End(); }
    PaintCycle(const PaintCycle&) = delete;
    PaintCycle& operator=(const PaintCycle&) = delete;

    HDC Dc() const { return dc_; }
    void End() {
        if (ended_) return;
        EndPaint(window_, &paint_);
        ended_ = true;
    }

private:
    HWND window_;
    PAINTSTRUCT paint_;
    HDC dc_;
    bool ended_ = false;
};

}  // namespace lumo::graph
