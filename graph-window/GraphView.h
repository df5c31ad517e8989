// The response graph of one machine: its tool window (handle, geometry bookkeeping, open and
// hidden states), the curve computed from the engine's published coefficients and handed to the
// painter, and the painting. The machine owns one and forwards the Graph command, the host's hide
// request, Initialise's geometry and SaveState to it.
//
// Threads: the window, its geometry and its messages belong to the thread that opened it (the
// host's UI thread). MarkCurveDirty and RefreshCurve run inside the machine's ApplyParameters,
// possibly on the audio thread; the curve reaches the painter through a TripleBuffer, and at most
// one thread computes a curve at a time (the other skips rather than waits).
#pragma once

#include <atomic>

#include "engine/CoefficientSnapshot.h"
#include "engine/TripleBuffer.h"
#include "graph/CurvePoint.h"
#include "graph-window/Win32.h"

namespace lumo::graph {

// What the graph asks of the machine that holds it.
class GraphHost {
public:
    // When the window is created: its caption, and the owner window (may be null).
    virtual const char* WindowTitle() = 0;
    virtual HWND OwnerWindow() = 0;
    // While a curve is computed: the coefficients to evaluate and the sample rate now.
    virtual const engine::CoefficientSnapshot& Coefficients() = 0;
    virtual int SampleRateHz() = 0;

protected:
    ~GraphHost() = default;
};

// The window's outer rectangle in screen coordinates, as window creation takes it.
struct WindowGeometry {
    int x;
    int y;
    int width;
    int height;
};

class GraphView {
public:
    GraphView(const char* windowClassName, GraphHost& host);
    ~GraphView();  // destroys the window first; its WM_DESTROY still reaches this view
    GraphView(const GraphView&) = delete;
    GraphView& operator=(const GraphView&) = delete;

    // The machine's Initialise, with the saved geometry and open state (or the defaults when the
    // song holds none): the curve is out of date, the host's hide forgotten, and the window opens
    // if it was saved open, showing the curve as it stands; the next RefreshCurve computes it.
    void Initialise(const WindowGeometry& geometry, bool open);

    // The Graph command: computes the curve, then opens the window or re-shows it (moving it back
    // to the default geometry when it lies off the primary screen).
    void ShowGraph();
    // The host's request: true closes the window for a while, false reopens it where it was.
    void HideByHost(bool hide);

    // A parameter changed: the curve may no longer match the coefficients.
    void MarkCurveDirty() { curveDirty_ = true; }
    // End of a parameter call: recomputes the curve and invalidates the window when the curve is
    // out of date and a window exists; otherwise the curve stays out of date.
    void RefreshCurve();

    // What SaveState writes: the geometry as it stands, and whether a window is open.
    WindowGeometry Geometry() const { return geometry_; }
    bool IsOpen() const { return open_; }

    HWND Window() const { return window_; }
    bool IsHiddenByHost() const { return hiddenByHost_; }
    int ClientWidth() const { return clientWidth_; }
    int ClientHeight() const { return clientHeight_; }
    // The newest computed curve, as the painter reads it (the painting thread only).
    const Curve& LatestCurve() { return curves_.Latest(); }

    // The window procedure's share, for the window's own messages.
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    void OpenWindow();
    bool ComputeAndPublishCurve();
    void Forget();

    GraphHost& host_;
    const char* windowClassName_;

    bool curveDirty_ = true;
    engine::TripleBuffer<Curve> curves_;
    std::atomic<HWND> publishedWindow_{nullptr};  // the window as other threads see it

    HWND window_ = nullptr;
    int clientWidth_ = 0;
    int clientHeight_ = 0;
    WindowGeometry geometry_;
    int clientOriginX_ = 0;
    int clientOriginY_ = 0;
    bool open_ = false;
    bool hiddenByHost_ = false;
};

// The class is registered under the module that holds the window procedure, so a class never
// points at the code of an unloaded module; the module unregisters it when it is unloaded.
void UnregisterGraphWindowClass(const char* windowClassName);

}  // namespace lumo::graph
