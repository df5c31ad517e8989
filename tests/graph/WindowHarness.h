// The graph window as a user sees it through the platform stand-in: a host main window to own
// it, message pumping, and the window's rectangles and painted pixels.
#pragma once

#include <gtest/gtest.h>

#include <lumo/standin.h>

#include "GraphHarness.h"

namespace lumo::graphtest {

inline HWND CreateHostMainWindow() {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "LumoGraphTestHostMain";
    RegisterClassExA(&windowClass);  // once per process; later registrations fail harmlessly
    return CreateWindowExA(0, "LumoGraphTestHostMain", "host", WS_CAPTION | WS_THICKFRAME, 100, 100,
                           800, 600, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

struct Rect {
    int x, y, width, height;
    bool operator==(const Rect& other) const {
        return x == other.x && y == other.y && width == other.width && height == other.height;
    }
};

inline std::ostream& operator<<(std::ostream& out, const Rect& r) {
    return out << "(" << r.x << ", " << r.y << ", " << r.width << " x " << r.height << ")";
}

inline Rect FieldsRect(const EqualiserMachine& machine) {
    return {machine.windowX, machine.windowY, machine.windowWidth, machine.windowHeight};
}

inline LumoStandinWindowInfo WindowInfo(HWND window) {
    LumoStandinWindowInfo info = {};
    EXPECT_TRUE(LumoStandinGetWindowInfo(window, &info));
    return info;
}

inline Rect OuterRect(HWND window) {
    const RECT r = WindowInfo(window).windowRect;
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

class GraphWindowTest : public testing::Test {
protected:
    void SetUp() override {
        hostWindow = CreateHostMainWindow();
        ASSERT_NE(hostWindow, nullptr);
        harness.host.ownerWindow = hostWindow;
        liveBefore = LumoStandinLiveWindowCount();
    }
    void TearDown() override {
        harness.machine.reset();
        LumoStandinDeliverMessages();
        DestroyWindow(hostWindow);
    }

    // The books the machine keeps agree with the window the user sees.
    void ExpectFieldsFollowWindow() {
        ASSERT_NE(machine().graphWindow, nullptr);
        const LumoStandinWindowInfo info = WindowInfo(machine().graphWindow);
        EXPECT_EQ(FieldsRect(machine()), OuterRect(machine().graphWindow));
        EXPECT_EQ(machine().clientWidth, info.clientRect.right - info.clientRect.left);
        EXPECT_EQ(machine().clientHeight, info.clientRect.bottom - info.clientRect.top);
        EXPECT_EQ(machine().clientOriginX, info.clientRect.left);
        EXPECT_EQ(machine().clientOriginY, info.clientRect.top);
    }

    HWND OpenByCommand() {
        machine().RunCommand(1);
        LumoStandinDeliverMessages();
        return machine().graphWindow;
    }

    EqualiserMachine& machine() { return *harness.machine; }

    GraphHarness harness;
    HWND hostWindow = nullptr;
    int liveBefore = 0;
};

}  // namespace lumo::graphtest
