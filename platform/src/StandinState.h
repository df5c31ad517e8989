// Shared state of the Win32 stand-in: the window classes and the windows, all behind one
// mutex. Window procedures are always called with the mutex released.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "lumo/standin.h"
#include "lumo/win32.h"

namespace lumo::standin {

// Frame of a window with a sizing border or caption, in pixels.
constexpr LONG kThickBorder = kLumoStandinFrameBorder;
constexpr LONG kThinBorder = 3;
constexpr LONG kCaptionHeight = kLumoStandinCaptionHeight;

struct WindowClass {
    std::string name;
    HINSTANCE instance = nullptr;
    UINT style = 0;
    WNDPROC proc = nullptr;
    HBRUSH background = nullptr;
    ATOM atom = 0;
};

struct Window {
    HWND handle = nullptr;
    std::string className;
    HINSTANCE instance = nullptr;
    UINT classStyle = 0;
    WNDPROC proc = nullptr;
    HBRUSH background = nullptr;
    std::thread::id thread;
    DWORD style = 0;
    DWORD exStyle = 0;
    std::string caption;
    HWND owner = nullptr;
    LONG_PTR userData = 0;
    RECT outer{};               // screen coordinates
    bool shownOnce = false;     // the first showing reports size and position again
    bool destroying = false;
    bool updatePending = false;
    bool erasePending = false;
    RECT update{};              // bounding rectangle of the invalid area, client coordinates
    cairo_surface_t* screen = nullptr;  // client area as last painted; owned reference
    ~Window() { if (screen) cairo_surface_destroy(screen); }
};

struct State {
    std::mutex mutex;
    std::map<std::string, WindowClass> classes;  // key: lower-case name + '\n' + instance
    std::map<uintptr_t, std::shared_ptr<Window>> windows;  // ordered by creation
    uintptr_t nextHandle = 0x10010;
    ATOM nextAtom = 0xC000;
    HWND foreground = nullptr;
    int failCreations = 0;
};

State& GlobalState();

// Both require the state's mutex to be held.
std::shared_ptr<Window> FindWindowLocked(HWND window);
RECT ClientRectOnScreen(const Window& window);

std::string LowerCase(const char* text);

// Calls the window's procedure with no lock held; 0 for a dead window.
LRESULT CallWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Asks the window for its tracking limits (WM_GETMINMAXINFO) after filling in the defaults.
MINMAXINFO QueryMinMaxInfo(HWND window);

// Moves and sizes the outer rectangle, then reports the client's move and size as
// WM_WINDOWPOSCHANGED's default handling does: WM_MOVE if the client origin changed, WM_SIZE if
// the client size changed. A size change invalidates the window when repaint is true.
BOOL PlaceWindow(HWND window, RECT outer, bool repaint);

// Marks a window's client area (or a part of it) for painting; requires the mutex.
void InvalidateLocked(Window& window, const RECT* rect, bool erase);

}  // namespace lumo::standin

namespace lumo::standin {
// Fills a paint's device context with a stock brush's colour; false for other brushes.
bool FillWithStockBrush(HDC hdc, HBRUSH brush);
// The colour of a stock brush as 0xAARRGGBB; false when the handle is no stock brush.
bool StockBrushColour(HBRUSH brush, uint32_t* argb);
}  // namespace lumo::standin
