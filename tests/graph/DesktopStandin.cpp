// The desktop of the platform stand-in: its own user gestures and inspection calls.
#include <lumo/standin.h>
#include <strings.h>

#include <vector>

#include "Desktop.h"
#include "tests/platform/TestWindow.h"

namespace lumo::graphtest::desktop {
namespace {

Rect FromRect(const RECT& r) { return {r.left, r.top, r.right - r.left, r.bottom - r.top}; }

}  // namespace

int Pump() { return LumoStandinDeliverMessages(); }

bool DragCaption(HWND window, int dx, int dy) {
    return LumoStandinDragCaption(window, dx, dy) != FALSE;
}

bool DragEdge(HWND window, int edges, int dx, int dy) {
    int standinEdges = 0;
    if (edges & kLeft) standinEdges |= LUMO_EDGE_LEFT;
    if (edges & kTop) standinEdges |= LUMO_EDGE_TOP;
    if (edges & kRight) standinEdges |= LUMO_EDGE_RIGHT;
    if (edges & kBottom) standinEdges |= LUMO_EDGE_BOTTOM;
    return LumoStandinDragEdge(window, standinEdges, dx, dy) != FALSE;
}

bool ClickClose(HWND window) { return LumoStandinClickClose(window) != FALSE; }

bool GetInfo(HWND window, WindowInfo* info) {
    LumoStandinWindowInfo standin = {};
    if (!LumoStandinGetWindowInfo(window, &standin)) return false;
    info->outer = FromRect(standin.windowRect);
    info->client = FromRect(standin.clientRect);
    info->visible = standin.visible != FALSE;
    info->active = standin.active != FALSE;
    info->owner = standin.owner;
    info->style = standin.style;
    info->exStyle = standin.exStyle;
    info->caption = standin.caption;
    info->className = standin.className;
    return true;
}

int LiveWindowCount() { return static_cast<int>(LiveWindows().size()); }

HWND FindWindowOfClass(const char* className) {
    for (HWND window : LiveWindows()) {
        LumoStandinWindowInfo info = {};
        if (LumoStandinGetWindowInfo(window, &info) && strcasecmp(info.className, className) == 0)
            return window;
    }
    return nullptr;
}

bool CaptureClient(HWND window, ClientImage* image) {
    WindowInfo info;
    if (!GetInfo(window, &info)) return false;
    image->width = info.client.width;
    image->height = info.client.height;
    image->argb.assign(static_cast<size_t>(image->width) * image->height, 0);
    for (int y = 0; y < image->height; ++y)
        for (int x = 0; x < image->width; ++x) {
            DWORD argb = 0;
            if (!LumoStandinClientPixel(window, x, y, &argb)) return false;
            image->argb[static_cast<size_t>(y) * image->width + x] = argb;
        }
    return true;
}

}  // namespace lumo::graphtest::desktop
