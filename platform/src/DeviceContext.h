// A paint's device context: the window's client area being painted, shared by the paint cycle
// and GDI+ graphics created on it.
#pragma once

#include <cairo.h>

#include <atomic>
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

}  // namespace lumo::standin
