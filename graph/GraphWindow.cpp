// The graph window: its class, creation, re-showing and the host's hide and restore.
#include "graph/GraphWindow.h"

#include "shell/EqualiserMachine.h"

namespace lumo {
namespace {

constexpr int kDefaultX = 0;
constexpr int kDefaultY = 0;
constexpr int kDefaultWidth = 406;
constexpr int kDefaultHeight = 232;

#ifndef _WIN32
// A shared object has no DllMain: its static destructors run when it is unloaded.
struct UnregisterAtUnload {
    ~UnregisterAtUnload() { UnregisterGraphWindowClass(); }
} gUnregisterAtUnload;
#endif

}  // namespace

HINSTANCE GraphModuleInstance() {
#ifdef _WIN32
    HMODULE module = nullptr;
    if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                               GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCSTR>(&GraphWindowProc), &module))
        return module;
#endif
    return GetModuleHandleA(nullptr);
}

void RegisterGraphWindowClass() {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(WNDCLASSEXA);
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    windowClass.lpfnWndProc = GraphWindowProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = GraphModuleInstance();
    windowClass.hIcon = nullptr;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = layout::kWindowClassName;
    windowClass.hIconSm = nullptr;
    RegisterClassExA(&windowClass);
}

void UnregisterGraphWindowClass() {
    UnregisterClassA(layout::kWindowClassName, GraphModuleInstance());
}

void EqualiserMachine::OpenGraphWindow() {
    if (graphWindow != nullptr) {
        // Re-show, first bringing back a window that lies off the primary screen.
        const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
        const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
        if (windowX >= screenWidth || windowY >= screenHeight || windowY < 0 ||
            windowX + windowWidth <= 1)
            MoveWindow(graphWindow, kDefaultX, kDefaultY, kDefaultWidth, kDefaultHeight, TRUE);
        ShowWindow(graphWindow, SW_SHOW);
        BringWindowToTop(graphWindow);
        return;
    }

    RegisterGraphWindowClass();
    const char* title = callbacks->MachineTitle(hostHandle);
    const HWND window =
        CreateWindowExA(WS_EX_TOOLWINDOW, layout::kWindowClassName, title,
                        WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, windowX, windowY, windowWidth,
                        windowHeight, nullptr, nullptr, GraphModuleInstance(), nullptr);
    graphWindow = window;
    if (window == nullptr) return;

    // From here on the window procedure keeps this machine's books.
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrA(window, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(callbacks->HostWindow()));

    RECT client;
    if (GetClientRect(window, &client)) {
        clientWidth = client.right - client.left;
        clientHeight = client.bottom - client.top;
    }
    POINT origin = {0, 0};
    if (ClientToScreen(window, &origin)) {
        clientOriginX = origin.x;
        clientOriginY = origin.y;
    }
    curveMailbox.window.store(window, std::memory_order_release);

    ShowWindow(window, SW_SHOWNA);  // the host keeps the focus
    graphOpen = true;
}

void EqualiserMachine::HideGraphWindow(bool hide) {
    if (hide) {
        if (graphWindow == nullptr) return;
        graphHiddenByHost = true;
        DestroyWindow(graphWindow);  // WM_DESTROY clears graphWindow and graphOpen
        graphOpen = false;
    } else if (graphHiddenByHost) {
        graphHiddenByHost = false;
        OpenGraphWindow();  // anew, at the geometry kept in the fields
    }
}

}  // namespace lumo
