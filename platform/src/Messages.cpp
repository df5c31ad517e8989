// Sent messages, the per-thread queue of generated paints, and the default window procedure.
#include <set>

#include "StandinState.h"

using namespace lumo::standin;

namespace {

bool InFilter(UINT message, UINT filterMin, UINT filterMax) {
    if (filterMin == 0 && filterMax == 0) return true;
    return message >= filterMin && message <= filterMax;
}

// A paint for an invalidated visible window of this thread (nothing is ever posted, so the
// queue holds only the paints Win32 generates). Windows in skipPaint get no paint.
bool Retrieve(MSG* out, HWND filter, UINT filterMin, UINT filterMax,
              const std::set<HWND>* skipPaint) {
    if (!InFilter(WM_PAINT, filterMin, filterMax)) return false;
    State& state = GlobalState();
    std::lock_guard<std::mutex> lock(state.mutex);
    std::thread::id self = std::this_thread::get_id();
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

BOOL WINAPI PeekMessageA(MSG* message, HWND window, UINT filterMin, UINT filterMax, UINT remove) {
    if (!message) return FALSE;
    (void)remove;  // a paint stays pending until BeginPaint validates the window either way
    return Retrieve(message, window, filterMin, filterMax, nullptr) ? TRUE : FALSE;
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
    // window cannot keep this loop busy; the cap is a last guard.
    constexpr int kMaxMessages = 100000;
    std::set<HWND> painted;
    int delivered = 0;
    MSG message{};
    while (delivered < kMaxMessages && Retrieve(&message, nullptr, 0, 0, &painted)) {
        if (message.message == WM_PAINT) painted.insert(message.hwnd);
        DispatchMessageA(&message);
        ++delivered;
    }
    return delivered;
}

}  // extern "C"
