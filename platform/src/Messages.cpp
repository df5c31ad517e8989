// Sent and posted messages, the per-thread queue with its generated paints, and the default
// window procedure.
#include <set>

#include "StandinState.h"

using namespace lumo::standin;

namespace {

bool InFilter(UINT message, UINT filterMin, UINT filterMax) {
    if (filterMin == 0 && filterMax == 0) return true;
    return message >= filterMin && message <= filterMax;
}

// Posted messages first, in order; then a paint for an invalidated visible window, as Win32
// generates WM_PAINT only when the queue holds nothing else. Windows in skipPaint get no paint.
bool Retrieve(MSG* out, HWND filter, UINT filterMin, UINT filterMax, bool remove,
              const std::set<HWND>* skipPaint) {
    State& state = GlobalState();
    std::lock_guard<std::mutex> lock(state.mutex);
    std::thread::id self = std::this_thread::get_id();
    for (auto it = state.posted.begin(); it != state.posted.end(); ++it) {
        if (it->thread != self) continue;
        if (filter && it->msg.hwnd != filter) continue;
        if (!InFilter(it->msg.message, filterMin, filterMax)) continue;
        *out = it->msg;
        if (remove) state.posted.erase(it);
        return true;
    }
    if (!InFilter(WM_PAINT, filterMin, filterMax)) return false;
    for (const auto& entry : state.windows) {
        const Window& window = *entry.second;
        if (window.thread != self || window.destroying || !window.updatePending) continue;
        if (!(window.style & WS_VISIBLE)) continue;
        if (filter && window.handle != filter) continue;
        if (skipPaint && skipPaint->count(window.handle)) continue;
        *out = MSG{window.handle, WM_PAINT, 0, 0, 0, {0, 0}};
        return true;  // the paint stays pending until BeginPaint validates the window
    }
    return false;
}

}  // namespace

extern "C" {

LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcedure(window, message, wParam, lParam);
}

BOOL WINAPI PostMessageA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    State& state = GlobalState();
    std::lock_guard<std::mutex> lock(state.mutex);
    std::thread::id thread = std::this_thread::get_id();
    if (handle) {
        auto window = FindWindowLocked(handle);
        if (!window || window->destroying) return FALSE;
        thread = window->thread;
    }
    state.posted.push_back({thread, MSG{handle, message, wParam, lParam, 0, {0, 0}}});
    return TRUE;
}

BOOL WINAPI PeekMessageA(MSG* message, HWND window, UINT filterMin, UINT filterMax, UINT remove) {
    if (!message) return FALSE;
    return Retrieve(message, window, filterMin, filterMax, (remove & PM_REMOVE) != 0, nullptr)
               ? TRUE : FALSE;
}

BOOL WINAPI TranslateMessage(const MSG*) {
    return FALSE;  // no keyboard input, so nothing to translate
}

LRESULT WINAPI DispatchMessageA(const MSG* message) {
    if (!message || !message->hwnd) return 0;
    return CallWindowProcedure(message->hwnd, message->message, message->wParam, message->lParam);
}

LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_NCCREATE:
            return TRUE;  // creation goes on
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        case WM_ERASEBKGND: {
            HBRUSH background = nullptr;
            {
                State& state = GlobalState();
                std::lock_guard<std::mutex> lock(state.mutex);
                auto found = FindWindowLocked(window);
                if (!found) return 0;
                background = found->background;
            }
            return FillWithStockBrush(reinterpret_cast<HDC>(wParam), background) ? 1 : 0;
        }
        case WM_PAINT: {
            PAINTSTRUCT paint{};
            if (BeginPaint(window, &paint)) EndPaint(window, &paint);
            return 0;
        }
        default:
            return 0;
    }
}

int LumoStandinDeliverMessages(void) {
    // Each window is painted at most once per call, so a procedure that never validates its
    // window cannot keep this loop busy; the cap stops messages that post themselves again.
    constexpr int kMaxMessages = 100000;
    std::set<HWND> painted;
    int delivered = 0;
    MSG message{};
    while (delivered < kMaxMessages && Retrieve(&message, nullptr, 0, 0, true, &painted)) {
        if (message.message == WM_PAINT) painted.insert(message.hwnd);
        DispatchMessageA(&message);
        ++delivered;
    }
    return delivered;
}

}  // extern "C"
