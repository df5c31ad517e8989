// The stand-in's global window state and the helpers shared by the Win32 calls.
#include "StandinState.h"

#include <algorithm>
#include <cctype>

namespace lumo::standin {

State& GlobalState() {
    static State* state = new State;  // never destroyed: windows may outlive static destructors
    return *state;
}

std::shared_ptr<Window> FindWindowLocked(HWND window) {
    State& state = GlobalState();
    auto found = state.windows.find(reinterpret_cast<uintptr_t>(window));
    if (found == state.windows.end()) return nullptr;
    return found->second;
}

RECT ClientRectOnScreen(const Window& window) {
    LONG side = 0, top = 0;
    if (window.style & WS_THICKFRAME) {
        side = kThickBorder;
    } else if ((window.style & WS_CAPTION) != 0) {
        side = kThinBorder;
    }
    top = side;
    if ((window.style & WS_CAPTION) == WS_CAPTION) top += kCaptionHeight;
    RECT client{window.outer.left + side, window.outer.top + top, window.outer.right - side,
                window.outer.bottom - side};
    if (client.right < client.left) client.right = client.left;
    if (client.bottom < client.top) client.bottom = client.top;
    return client;
}

std::string LowerCase(const char* text) {
    std::string lower = text ? text : "";
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

LRESULT CallWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC proc = nullptr;
    {
        State& state = GlobalState();
        std::lock_guard<std::mutex> lock(state.mutex);
        auto found = FindWindowLocked(window);
        if (!found) return 0;
        proc = found->proc;
    }
    return proc ? proc(window, message, wParam, lParam) : 0;
}

MINMAXINFO QueryMinMaxInfo(HWND window) {
    MINMAXINFO info{};
    info.ptMaxSize = {kLumoStandinScreenWidth + 2 * kThickBorder,
                      kLumoStandinScreenHeight + 2 * kThickBorder};
    info.ptMaxPosition = {-kThickBorder, -kThickBorder};
    info.ptMinTrackSize = {136, 39};
    info.ptMaxTrackSize = {kLumoStandinScreenWidth + 2 * kThickBorder + 12,
                           kLumoStandinScreenHeight + 2 * kThickBorder + 12};
    CallWindowProcedure(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    return info;
}

void InvalidateLocked(Window& window, const RECT* rect, bool erase) {
    RECT client = ClientRectOnScreen(window);
    RECT area{0, 0, client.right - client.left, client.bottom - client.top};
    if (rect) {
        area.left = std::max(area.left, rect->left);
        area.top = std::max(area.top, rect->top);
        area.right = std::min(area.right, rect->right);
        area.bottom = std::min(area.bottom, rect->bottom);
        if (area.right <= area.left || area.bottom <= area.top) return;
    }
    if (window.updatePending) {
        window.update.left = std::min(window.update.left, area.left);
        window.update.top = std::min(window.update.top, area.top);
        window.update.right = std::max(window.update.right, area.right);
        window.update.bottom = std::max(window.update.bottom, area.bottom);
    } else {
        window.update = area;
    }
    window.updatePending = true;
    window.erasePending = window.erasePending || erase;
}

BOOL PlaceWindow(HWND handle, RECT outer, bool repaint) {
    RECT before{}, after{};
    {
        State& state = GlobalState();
        std::lock_guard<std::mutex> lock(state.mutex);
        auto window = FindWindowLocked(handle);
        if (!window) return FALSE;
        before = ClientRectOnScreen(*window);
        window->outer = outer;
        after = ClientRectOnScreen(*window);
        bool resized = (after.right - after.left != before.right - before.left) ||
                       (after.bottom - after.top != before.bottom - before.top);
        if (resized && repaint) InvalidateLocked(*window, nullptr, true);
    }
    if (after.left != before.left || after.top != before.top) {
        CallWindowProcedure(handle, WM_MOVE, 0, MAKELPARAM(after.left, after.top));
    }
    if (after.right - after.left != before.right - before.left ||
        after.bottom - after.top != before.bottom - before.top) {
        CallWindowProcedure(handle, WM_SIZE, SIZE_RESTORED,
                            MAKELPARAM(after.right - after.left, after.bottom - after.top));
    }
    return TRUE;
}

}  // namespace lumo::standin
