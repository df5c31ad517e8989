// What the window manager and the user do to windows: showing, activation, placement, the
// user's drags and the close box, and inspection for hosts and tests.
#include <algorithm>
#include <cstring>

#include "StandinState.h"

using namespace lumo::standin;

namespace {

// DefWindowProc's handling of WM_WINDOWPOSCHANGING: the new outer size keeps within the window's
// tracking limits. fixedRight/fixedBottom keep that edge in place while clamping.
RECT ClampToTracking(HWND window, RECT outer, bool fixedRight, bool fixedBottom) {
    MINMAXINFO limits = QueryMinMaxInfo(window);
    LONG width = std::max(std::min(outer.right - outer.left, limits.ptMaxTrackSize.x),
                          limits.ptMinTrackSize.x);
    LONG height = std::max(std::min(outer.bottom - outer.top, limits.ptMaxTrackSize.y),
                           limits.ptMinTrackSize.y);
    if (fixedRight) outer.left = outer.right - width; else outer.right = outer.left + width;
    if (fixedBottom) outer.top = outer.bottom - height; else outer.bottom = outer.top + height;
    return outer;
}

// The window's outer rectangle and style if it is alive.
bool Snapshot(HWND handle, RECT* outer, DWORD* style) {
    State& state = GlobalState();
    std::lock_guard<std::mutex> lock(state.mutex);
    auto window = FindWindowLocked(handle);
    if (!window) return false;
    *outer = window->outer;
    *style = window->style;
    return true;
}

void Activate(HWND handle) {
    State& state = GlobalState();
    std::lock_guard<std::mutex> lock(state.mutex);
    auto window = FindWindowLocked(handle);
    if (window && (window->style & WS_VISIBLE)) state.foreground = handle;
}

}  // namespace

extern "C" {

BOOL WINAPI ShowWindow(HWND handle, int command) {
    RECT outer{};
    DWORD style = 0;
    if (!Snapshot(handle, &outer, &style)) return FALSE;
    bool wasVisible = (style & WS_VISIBLE) != 0;
    State& state = GlobalState();

    if (command == SW_HIDE) {
        if (!wasVisible) return FALSE;
        CallWindowProcedure(handle, WM_SHOWWINDOW, FALSE, 0);
        std::lock_guard<std::mutex> lock(state.mutex);
        auto window = FindWindowLocked(handle);
        if (window) window->style &= ~static_cast<DWORD>(WS_VISIBLE);
        if (state.foreground == handle) state.foreground = nullptr;
        return TRUE;
    }

    bool firstShowing = false;
    RECT client{};
    if (!wasVisible) {
        CallWindowProcedure(handle, WM_SHOWWINDOW, TRUE, 0);
        std::lock_guard<std::mutex> lock(state.mutex);
        auto window = FindWindowLocked(handle);
        if (!window || window->destroying) return FALSE;
        window->style |= WS_VISIBLE;
        InvalidateLocked(*window, nullptr, true);
        firstShowing = !window->shownOnce;
        window->shownOnce = true;
        client = ClientRectOnScreen(*window);
    }
    if (firstShowing) {
        // The first showing reports the client's size and position once more.
        CallWindowProcedure(handle, WM_SIZE, SIZE_RESTORED,
                            MAKELPARAM(client.right - client.left, client.bottom - client.top));
        CallWindowProcedure(handle, WM_MOVE, 0, MAKELPARAM(client.left, client.top));
    }
    if (command != SW_SHOWNA) Activate(handle);
    return wasVisible ? TRUE : FALSE;
}

BOOL WINAPI BringWindowToTop(HWND handle) {
    if (!IsWindow(handle)) return FALSE;
    Activate(handle);
    return TRUE;
}

BOOL WINAPI MoveWindow(HWND handle, int x, int y, int width, int height, BOOL repaint) {
    if (!IsWindow(handle)) return FALSE;
    RECT outer = ClampToTracking(handle, {x, y, x + width, y + height}, false, false);
    return PlaceWindow(handle, outer, repaint != FALSE);
}

BOOL LumoStandinDragCaption(HWND handle, int dx, int dy) {
    RECT outer{};
    DWORD style = 0;
    if (!Snapshot(handle, &outer, &style)) return FALSE;
    if (!(style & WS_VISIBLE) || (style & WS_CAPTION) != WS_CAPTION) return FALSE;
    Activate(handle);
    // The moving loop asks for the limits first, as Win32's does.
    QueryMinMaxInfo(handle);
    if (!Snapshot(handle, &outer, &style)) return FALSE;
    RECT moved{outer.left + dx, outer.top + dy, outer.right + dx, outer.bottom + dy};
    return PlaceWindow(handle, moved, true);
}

BOOL LumoStandinDragEdge(HWND handle, int edge, int dx, int dy) {
    RECT outer{};
    DWORD style = 0;
    if (!Snapshot(handle, &outer, &style)) return FALSE;
    if (!(style & WS_VISIBLE) || !(style & WS_THICKFRAME)) return FALSE;
    if (edge == 0 || (edge & ~(LUMO_EDGE_LEFT | LUMO_EDGE_TOP | LUMO_EDGE_RIGHT | LUMO_EDGE_BOTTOM))) {
        return FALSE;
    }
    Activate(handle);
    RECT sized = outer;
    if (edge & LUMO_EDGE_LEFT) sized.left += dx;
    else if (edge & LUMO_EDGE_RIGHT) sized.right += dx;
    if (edge & LUMO_EDGE_TOP) sized.top += dy;
    else if (edge & LUMO_EDGE_BOTTOM) sized.bottom += dy;
    sized = ClampToTracking(handle, sized, (edge & LUMO_EDGE_LEFT) != 0, (edge & LUMO_EDGE_TOP) != 0);
    return PlaceWindow(handle, sized, true);
}

BOOL LumoStandinClickClose(HWND handle) {
    RECT outer{};
    DWORD style = 0;
    if (!Snapshot(handle, &outer, &style)) return FALSE;
    if (!(style & WS_VISIBLE) || !(style & WS_SYSMENU)) return FALSE;  // no close box to press
    CallWindowProcedure(handle, WM_CLOSE, 0, 0);
    return TRUE;
}

BOOL LumoStandinGetWindowInfo(HWND handle, LumoStandinWindowInfo* info) {
    if (!info) return FALSE;
    State& state = GlobalState();
    std::lock_guard<std::mutex> lock(state.mutex);
    auto window = FindWindowLocked(handle);
    if (!window) return FALSE;
    std::memset(info, 0, sizeof *info);
    info->windowRect = window->outer;
    info->clientRect = ClientRectOnScreen(*window);
    info->visible = (window->style & WS_VISIBLE) ? TRUE : FALSE;
    info->active = state.foreground == handle ? TRUE : FALSE;
    info->owner = window->owner;
    info->style = window->style;
    info->exStyle = window->exStyle;
    std::strncpy(info->caption, window->caption.c_str(), sizeof info->caption - 1);
    std::strncpy(info->className, window->className.c_str(), sizeof info->className - 1);
    return TRUE;
}

}  // extern "C"
