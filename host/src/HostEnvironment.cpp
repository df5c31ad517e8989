#include "lumo/host/HostEnvironment.h"

#include <string>

#include "lumo/host/PluginLibrary.h"

#ifdef _WIN32
#include <windows.h>
#include <gdiplus.h>
#else
#include <lumo/gdiplus.h>
#include <lumo/standin.h>
#include <lumo/win32.h>
#endif

namespace lumo::host {
namespace {

constexpr const char* kMainWindowClass = "LumoHostMainWindow";
// A pump that never runs dry (a window invalidating itself on every paint) still returns.
constexpr int kMaxMessagesPerPump = 100000;

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND AsWindow(void* window) { return static_cast<HWND>(window); }

struct OwnerSearch {
    HWND owner;
    std::vector<void*> found;
};

BOOL CALLBACK MatchOwner(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<OwnerSearch*>(context);
    if (reinterpret_cast<HWND>(GetWindowLongPtrA(window, GWLP_HWNDPARENT)) == search->owner)
        search->found.push_back(window);
    return TRUE;
}

#ifdef _WIN32
// The PNG encoder of GDI+.
const CLSID kPngEncoder = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
#endif

}  // namespace

HostEnvironment& HostEnvironment::Instance() {
    static HostEnvironment environment;
    return environment;
}

HostEnvironment::HostEnvironment() {
    ULONG_PTR token = 0;
#ifdef _WIN32
    Gdiplus::GdiplusStartupInput input;
    gdiplusStarted_ = Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
#else
    GdiplusStartupInput input{1, nullptr, FALSE, FALSE};
    gdiplusStarted_ = GdiplusStartup(&token, &input, nullptr) == Ok;
#endif
    gdiplusToken_ = token;

    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kMainWindowClass;
    RegisterClassExA(&windowClass);  // fails harmlessly if already registered
    mainWindow_ = CreateWindowExA(0, kMainWindowClass, "lumo", WS_CAPTION | WS_SYSMENU, 0, 0, 320,
                                  200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

HostEnvironment::~HostEnvironment() {
    // Process exit: the plug-ins' windows are gone with their machines; GDI+ stays up, as
    // shutting it down after static destruction order is unknown would be unsafe.
}

int HostEnvironment::PumpMessages() {
    int delivered = 0;
    MSG message;
    while (delivered < kMaxMessagesPerPump && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
        ++delivered;
    }
    return delivered;
}

std::vector<void*> OwnedWindows(void* owner) {
    OwnerSearch search{AsWindow(owner), {}};
    if (owner != nullptr) EnumWindows(MatchOwner, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

WindowGeometry GetWindowGeometry(void* window) {
    if (window == nullptr || !IsWindow(AsWindow(window))) throw HostError("no such window");
    RECT outer{}, client{};
    if (!GetWindowRect(AsWindow(window), &outer) || !GetClientRect(AsWindow(window), &client))
        throw HostError("cannot read the window's rectangle");
    WindowGeometry geometry;
    geometry.x = outer.left;
    geometry.y = outer.top;
    geometry.width = outer.right - outer.left;
    geometry.height = outer.bottom - outer.top;
    geometry.clientWidth = client.right - client.left;
    geometry.clientHeight = client.bottom - client.top;
    geometry.visible = IsWindowVisible(AsWindow(window)) != FALSE;
    geometry.owner = reinterpret_cast<void*>(GetWindowLongPtrA(AsWindow(window), GWLP_HWNDPARENT));
    char caption[256] = {};
    GetWindowTextA(AsWindow(window), caption, sizeof caption);
    geometry.caption = caption;
    return geometry;
}

void SetClientSize(void* window, int clientWidth, int clientHeight) {
    const WindowGeometry geometry = GetWindowGeometry(window);
    const int frameWidth = geometry.width - geometry.clientWidth;
    const int frameHeight = geometry.height - geometry.clientHeight;
    if (!MoveWindow(AsWindow(window), geometry.x, geometry.y, clientWidth + frameWidth,
                    clientHeight + frameHeight, TRUE))
        throw HostError("cannot resize the window");
}

void SaveClientPng(void* window, const std::string& path) {
#ifdef _WIN32
    const WindowGeometry geometry = GetWindowGeometry(window);
    const int width = geometry.clientWidth;
    const int height = geometry.clientHeight;
    if (width <= 0 || height <= 0) throw HostError("the window has no client area");

    HDC windowDc = GetDC(AsWindow(window));
    HDC memoryDc = CreateCompatibleDC(windowDc);
    HBITMAP bitmap = CreateCompatibleBitmap(windowDc, width, height);
    HGDIOBJ previous = SelectObject(memoryDc, bitmap);
    const BOOL copied = BitBlt(memoryDc, 0, 0, width, height, windowDc, 0, 0, SRCCOPY);
    SelectObject(memoryDc, previous);
    DeleteDC(memoryDc);
    ReleaseDC(AsWindow(window), windowDc);

    Gdiplus::GpStatus status = Gdiplus::GenericError;
    if (copied) {
        Gdiplus::GpBitmap* image = nullptr;
        status = Gdiplus::DllExports::GdipCreateBitmapFromHBITMAP(bitmap, nullptr, &image);
        if (status == Gdiplus::Ok) {
            std::wstring widePath(path.size() + 1, L'\0');
            const int length = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, &widePath[0],
                                                   static_cast<int>(widePath.size()));
            widePath.resize(length > 0 ? length - 1 : 0);
            status = Gdiplus::DllExports::GdipSaveImageToFile(image, widePath.c_str(), &kPngEncoder,
                                                              nullptr);
            Gdiplus::DllExports::GdipDisposeImage(image);
        }
    }
    DeleteObject(bitmap);
    if (!copied) throw HostError("the window's client area cannot be captured");
    if (status != Gdiplus::Ok)
        throw HostError("GDI+ cannot save the image (status " + std::to_string(status) + ")");
#else
    if (window == nullptr || !IsWindow(AsWindow(window))) throw HostError("no such window");
    if (!LumoStandinSaveClientPng(AsWindow(window), path.c_str()))
        throw HostError("cannot write " + path + ": the window was not painted or the file cannot be created");
#endif
}

}  // namespace lumo::host
