// The desktop of real Win32 (run under Wine): the user's gestures are real mouse input through
// SendInput, so the system's own moving and sizing loops, hit tests and tracking limits apply;
// painted pixels are read back from the window's device context.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <string>

#include "Desktop.h"

namespace lumo::graphtest::desktop {
namespace {

// A pump that never runs dry (a window invalidating itself on every paint) still returns.
constexpr int kMaxMessagesPerPump = 100000;

// The test display has no window manager. Wine hands windows with a caption or a sizing border
// to one and then waits up to two seconds on each hide and destruction for an acknowledgement
// that never comes, so this program's windows are left unmanaged instead (Wine's per-program
// setting, read when the display driver loads with the first window). Their Win32 behaviour
// is the same; Wine draws their frames itself.
const bool gUnmanagedWindows = [] {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    const char* name = path;
    for (DWORD i = 0; i < length; ++i)
        if (path[i] == '\\' || path[i] == '/') name = path + i + 1;
    const std::string key = std::string("Software\\Wine\\AppDefaults\\") + name + "\\X11 Driver";
    HKEY handle = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &handle, nullptr) != ERROR_SUCCESS)
        return false;
    const bool set = RegSetValueExA(handle, "Managed", 0, REG_SZ,
                                    reinterpret_cast<const BYTE*>("N"), 2) == ERROR_SUCCESS;
    RegCloseKey(handle);
    return set;
}();

Rect FromRect(const RECT& r) { return {r.left, r.top, r.right - r.left, r.bottom - r.top}; }

LRESULT HitTest(HWND window, POINT point) {
    return SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y));
}

bool OnScreen(POINT point) {
    return point.x >= 0 && point.y >= 0 && point.x < GetSystemMetrics(SM_CXSCREEN) &&
           point.y < GetSystemMetrics(SM_CYSCREEN);
}

// One mouse event at a screen pixel. Absolute input is given in 1/65536 of the screen; the
// cursor's resulting position is checked and the rounding corrected, so that the event lands on
// exactly that pixel.
bool SendMouse(POINT point, DWORD buttonFlags) {
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    LONG nx = static_cast<LONG>((point.x * 65536LL + screenWidth - 1) / screenWidth);
    LONG ny = static_cast<LONG>((point.y * 65536LL + screenHeight - 1) / screenHeight);
    for (int attempt = 0; attempt < 4; ++attempt) {
        INPUT input = {};
        input.type = INPUT_MOUSE;
        input.mi.dx = nx;
        input.mi.dy = ny;
        input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        if (SendInput(1, &input, sizeof input) != 1) return false;
        POINT cursor = {};
        GetCursorPos(&cursor);
        if (cursor.x == point.x && cursor.y == point.y) {
            if (buttonFlags == 0) return true;
            input.mi.dwFlags = buttonFlags;  // at the cursor's position
            input.mi.dx = input.mi.dy = 0;
            return SendInput(1, &input, sizeof input) == 1;
        }
        nx += (point.x - cursor.x) * 65536 / screenWidth + (point.x > cursor.x ? 1 : -1) * (cursor.x != point.x);
        ny += (point.y - cursor.y) * 65536 / screenHeight + (point.y > cursor.y ? 1 : -1) * (cursor.y != point.y);
    }
    return false;
}

// Press the left button at grab, move to grab + (dx, dy), release. The press reaches the window
// as WM_NCLBUTTONDOWN, whose default handling runs the system's modal moving or sizing loop on
// this thread while Pump dispatches it. The rest of the gesture comes from a second thread, as a
// user's hand would, once that loop holds the mouse capture: input is routed to a window when it
// is queued, so a release outside the window queued before the capture would miss the loop.
bool Drag(HWND window, POINT grab, LRESULT expectedHit, int dx, int dy) {
    const POINT target = {grab.x + dx, grab.y + dy};
    if (!OnScreen(grab) || !OnScreen(target)) return false;  // no user can reach it
    if (HitTest(window, grab) != expectedHit) return false;
    if (!SendMouse(grab, 0) || !SendMouse(grab, MOUSEEVENTF_LEFTDOWN)) return false;

    const DWORD loopThread = GetCurrentThreadId();
    std::atomic<bool> pumped{false}, inLoop{false}, sent{false};
    std::thread hand([&] {
        const DWORD giveUp = GetTickCount() + 5000;
        while (!pumped && GetTickCount() < giveUp) {
            GUITHREADINFO state = {};
            state.cbSize = sizeof state;
            if (GetGUIThreadInfo(loopThread, &state) && (state.flags & GUI_INMOVESIZE)) {
                inLoop = true;
                break;
            }
            Sleep(1);
        }
        const POINT halfway = {grab.x + dx / 2, grab.y + dy / 2};
        sent = SendMouse(halfway, 0) && SendMouse(target, 0);
        SendMouse(target, MOUSEEVENTF_LEFTUP);  // whatever happened, let go of the button
    });
    Pump();
    pumped = true;
    hand.join();
    Pump();
    return inLoop && sent;
}

struct ClassCount {
    const char* className;
    HWND first = nullptr;
    int count = 0;
};

BOOL CALLBACK CountWindow(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<ClassCount*>(context);
    char name[256] = {};
    if (search->className == nullptr ||
        (GetClassNameA(window, name, sizeof name) > 0 && lstrcmpiA(name, search->className) == 0)) {
        if (search->first == nullptr) search->first = window;
        ++search->count;
    }
    return TRUE;
}

}  // namespace

