#include "graph-window/GraphView.h"

#include <lumo/abi/GraphWindow.h>

#include "graph/ResponseCurve.h"

namespace lumo::graph {

GraphView::GraphView(const char* windowClassName, GraphHost& host)
    : host_(host),
      windowClassName_(windowClassName),
      geometry_{abi::kGraphWindowDefaultX, abi::kGraphWindowDefaultY,
                abi::kGraphWindowDefaultWidth, abi::kGraphWindowDefaultHeight} {}

GraphView::~GraphView() {
    if (window_ != nullptr) {
        DestroyWindow(window_);
        window_ = nullptr;
    }
}

void GraphView::Initialise(const WindowGeometry& geometry, bool open) {
    hiddenByHost_ = false;
    curveDirty_ = true;
    geometry_ = geometry;
    open_ = open;
    if (open_) OpenWindow();
}

void GraphView::ShowGraph() {
    // When a parameter call is computing the curve right now, its curve comes from the newest
    // coefficients anyway.
    ComputeAndPublishCurve();
    OpenWindow();
}

void GraphView::HideByHost(bool hide) {
    if (hide) {
        if (window_ == nullptr) return;
        hiddenByHost_ = true;
        DestroyWindow(window_);  // WM_DESTROY forgets the window and clears open_
        open_ = false;
    } else if (hiddenByHost_) {
        hiddenByHost_ = false;
        OpenWindow();  // anew, at the geometry kept
    }
}

void GraphView::RefreshCurve() {
    if (!curveDirty_) return;
    // The window as the window's thread published it: this may run on the audio thread.
    const HWND window = publishedWindow_.load(std::memory_order_acquire);
    if (window == nullptr) return;
    // If the Graph command is computing the curve now, the refresh stays pending.
    if (!ComputeAndPublishCurve()) return;
    InvalidateRect(window, nullptr, FALSE);
    curveDirty_ = false;
}

bool GraphView::ComputeAndPublishCurve() {
    if (!curves_.TryBeginWrite()) return false;
    Curve& curve = curves_.BackBuffer();
    // Reading the coefficients while holding the curve's write flag keeps their readers one at a
    // time.
    ComputeCurve(host_.Coefficients(), host_.SampleRateHz(), curve);
    curves_.EndWrite(true);
    return true;
}

}  // namespace lumo::graph
