// The stand-in's extra interface for hosts and tests: what a user or the desktop would do.
// Messages are delivered synchronously like Win32's SendMessage; paints wait in a queue until
// a host pumps them (PeekMessageA/DispatchMessageA, or LumoStandinDeliverMessages).
#pragma once

#include "win32.h"

extern "C" {

// The fixed screen the stand-in reports through GetSystemMetrics.
constexpr int kLumoStandinScreenWidth = 1920;
constexpr int kLumoStandinScreenHeight = 1080;

// Frame sizes the stand-in gives a window with WS_CAPTION | WS_THICKFRAME (and tool-window style):
// client = outer minus these borders: the border on the left, right and bottom, border plus
// caption at the top. (A caption without a sizing border has a 3-pixel border instead.)
constexpr int kLumoStandinFrameBorder = 8;
constexpr int kLumoStandinCaptionHeight = 23;

struct LumoStandinWindowInfo {
    RECT windowRect;       // outer rectangle, screen coordinates
    RECT clientRect;       // client rectangle, screen coordinates
    BOOL visible;
    BOOL active;           // took the focus when shown
    HWND owner;
    DWORD style;
    DWORD exStyle;
    char caption[256];
    char className[256];
};

// Delivers every pending message of the calling thread's windows (paints of invalidated visible
// windows among them, each window painted at most once per call); returns how many. As on Win32,
// a window's messages are retrieved only by the thread that created it.
int LumoStandinDeliverMessages(void);

// Makes the next count calls of CreateWindowExA fail (null, no messages), as when the system is
// out of resources.
void LumoStandinFailWindowCreations(int count);

// As a user would: drag the caption by (dx, dy); drag a border or corner; press the close box.
// edge: a combination of the LUMO_EDGE_* bits (LEFT|TOP for the top-left corner, ...).
enum { LUMO_EDGE_LEFT = 1, LUMO_EDGE_TOP = 2, LUMO_EDGE_RIGHT = 4, LUMO_EDGE_BOTTOM = 8 };
BOOL LumoStandinDragCaption(HWND window, int dx, int dy);
BOOL LumoStandinDragEdge(HWND window, int edge, int dx, int dy);
BOOL LumoStandinClickClose(HWND window);

// Inspection (EnumWindows lists the live windows).
BOOL LumoStandinGetWindowInfo(HWND window, LumoStandinWindowInfo* info);

// Client area as last painted, as a PNG file; false when the window has never been painted.
BOOL LumoStandinSaveClientPng(HWND window, const char* path);
// Reads one painted client pixel as 0xAARRGGBB; false outside the client area or before a paint.
BOOL LumoStandinClientPixel(HWND window, int x, int y, DWORD* argb);

// Message boxes shown so far (recorded, never displayed): count, and the i-th caption and text.
int LumoStandinMessageBoxCount(void);
const char* LumoStandinMessageBoxCaption(int index);
const char* LumoStandinMessageBoxText(int index);
UINT LumoStandinMessageBoxStyle(int index);
void LumoStandinClearMessageBoxes(void);

}  // extern "C"
