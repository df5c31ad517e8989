// The graph window as a user sees it, on the platform stand-in or on real Win32 (Desktop.h): a
// shown host main window that owns it and has the focus, message pumping, and the window's
// rectangles.
#pragma once

#include <gtest/gtest.h>

#include "Desktop.h"
#include "GraphHarness.h"

namespace lumo::graphtest {

// Away from where the tests put graph windows, so that it never covers one.
inline HWND CreateHostMainWindow() {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "LumoGraphTestHostMain";
    RegisterClassExA(&windowClass);  // once per process; later registrations fail harmlessly
    return CreateWindowExA(0, "LumoGraphTestHostMain", "host", WS_CAPTION | WS_THICKFRAME, 850, 650,
                           400, 300, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

inline desktop::WindowInfo WindowInfo(HWND window) {
    desktop::WindowInfo info;
    EXPECT_TRUE(desktop::GetInfo(window, &info));
    return info;
}

inline Rect OuterRect(HWND window) { return WindowInfo(window).outer; }

// The geometry the machine keeps (and saves with the song).
inline Rect FieldsRect(graph::GraphView& view) {
    const graph::WindowGeometry g = view.Geometry();
    return {g.x, g.y, g.width, g.height};
}

class GraphWindowTest : public testing::Test {
protected:
    void SetUp() override {
        hostWindow = CreateHostMainWindow();
        ASSERT_NE(hostWindow, nullptr);
        ShowWindow(hostWindow, SW_SHOW);  // the host has the focus
#ifdef _WIN32
        SetForegroundWindow(hostWindow);
#endif
        desktop::Pump();
        harness.host.ownerWindow = hostWindow;
        liveBefore = desktop::LiveWindowCount();
    }
    void TearDown() override {
        harness.machine.reset();
        desktop::Pump();
        DestroyWindow(hostWindow);
        desktop::Pump();
    }

    // The books the machine keeps agree with the window the user sees.
    void ExpectFieldsFollowWindow() {
        ASSERT_NE(graph().Window(), nullptr);
        const desktop::WindowInfo info = WindowInfo(graph().Window());
        EXPECT_EQ(FieldsRect(graph()), info.outer);
        EXPECT_EQ(graph().ClientWidth(), info.client.width);
        EXPECT_EQ(graph().ClientHeight(), info.client.height);
    }

    HWND OpenByCommand() {
        machine().RunCommand(abi::kCommandGraph);
        desktop::Pump();
        return graph().Window();
    }

    EqualiserMachine& machine() { return *harness.machine; }
    graph::GraphView& graph() { return harness.machine->Graph(); }

    GraphHarness harness;
    HWND hostWindow = nullptr;
    int liveBefore = 0;
};

}  // namespace lumo::graphtest
