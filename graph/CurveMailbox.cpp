#include "graph/CurveMailbox.h"

namespace lumo {

CurveMailbox::CurveMailbox() {
    // Until a curve is published the painter shows every point at (0, 0), as the machine's own
    // array holds after Initialise.
    for (CurveSnapshot& buffer : buffers_) {
        for (CurvePoint& point : buffer.points) point = {0.0f, 0.0f};
        buffer.pointCount = kCurvePointCount;
    }
}

bool CurveMailbox::TryBeginWrite() {
    return !writing_.exchange(true, std::memory_order_acquire);
}

void CurveMailbox::EndWrite(bool publish) {
    if (publish) {
        const unsigned previous =
            middle_.exchange(static_cast<unsigned>(back_) | kFreshBit, std::memory_order_acq_rel);
        back_ = static_cast<int>(previous & kIndexMask);
    }
    writing_.store(false, std::memory_order_release);
}

const CurveSnapshot& CurveMailbox::Latest() {
    if (middle_.load(std::memory_order_relaxed) & kFreshBit) {
        const unsigned previous =
            middle_.exchange(static_cast<unsigned>(front_), std::memory_order_acq_rel);
        front_ = static_cast<int>(previous & kIndexMask);
    }
    return buffers_[front_];
}

}  // namespace lumo
