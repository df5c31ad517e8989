// What the desktop and a user do to a window, for tests that run both on the platform stand-in
// (DesktopStandin.cpp) and on real Win32 (DesktopWin32.cpp, under Wine): pumping messages,
// dragging the caption and the borders, pressing the close box, inspecting windows and reading
// the painted client area.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "graph-window/Win32.h"

namespace lumo::graphtest {

struct Rect {
    int x, y, width, height;
    bool operator==(const Rect& other) const {
        return x == other.x && y == other.y && width == other.width && height == other.height;
    }
};

inline std::ostream& operator<<(std::ostream& out, const Rect& r) {
    return out << "(" << r.x << ", " << r.y << ", " << r.width << " x " << r.height << ")";
}

namespace desktop {

// Which borders a resize drag moves: LEFT | TOP is the top-left corner, and so on.
enum Edge { kLeft = 1, kTop = 2, kRight = 4, kBottom = 8 };

struct WindowInfo {
    Rect outer;   // screen coordinates
    Rect client;  // client area, screen coordinates
    bool visible = false;
    bool active = false;  // the foreground window
    HWND owner = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    std::string caption;
    std::string className;
};

// The client area's pixels as last painted, 0xAARRGGBB, row by row.
struct ClientImage {
    int width = 0, height = 0;
    std::vector<uint32_t> argb;
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    uint32_t At(int x, int y) const { return argb[static_cast<size_t>(y) * width + x]; }
};

// Delivers the calling thread's pending messages, paints included, each window painted at most
// once per call; returns how many.
int Pump();

// As a user does with the mouse; each returns false when the window offers no such handle
// (not visible, no caption, no sizing border, no close box) or the gesture could not be made.
bool DragCaption(HWND window, int dx, int dy);
bool DragEdge(HWND window, int edges, int dx, int dy);
bool ClickClose(HWND window);

bool GetInfo(HWND window, WindowInfo* info);
// Top-level windows alive on the calling thread, and the first of them of a class.
int LiveWindowCount();
HWND FindWindowOfClass(const char* className);

// Reads the whole client area as it is shown; false before the window's first paint.
bool CaptureClient(HWND window, ClientImage* image);

}  // namespace desktop
}  // namespace lumo::graphtest