int Pump() {
    int delivered = 0;
    std::vector<HWND> painted;
    MSG message;
    while (delivered < kMaxMessagesPerPump && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        // Each window paints at most once per call, so that a window invalidated from another
        // thread all the time cannot keep the pump from returning. A paint left undispatched
        // stays pending: the window's update region is still there.
        if (message.message == WM_PAINT) {
            if (std::find(painted.begin(), painted.end(), message.hwnd) != painted.end()) break;
            painted.push_back(message.hwnd);
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
        ++delivered;
    }
    return delivered;
}

bool DragCaption(HWND window, int dx, int dy) {
    RECT outer = {}, client = {};
    if (!IsWindowVisible(window) || !GetWindowRect(window, &outer) || !GetClientRect(window, &client))
        return false;
    POINT clientTop = {0, 0};
    ClientToScreen(window, &clientTop);
    // Low in the caption, so that a window dragged partly above the screen keeps it reachable.
    const POINT grab = {(outer.left + outer.right) / 2, clientTop.y - 3};
    return Drag(window, grab, HTCAPTION, dx, dy);
}

bool DragEdge(HWND window, int edges, int dx, int dy) {
    RECT outer = {};
    if (!IsWindowVisible(window) || !GetWindowRect(window, &outer)) return false;
    POINT grab = {(outer.left + outer.right) / 2, (outer.top + outer.bottom) / 2};
    if (edges & kLeft) grab.x = outer.left + 1;
    else if (edges & kRight) grab.x = outer.right - 2;
    if (edges & kTop) grab.y = outer.top + 1;
    else if (edges & kBottom) grab.y = outer.bottom - 2;
    LRESULT hit = HTNOWHERE;
    switch (edges) {
    case kLeft: hit = HTLEFT; break;
    case kRight: hit = HTRIGHT; break;
    case kTop: hit = HTTOP; break;
    case kBottom: hit = HTBOTTOM; break;
    case kLeft | kTop: hit = HTTOPLEFT; break;
    case kRight | kTop: hit = HTTOPRIGHT; break;
    case kLeft | kBottom: hit = HTBOTTOMLEFT; break;
    case kRight | kBottom: hit = HTBOTTOMRIGHT; break;
    default: return false;
    }
    return Drag(window, grab, hit, (edges & (kLeft | kRight)) ? dx : 0,
                (edges & (kTop | kBottom)) ? dy : 0);
}

bool ClickClose(HWND window) {
    RECT outer = {};
    if (!IsWindowVisible(window) || !GetWindowRect(window, &outer)) return false;
    POINT clientTop = {0, 0};
    ClientToScreen(window, &clientTop);
    // The close box sits at the caption's right end; find it by the hit test.
    const int y = (outer.top + clientTop.y) / 2;
    for (int x = outer.right - 1; x > outer.left; --x) {
        const POINT point = {x, y};
        if (HitTest(window, point) != HTCLOSE) continue;
        if (!OnScreen(point)) return false;
        if (!SendMouse(point, 0) || !SendMouse(point, MOUSEEVENTF_LEFTDOWN) ||
            !SendMouse(point, MOUSEEVENTF_LEFTUP))
            return false;
        Pump();
        return true;
    }
    return false;
}

bool GetInfo(HWND window, WindowInfo* info) {
    RECT outer = {}, client = {};
    if (!IsWindow(window) || !GetWindowRect(window, &outer) || !GetClientRect(window, &client))
        return false;
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    info->outer = FromRect(outer);
    info->client = {origin.x, origin.y, client.right - client.left, client.bottom - client.top};
    info->visible = IsWindowVisible(window) != FALSE;
    info->active = GetForegroundWindow() == window;
    info->owner = GetWindow(window, GW_OWNER);
    info->style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
    info->exStyle = static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE));
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    info->caption = text;
    GetClassNameA(window, text, sizeof text);
    info->className = text;
    return true;
}

int LiveWindowCount() {
    ClassCount search{nullptr};
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&search));
    return search.count;
}

HWND FindWindowOfClass(const char* className) {
    ClassCount search{className};
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&search));
    return search.first;
}

bool CaptureClient(HWND window, ClientImage* image) {
    RECT client = {};
    if (!IsWindowVisible(window) || !GetClientRect(window, &client)) return false;
    const int width = client.right - client.left, height = client.bottom - client.top;
    image->width = width;
    image->height = height;
    image->argb.assign(static_cast<size_t>(width) * height, 0);
    if (width <= 0 || height <= 0) return true;

    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height;  // top-down rows
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    HDC windowDc = GetDC(window);
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(windowDc, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memoryDc = CreateCompatibleDC(windowDc);
    const HGDIOBJ previous = SelectObject(memoryDc, section);
    const BOOL copied = BitBlt(memoryDc, 0, 0, width, height, windowDc, 0, 0, SRCCOPY);
    GdiFlush();
    if (copied && bits != nullptr) {
        // The screen has no alpha channel: what is shown is opaque.
        const auto* pixels = static_cast<const uint32_t*>(bits);
        for (size_t i = 0; i < image->argb.size(); ++i) image->argb[i] = pixels[i] | 0xFF000000u;
    }
    SelectObject(memoryDc, previous);
    DeleteDC(memoryDc);
    DeleteObject(section);
    ReleaseDC(window, windowDc);
    return copied && bits != nullptr;
}

}  // namespace lumo::graphtest::desktop
