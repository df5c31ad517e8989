// Hands computed curves from whichever thread computes them (the audio thread through
// ApplyParameters, the UI thread through the Graph command) to the thread that paints the graph
// window, without a lock and without the painter ever seeing a half-written curve.
//
// Writers are serialised by a try-flag that nobody waits for: a writer that finds it taken skips
// its computation (the audio thread then keeps its refresh pending for the next parameter call).
// The writer that holds the flag fills the back buffer and swaps it with the middle one; the
// painter swaps the middle buffer with its front one when a fresh curve is there. Each of the
// three buffers belongs to exactly one party at any moment.
#pragma once

#include <atomic>

#include "graph/CurvePoint.h"
#include "shell/Win32.h"

namespace lumo {

struct CurveSnapshot {
    CurvePoint points[kCurveSlots];
    int pointCount;  // curve points between the two anchors
};

class CurveMailbox {
public:
    CurveMailbox();
    CurveMailbox(const CurveMailbox&) = delete;
    CurveMailbox& operator=(const CurveMailbox&) = delete;

    // Writer side. TryBeginWrite never waits; after it returns true, BackBuffer may be filled and
    // EndWrite must follow, publishing the buffer when publish is true.
    bool TryBeginWrite();
    CurveSnapshot& BackBuffer() { return buffers_[back_]; }
    void EndWrite(bool publish);

    // Painter side, one painting thread at a time: the newest published curve, or the one it
    // already had (all points at (0, 0) before the first publication). Valid until the next call.
    const CurveSnapshot& Latest();

    // The graph window as threads other than the window's own see it (null while none exists).
    std::atomic<HWND> window{nullptr};

private:
    static constexpr unsigned kFreshBit = 4;
    static constexpr unsigned kIndexMask = 3;

    CurveSnapshot buffers_[3];
    int back_ = 0;                    // owned by the holder of writing_
    int front_ = 1;                   // owned by the painter
    std::atomic<unsigned> middle_{2};  // index, plus kFreshBit while the painter has not taken it
    std::atomic<bool> writing_{false};
};

}  // namespace lumo
