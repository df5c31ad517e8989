// A recording window procedure and a window class for the stand-in's tests.
#pragma once

#include <mutex>
#include <vector>

#include "lumo/standin.h"
#include "lumo/win32.h"

// The live windows, oldest first.
inline std::vector<HWND> LiveWindows() {
    std::vector<HWND> windows;
    EnumWindows([](HWND window, LPARAM list) {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// Destroys every window left (the tests' windows are all of their one class).
inline void DestroyAllWindows() {
    for (HWND window : LiveWindows()) DestroyWindow(window);
}

namespace platform_test {

struct Received {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// What the procedure of the test class does besides recording.
struct Behaviour {
    POINT minTrack{0, 0};  // zero: leave the default
    POINT maxTrack{0, 0};
    LRESULT eraseResult = 0;  // returned for WM_ERASEBKGND; 0 passes it on to DefWindowProcA
    void (*onPaint)(HWND) = nullptr;  // replaces the default paint when set
};

std::vector<Received> Log();
std::vector<UINT> Messages(HWND window);
void ClearLog();
Behaviour& CurrentBehaviour();
// lpCreateParams of the last WM_CREATE.
void* LastCreateParams();

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

constexpr const char* kClassName = "LumoPlatformTestClass";
constexpr DWORD kToolStyle = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;

// Registers the test class (once) with a stock black background.
void RegisterTestClass();
HWND CreateToolWindow(int x, int y, int width, int height);

inline int SignedLow(LPARAM value) { return static_cast<short>(LOWORD(value)); }
inline int SignedHigh(LPARAM value) { return static_cast<short>(HIWORD(value)); }

}  // namespace platform_test
