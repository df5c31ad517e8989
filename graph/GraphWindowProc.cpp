// The graph window's procedure: keeps the machine's geometry fields current and paints.
#include "graph/GraphWindow.h"

#include "shell/EqualiserMachine.h"

namespace lumo {
namespace {

constexpr int kMinTrackWidth = 300;
constexpr int kMinTrackHeight = 200;
constexpr int kMaxTrackWidth = 600;
constexpr int kMaxTrackHeight = 400;

// The low and high 16 bits of lParam, each as a signed value (screen positions can be negative).
int LowSigned(LPARAM lParam) { return static_cast<short>(LOWORD(lParam)); }
int HighSigned(LPARAM lParam) { return static_cast<short>(HIWORD(lParam)); }

}  // namespace

LRESULT CALLBACK GraphWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Null for the messages sent during CreateWindowExA, before the machine is attached.
    auto* machine = reinterpret_cast<EqualiserMachine*>(GetWindowLongPtrA(window, GWLP_USERDATA));

    switch (message) {
    case WM_DESTROY:
    case WM_CLOSE:
    case WM_QUIT:
        if (machine != nullptr) {
            machine->graphOpen = false;
            machine->graphWindow = nullptr;
            machine->curveMailbox.window.store(nullptr, std::memory_order_release);
        }
        break;

    case WM_MOVE:
        // The frame keeps its size, so the outer rectangle moves exactly as the client area.
        if (machine != nullptr) {
            const int x = LowSigned(lParam);
            const int y = HighSigned(lParam);
            machine->windowX += x - machine->clientOriginX;
            machine->windowY += y - machine->clientOriginY;
            machine->clientOriginX = x;
            machine->clientOriginY = y;
        }
        break;

    case WM_SIZE:
        if (machine != nullptr) {
            const int width = LowSigned(lParam);
            const int height = HighSigned(lParam);
            machine->windowWidth += width - machine->clientWidth;
            machine->windowHeight += height - machine->clientHeight;
            machine->clientWidth = width;
            machine->clientHeight = height;
        }
        break;

    case WM_PAINT:
        if (machine != nullptr) {
            machine->PaintGraph();
            return 0;
        }
        break;

    case WM_ERASEBKGND:
        return 1;  // the painter covers every pixel of the client area

    case WM_GETMINMAXINFO: {
        // Also during creation, before the machine is attached.
        auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
        if (limits == nullptr) break;
        limits->ptMinTrackSize.x = kMinTrackWidth;
        limits->ptMinTrackSize.y = kMinTrackHeight;
        limits->ptMaxTrackSize.x = kMaxTrackWidth;
        limits->ptMaxTrackSize.y = kMaxTrackHeight;
        break;
    }

    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace lumo
