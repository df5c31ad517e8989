// Window attributes: window longs, rectangles, caption, visibility.
#include <algorithm>
#include <cstring>
#include <vector>

#include "StandinState.h"

using namespace lumo::standin;

namespace {

// Reads or writes one window long; false for a dead window or an unknown index.
bool AccessLong(HWND handle, int index, const LONG_PTR* value, LONG_PTR* previous) {
    State& state = GlobalState();
    std::lock_guard<std::mutex> lock(state.mutex);
    auto window = FindWindowLocked(handle);
    if (!window) return false;
    switch (index) {
        case GWLP_USERDATA:
            *previous = window->userData;
            if (value) window->userData = *value;
            return true;
        case GWLP_HWNDPARENT: {
            *previous = reinterpret_cast<LONG_PTR>(window->owner);
            if (value) {
                HWND owner = reinterpret_cast<HWND>(*value);
                window->owner = (owner != handle && FindWindowLocked(owner)) ? owner : nullptr;
            }
            return true;
        }
        default:
            return false;
    }
}

}  // namespace

extern "C" {

LONG_PTR WINAPI SetWindowLongPtrA(HWND window, int index, LONG_PTR value) {
    LONG_PTR previous = 0;
    return AccessLong(window, index, &value, &previous) ? previous : 0;
}

LONG_PTR WINAPI GetWindowLongPtrA(HWND window, int index) {
    LONG_PTR value = 0;
    return AccessLong(window, index, nullptr, &value) ? value : 0;
}

BOOL WINAPI IsWindow(HWND handle) {
    State& state = GlobalState();
    std::lock_guard<std::mutex> lock(state.mutex);
    return FindWindowLocked(handle) ? TRUE : FALSE;
}

BOOL WINAPI EnumWindows(WNDENUMPROC proc, LPARAM lParam) {
    std::vector<HWND> windows;
    {
        State& state = GlobalState();
        std::lock_guard<std::mutex> lock(state.mutex);
        for (const auto& entry : state.windows)
            if (!entry.second->destroying) windows.push_back(entry.second->handle);
    }
    // The callback runs with no lock held: it may call back into the stand-in.
    for (HWND window : windows)
        if (!proc(window, lParam)) break;
    return TRUE;
}

BOOL WINAPI IsWindowVisible(HWND handle) {
    State& state = GlobalState();
    std::lock_guard<std::mutex> lock(state.mutex);
    auto window = FindWindowLocked(handle);
    return window && (window->style & WS_VISIBLE) ? TRUE : FALSE;
}

BOOL WINAPI GetClientRect(HWND handle, LPRECT rect) {
    if (!rect) return FALSE;
    State& state = GlobalState();
    std::lock_guard<std::mutex> lock(state.mutex);
    auto window = FindWindowLocked(handle);
    if (!window) return FALSE;
    RECT client = ClientRectOnScreen(*window);
    *rect = {0, 0, client.right - client.left, client.bottom - client.top};
    return TRUE;
}

BOOL WINAPI GetWindowRect(HWND handle, LPRECT rect) {
    if (!rect) return FALSE;
    State& state = GlobalState();
    std::lock_guard<std::mutex> lock(state.mutex);
    auto window = FindWindowLocked(handle);
    if (!window) return FALSE;
    *rect = window->outer;
    return TRUE;
}

BOOL WINAPI ClientToScreen(HWND handle, LPPOINT point) {
    if (!point) return FALSE;
    State& state = GlobalState();
    std::lock_guard<std::mutex> lock(state.mutex);
    auto window = FindWindowLocked(handle);
    if (!window) return FALSE;
    RECT client = ClientRectOnScreen(*window);
    point->x += client.left;
    point->y += client.top;
    return TRUE;
}

int WINAPI GetWindowTextA(HWND handle, LPSTR text, int maxCount) {
    if (!text || maxCount <= 0) return 0;
    State& state = GlobalState();
    std::lock_guard<std::mutex> lock(state.mutex);
    auto window = FindWindowLocked(handle);
    if (!window) {
        text[0] = '\0';
        return 0;
    }
    size_t count = std::min(window->caption.size(), static_cast<size_t>(maxCount - 1));
    std::memcpy(text, window->caption.data(), count);
    text[count] = '\0';
    return static_cast<int>(count);
}

}  // extern "C"
