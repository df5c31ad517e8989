// What a host process sets up once for all its machines: GDI+ (the plug-ins paint with it but
// never start it), the host's main window (owner of the machines' windows) and the message pump.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lumo::host {

// Process-wide; created on first use, on the thread that will pump messages.
class HostEnvironment {
public:
    static HostEnvironment& Instance();

    // The host's main window (an HWND), or null if it could not be created.
    void* MainWindow() const { return mainWindow_; }
    bool GdiplusStarted() const { return gdiplusStarted_; }

    // Delivers every pending message of this thread (paints among them); returns how many.
    int PumpMessages();

    HostEnvironment(const HostEnvironment&) = delete;
    HostEnvironment& operator=(const HostEnvironment&) = delete;

private:
    HostEnvironment();
    ~HostEnvironment();

    void* mainWindow_ = nullptr;
    bool gdiplusStarted_ = false;
    uintptr_t gdiplusToken_ = 0;
};

// The live top-level windows that owner owns: the windows a host's machines opened, when owner
// is the host's main window, which they take for their owner.
std::vector<void*> OwnedWindows(void* owner);

struct WindowGeometry {
    int x = 0, y = 0, width = 0, height = 0;  // outer rectangle
    int clientWidth = 0, clientHeight = 0;
    bool visible = false;
    void* owner = nullptr;
    std::string caption;
};

// Throws HostError if window is not a live window.
WindowGeometry GetWindowGeometry(void* window);

// Sizes the window so that its client area is clientWidth x clientHeight, keeping its position.
void SetClientSize(void* window, int clientWidth, int clientHeight);

// Saves the window's painted client area as a PNG file. Throws HostError on failure.
void SaveClientPng(void* window, const std::string& path);

}  // namespace lumo::host
