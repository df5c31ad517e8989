// The paint cycle: invalidation, BeginPaint/EndPaint with the window's client surface, and
// reading back what was painted.
#include <map>

#include "DeviceContext.h"
#include "StandinState.h"

using namespace lumo::standin;

namespace {

struct DeviceContexts {
    std::mutex mutex;
    std::map<uintptr_t, std::shared_ptr<DeviceContext>> live;
    uintptr_t next = 0x20010;
};

DeviceContexts& Contexts() {
    static DeviceContexts* contexts = new DeviceContexts;
    return *contexts;
}

// The window's last painted surface (a new reference) and its current client size.
cairo_surface_t* PaintedSurface(HWND handle, int* clientWidth, int* clientHeight) {
    State& state = GlobalState();
    std::lock_guard<std::mutex> lock(state.mutex);
    auto window = FindWindowLocked(handle);
    if (!window || !window->screen) return nullptr;
    RECT client = ClientRectOnScreen(*window);
    *clientWidth = client.right - client.left;
    *clientHeight = client.bottom - client.top;
    return cairo_surface_reference(window->screen);
}

}  // namespace

namespace lumo::standin {

std::shared_ptr<DeviceContext> FindDeviceContext(HDC hdc) {
    DeviceContexts& contexts = Contexts();
    std::lock_guard<std::mutex> lock(contexts.mutex);
    auto found = contexts.live.find(reinterpret_cast<uintptr_t>(hdc));
    return found == contexts.live.end() ? nullptr : found->second;
}

bool FillWithStockBrush(HDC hdc, HBRUSH brush) {
    uint32_t argb = 0;
    auto dc = FindDeviceContext(hdc);
    if (!dc || dc->released || !StockBrushColour(brush, &argb)) return false;
    cairo_t* cr = cairo_create(dc->surface);
    cairo_rectangle(cr, dc->clip.left, dc->clip.top, dc->clip.right - dc->clip.left,
                    dc->clip.bottom - dc->clip.top);
    cairo_set_source_rgba(cr, ((argb >> 16) & 0xff) / 255.0, ((argb >> 8) & 0xff) / 255.0,
                          (argb & 0xff) / 255.0, (argb >> 24) / 255.0);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_fill(cr);
    cairo_destroy(cr);
    return true;
}

}  // namespace lumo::standin

extern "C" {

BOOL WINAPI InvalidateRect(HWND handle, const RECT* rect, BOOL erase) {
    State& state = GlobalState();
    std::lock_guard<std::mutex> lock(state.mutex);
    if (!handle) {  // every window
        for (auto& entry : state.windows) InvalidateLocked(*entry.second, rect, erase != FALSE);
        return TRUE;
    }
    auto window = FindWindowLocked(handle);
    if (!window || window->destroying) return FALSE;
    InvalidateLocked(*window, rect, erase != FALSE);
    return TRUE;
}

HDC WINAPI BeginPaint(HWND handle, PAINTSTRUCT* paint) {
    if (!paint) return nullptr;
    auto dc = std::make_shared<DeviceContext>();
    cairo_surface_t* previous = nullptr;
    bool erase = false;
    int width = 0, height = 0;
    {
        State& state = GlobalState();
        std::lock_guard<std::mutex> lock(state.mutex);
        auto window = FindWindowLocked(handle);
        if (!window) return nullptr;
        RECT client = ClientRectOnScreen(*window);
        width = client.right - client.left;
        height = client.bottom - client.top;
        // BeginPaint validates: an invalidation from now on asks for another paint.
        dc->clip = window->updatePending ? window->update : RECT{0, 0, 0, 0};
        erase = window->updatePending && window->erasePending;
        window->updatePending = false;
        window->erasePending = false;
        if (window->screen) previous = cairo_surface_reference(window->screen);
    }
    dc->window = handle;
    dc->surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    if (previous) {  // the client area keeps what was painted before
        cairo_t* cr = cairo_create(dc->surface);
        cairo_set_source_surface(cr, previous, 0, 0);
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_paint(cr);
        cairo_destroy(cr);
        cairo_surface_destroy(previous);
    }
    HDC hdc = nullptr;
    {
        DeviceContexts& contexts = Contexts();
        std::lock_guard<std::mutex> lock(contexts.mutex);
        hdc = reinterpret_cast<HDC>(contexts.next);
        contexts.next += 4;
        contexts.live[reinterpret_cast<uintptr_t>(hdc)] = dc;
    }
    BOOL needsErase = FALSE;
    if (erase) {
        needsErase = CallWindowProcedure(handle, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0)
                         ? FALSE : TRUE;
    }
    *paint = PAINTSTRUCT{};
    paint->hdc = hdc;
    paint->fErase = needsErase;
    paint->rcPaint = dc->clip;
    return hdc;
}

BOOL WINAPI EndPaint(HWND handle, const PAINTSTRUCT* paint) {
    if (!paint) return FALSE;
    std::shared_ptr<DeviceContext> dc;
    {
        DeviceContexts& contexts = Contexts();
        std::lock_guard<std::mutex> lock(contexts.mutex);
        auto found = contexts.live.find(reinterpret_cast<uintptr_t>(paint->hdc));
        if (found == contexts.live.end() || found->second->window != handle) return FALSE;
        dc = found->second;
        contexts.live.erase(found);
    }
    dc->released = true;
    cairo_surface_flush(dc->surface);
    State& state = GlobalState();
    std::lock_guard<std::mutex> lock(state.mutex);
    auto window = FindWindowLocked(handle);
    if (window) {
        if (window->screen) cairo_surface_destroy(window->screen);
        window->screen = cairo_surface_reference(dc->surface);
    }
    return TRUE;
}

BOOL LumoStandinClientPixel(HWND handle, int x, int y, DWORD* argb) {
    if (!argb) return FALSE;
    int clientWidth = 0, clientHeight = 0;
    cairo_surface_t* surface = PaintedSurface(handle, &clientWidth, &clientHeight);
    if (!surface) return FALSE;
    BOOL inside = x >= 0 && y >= 0 && x < clientWidth && y < clientHeight &&
                  x < cairo_image_surface_get_width(surface) &&
                  y < cairo_image_surface_get_height(surface);
    if (inside) {
        *argb = StraightPixel(surface, x, y);
    }
    cairo_surface_destroy(surface);
    return inside;
}

BOOL LumoStandinSaveClientPng(HWND handle, const char* path) {
    if (!path) return FALSE;
    int clientWidth = 0, clientHeight = 0;
    cairo_surface_t* surface = PaintedSurface(handle, &clientWidth, &clientHeight);
    if (!surface) return FALSE;
    BOOL saved = cairo_surface_write_to_png(surface, path) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return saved;
}

}  // extern "C"
