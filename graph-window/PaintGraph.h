// The graph window's whole paint cycle, from BeginPaint to EndPaint: the picture is drawn into an
// off-screen bitmap of the client size and copied onto the window in one call.
#pragma once

#include "graph/CurvePoint.h"
#include "graph-window/Win32.h"

namespace lumo::graph {

// Paints `curve` (slots 0 to kCurvePointCount + 1) over the grid into window, whose client area is
// clientWidth x clientHeight as last reported. A client area with no room for the plot gets
// only the background. The host process must have started GDI+.
void PaintGraph(HWND window, int clientWidth, int clientHeight, const Curve& curve);

}  // namespace lumo::graph
