// Window classes, window creation and destruction, with Win32's message sequence.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "StandinState.h"

using namespace lumo::standin;

namespace {

std::string ClassKey(const char* name, HINSTANCE instance) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, "\n%p", static_cast<void*>(instance));
    return LowerCase(name) + suffix;
}

// Application classes are found under the creating instance; a null instance takes any class of
// that name.
const WindowClass* FindClassLocked(State& state, const char* name, HINSTANCE instance) {
    auto exact = state.classes.find(ClassKey(name, instance));
    if (exact != state.classes.end()) return &exact->second;
    if (instance) return nullptr;
    std::string lower = LowerCase(name);
    for (const auto& entry : state.classes) {
        if (LowerCase(entry.second.name.c_str()) == lower) return &entry.second;
    }
    return nullptr;
}

}  // namespace

extern "C" {

ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* windowClass) {
    if (!windowClass || windowClass->cbSize != sizeof(WNDCLASSEXA) || !windowClass->lpfnWndProc ||
        !windowClass->lpszClassName || !windowClass->lpszClassName[0]) {
        return 0;
    }
    State& state = GlobalState();
    std::lock_guard<std::mutex> lock(state.mutex);
    std::string key = ClassKey(windowClass->lpszClassName, windowClass->hInstance);
    if (state.classes.count(key)) return 0;  // already registered: the existing class serves
    WindowClass entry;
    entry.name = windowClass->lpszClassName;
    entry.instance = windowClass->hInstance;
    entry.style = windowClass->style;
    entry.proc = windowClass->lpfnWndProc;
    entry.background = windowClass->hbrBackground;
    entry.atom = state.nextAtom++;
    state.classes[key] = entry;
    return entry.atom;
}

BOOL WINAPI UnregisterClassA(LPCSTR className, HINSTANCE instance) {
    if (!className) return FALSE;
    State& state = GlobalState();
    std::lock_guard<std::mutex> lock(state.mutex);
    auto found = state.classes.find(ClassKey(className, instance));
    if (found == state.classes.end()) return FALSE;
    std::string lower = LowerCase(className);
    for (const auto& entry : state.windows) {
        const Window& window = *entry.second;
        if (window.instance == instance && LowerCase(window.className.c_str()) == lower) {
            return FALSE;  // windows of the class still exist
        }
    }
    state.classes.erase(found);
    return TRUE;
}

void LumoStandinFailWindowCreations(int count) {
    State& state = GlobalState();
    std::lock_guard<std::mutex> lock(state.mutex);
    state.failCreations = std::max(0, count);
}

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                            int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, void* param) {
    if (!className) return nullptr;
    if (x == CW_USEDEFAULT) x = y = 26;
    if (width == CW_USEDEFAULT) width = 640, height = 480;
    bool visible = (style & WS_VISIBLE) != 0;
    style &= ~static_cast<DWORD>(WS_VISIBLE);  // shown at the end, as ShowWindow would

    HWND handle = nullptr;
    State& state = GlobalState();
    {
        std::lock_guard<std::mutex> lock(state.mutex);
        if (state.failCreations > 0) {
            --state.failCreations;
            return nullptr;
        }
        const WindowClass* windowClass = FindClassLocked(state, className, instance);
        if (!windowClass) return nullptr;
        auto window = std::make_shared<Window>();
        handle = reinterpret_cast<HWND>(state.nextHandle);
        state.nextHandle += 4;
        window->handle = handle;
        window->className = windowClass->name;
        window->instance = windowClass->instance;
        window->classStyle = windowClass->style;
        window->proc = windowClass->proc;
        window->background = windowClass->background;
        window->thread = std::this_thread::get_id();
        window->style = style;
        window->exStyle = exStyle;
        window->caption = windowName ? windowName : "";
        window->owner = FindWindowLocked(parent) ? parent : nullptr;
        window->outer = {x, y, x + width, y + height};
        state.windows[reinterpret_cast<uintptr_t>(handle)] = window;
    }

    // The tracking limits apply to the size the window is created with.
    MINMAXINFO limits = QueryMinMaxInfo(handle);
    width = std::max(std::min(width, static_cast<int>(limits.ptMaxTrackSize.x)),
                     static_cast<int>(limits.ptMinTrackSize.x));
    height = std::max(std::min(height, static_cast<int>(limits.ptMaxTrackSize.y)),
                      static_cast<int>(limits.ptMinTrackSize.y));
    RECT client{};
    {
        std::lock_guard<std::mutex> lock(state.mutex);
        auto window = FindWindowLocked(handle);
        if (!window) return nullptr;
        window->outer = {x, y, x + width, y + height};
        client = ClientRectOnScreen(*window);
    }

    CREATESTRUCTA create{param, instance, menu, parent, height, width, y, x,
                         static_cast<LONG>(style), windowName, className, exStyle};
    if (!CallWindowProcedure(handle, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create))) {
        CallWindowProcedure(handle, WM_NCDESTROY, 0, 0);
        std::lock_guard<std::mutex> lock(state.mutex);
        state.windows.erase(reinterpret_cast<uintptr_t>(handle));
        return nullptr;
    }
    if (CallWindowProcedure(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        DestroyWindow(handle);
        return nullptr;
    }
    if (!IsWindow(handle)) return nullptr;  // destroyed by its own procedure
    CallWindowProcedure(handle, WM_SIZE, SIZE_RESTORED,
                        MAKELPARAM(client.right - client.left, client.bottom - client.top));
    CallWindowProcedure(handle, WM_MOVE, 0, MAKELPARAM(client.left, client.top));
    if (visible) ShowWindow(handle, SW_SHOW);
    return IsWindow(handle) ? handle : nullptr;
}

BOOL WINAPI DestroyWindow(HWND handle) {
    State& state = GlobalState();
    std::vector<HWND> owned;
    {
        std::lock_guard<std::mutex> lock(state.mutex);
        auto window = FindWindowLocked(handle);
        // Only the creating thread may destroy a window; a window is destroyed once.
        if (!window || window->destroying || window->thread != std::this_thread::get_id()) {
            return FALSE;
        }
        window->destroying = true;
        window->style &= ~static_cast<DWORD>(WS_VISIBLE);
        window->updatePending = false;
        if (state.foreground == handle) state.foreground = nullptr;
        for (const auto& entry : state.windows) {
            if (entry.second->owner == handle) owned.push_back(entry.second->handle);
        }
    }
    // Owned windows go first, as on Win32.
    for (HWND child : owned) DestroyWindow(child);
    CallWindowProcedure(handle, WM_DESTROY, 0, 0);
    CallWindowProcedure(handle, WM_NCDESTROY, 0, 0);

    std::shared_ptr<Window> dead;  // released after the lock
    std::lock_guard<std::mutex> lock(state.mutex);
    auto found = state.windows.find(reinterpret_cast<uintptr_t>(handle));
    if (found != state.windows.end()) {
        dead = found->second;
        state.windows.erase(found);
    }
    for (auto& entry : state.windows) {
        if (entry.second->owner == handle) entry.second->owner = nullptr;
    }
    return TRUE;
}

}  // extern "C"
