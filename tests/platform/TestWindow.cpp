#include "TestWindow.h"

namespace platform_test {
namespace {
std::mutex logMutex;
std::vector<Received> received;
Behaviour behaviour;
void* lastCreateParams = nullptr;
}  // namespace

std::vector<Received> Log() {
    std::lock_guard<std::mutex> lock(logMutex);
    return received;
}

std::vector<UINT> Messages(HWND window) {
    std::vector<UINT> messages;
    for (const Received& entry : Log()) {
        if (entry.window == window) messages.push_back(entry.message);
    }
    return messages;
}

void ClearLog() {
    std::lock_guard<std::mutex> lock(logMutex);
    received.clear();
}

Behaviour& CurrentBehaviour() { return behaviour; }

void* LastCreateParams() { return lastCreateParams; }

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    {
        std::lock_guard<std::mutex> lock(logMutex);
        received.push_back({window, message, wParam, lParam});
    }
    switch (message) {
        case WM_CREATE:
            lastCreateParams = reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams;
            break;
        case WM_GETMINMAXINFO: {
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            if (behaviour.minTrack.x) info->ptMinTrackSize = behaviour.minTrack;
            if (behaviour.maxTrack.x) info->ptMaxTrackSize = behaviour.maxTrack;
            return 0;
        }
        case WM_ERASEBKGND:
            if (behaviour.eraseResult) return behaviour.eraseResult;
            break;
        case WM_PAINT:
            if (behaviour.onPaint) {
                behaviour.onPaint(window);
                return 0;
            }
            break;
        default:
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterTestClass() {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    windowClass.lpfnWndProc = RecordingProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kClassName;
    RegisterClassExA(&windowClass);
}

HWND CreateToolWindow(int x, int y, int width, int height) {
    RegisterTestClass();
    return CreateWindowExA(WS_EX_TOOLWINDOW, kClassName, "Graph", kToolStyle, x, y, width, height,
                           nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

}  // namespace platform_test

// fontconfig keeps its parsed configuration and cairo's font patterns for the life of the
// process; LeakSanitizer would report those as leaks of every program that draws text.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
