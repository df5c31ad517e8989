// The graph window: its class, creation, re-showing, and the procedure that keeps the geometry
// books while the user moves and sizes it.
#include <lumo/abi/GraphWindow.h>

#include "graph-window/GraphView.h"
#include "graph-window/PaintGraph.h"

namespace lumo::graph {
namespace {

LRESULT CALLBACK GraphWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) return 1;  // the painter covers every pixel of the client area
    if (message == WM_GETMINMAXINFO) {
        // Also during creation, before the view is attached.
        auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
        if (limits != nullptr) {
            limits->ptMinTrackSize = {abi::kGraphWindowMinWidth, abi::kGraphWindowMinHeight};
            limits->ptMaxTrackSize = {abi::kGraphWindowMaxWidth, abi::kGraphWindowMaxHeight};
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
    // Null for the messages sent during CreateWindowExA, before the view is attached.
    auto* view = reinterpret_cast<GraphView*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (view != nullptr) return view->HandleMessage(window, message, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

// The module that holds GraphWindowProc.
HINSTANCE GraphModule() {
#ifdef _WIN32
    HMODULE module = nullptr;
    if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                               GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCSTR>(&GraphWindowProc), &module))
        return module;
#endif
    return GetModuleHandleA(nullptr);
}

// Fails harmlessly when this module registered the class before.
void RegisterGraphWindowClass(const char* className) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(WNDCLASSEXA);
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    windowClass.lpfnWndProc = GraphWindowProc;
    windowClass.hInstance = GraphModule();
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = className;
    RegisterClassExA(&windowClass);
}

// The low and high 16 bits of lParam, each as a signed value (screen positions can be negative).
int LowSigned(LPARAM lParam) { return static_cast<short>(LOWORD(lParam)); }
int HighSigned(LPARAM lParam) { return static_cast<short>(HIWORD(lParam)); }

}  // namespace

void UnregisterGraphWindowClass(const char* windowClassName) {
    UnregisterClassA(windowClassName, GraphModule());
}

void GraphView::OpenWindow() {
    if (window_ != nullptr) {
        // Re-show, first bringing back a window that lies off the primary screen. The move's
        // WM_MOVE and WM_SIZE bring the geometry to the new rectangle.
        const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
        const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
        if (geometry_.x >= screenWidth || geometry_.y >= screenHeight || geometry_.y < 0 ||
            geometry_.x + geometry_.width <= 1)
            MoveWindow(window_, abi::kGraphWindowDefaultX, abi::kGraphWindowDefaultY,
                       abi::kGraphWindowDefaultWidth, abi::kGraphWindowDefaultHeight, TRUE);
        ShowWindow(window_, SW_SHOW);
        BringWindowToTop(window_);
        return;
    }

    RegisterGraphWindowClass(windowClassName_);
    const HWND window = CreateWindowExA(
        WS_EX_TOOLWINDOW, windowClassName_, host_.WindowTitle(), WS_CAPTION | WS_SYSMENU | WS_THICKFRAME,
        geometry_.x, geometry_.y, geometry_.width, geometry_.height, nullptr, nullptr, GraphModule(),
        nullptr);
    window_ = window;
    if (window == nullptr) return;  // no window; open_ keeps its value

    // From here on the window procedure keeps this view's books.
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrA(window, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(host_.OwnerWindow()));

    // Recorded before the first showing, so the move and size messages it brings add nothing.
    RECT client;
    if (GetClientRect(window, &client)) {
        clientWidth_ = client.right - client.left;
        clientHeight_ = client.bottom - client.top;
    }
    POINT origin = {0, 0};
    if (ClientToScreen(window, &origin)) {
        clientOriginX_ = origin.x;
        clientOriginY_ = origin.y;
    }
    publishedWindow_.store(window, std::memory_order_release);

    ShowWindow(window, SW_SHOWNA);  // the host keeps the focus
    open_ = true;
}

void GraphView::Forget() {
    open_ = false;
    window_ = nullptr;
    publishedWindow_.store(nullptr, std::memory_order_release);
}

// The window procedure answers WM_ERASEBKGND and WM_GETMINMAXINFO itself.
LRESULT GraphView::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
    case WM_CLOSE:  // DefWindowProcA destroys the window; its WM_DESTROY forgets it again
        Forget();
        break;

    case WM_MOVE: {
        // The frame keeps its size, so the outer rectangle moves exactly as the client area.
        const int x = LowSigned(lParam);
        const int y = HighSigned(lParam);
        geometry_.x += x - clientOriginX_;
        geometry_.y += y - clientOriginY_;
        clientOriginX_ = x;
        clientOriginY_ = y;
        break;
    }

    case WM_SIZE: {
        const int width = LowSigned(lParam);
        const int height = HighSigned(lParam);
        geometry_.width += width - clientWidth_;
        geometry_.height += height - clientHeight_;
        clientWidth_ = width;
        clientHeight_ = height;
        break;
    }

    case WM_PAINT:
        // The newest published curve, whole, whatever thread is computing the next one.
        PaintGraph(window_, clientWidth_, clientHeight_, curves_.Latest());
        return 0;

    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace lumo::graph
