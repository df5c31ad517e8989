// A paint's device context: the window's client area being painted, shared by the paint cycle
// and GDI+ graphics created on it.
#pragma once

#include <cairo.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "lumo/win32.h"

namespace lumo::standin {

struct DeviceContext {
    HWND window = nullptr;
    cairo_surface_t* surface = nullptr;  // owned reference; published at EndPaint
    RECT clip{};                         // the update rectangle, client coordinates
    std::atomic<bool> released{false};   // EndPaint has run: drawing is refused
    ~DeviceContext() { if (surface) cairo_surface_destroy(surface); }
};

// The live device context behind an HDC, or null.
std::shared_ptr<DeviceContext> FindDeviceContext(HDC hdc);

// The pixel at (x, y), inside the ARGB32 surface, as 0xAARRGGBB in straight (not premultiplied)
// colour, as GDI+ and the stand-in's probes hand it out. The caller has flushed the surface.
inline uint32_t StraightPixel(cairo_surface_t* surface, int x, int y) {
    const unsigned char* row = cairo_image_surface_get_data(surface) +
                               static_cast<size_t>(y) * cairo_image_surface_get_stride(surface);
    const uint32_t premultiplied = reinterpret_cast<const uint32_t*>(row)[x];
    const uint32_t alpha = premultiplied >> 24;
    if (alpha == 0) return 0;
    uint32_t value = alpha << 24;
    for (int shift = 0; shift <= 16; shift += 8) {
        const uint32_t channel = (premultiplied >> shift) & 0xff;
        value |= ((channel * 255 + alpha / 2) / alpha) << shift;
    }
    return value;
}

}  // namespace lumo::standin
