// Flush-to-zero and denormals-are-zero for the span of one audio call. A band decaying on
// silence otherwise spends a long time on denormal numbers, which x86 cores handle many times
// slower than normal ones. The caller's control word comes back on destruction. Where the caller
// runs with both already set (most audio hosts do), MXCSR is left alone: a write to it costs
// more than a call of a few frames does.
#pragma once

#include <xmmintrin.h>

namespace lumo::engine {

class DenormalsOff {
public:
    DenormalsOff() : saved_(_mm_getcsr()) {
        if ((saved_ & kBoth) != kBoth) _mm_setcsr(saved_ | kBoth);
    }
    ~DenormalsOff() {
        if ((saved_ & kBoth) != kBoth) _mm_setcsr(saved_);
    }
    DenormalsOff(const DenormalsOff&) = delete;
    DenormalsOff& operator=(const DenormalsOff&) = delete;

    static constexpr unsigned kFlushToZero = 0x8000;      // MXCSR bit 15
    static constexpr unsigned kDenormalsAreZero = 0x0040;  // MXCSR bit 6
    static constexpr unsigned kBoth = kFlushToZero | kDenormalsAreZero;

private:
    unsigned saved_;
};

}  // namespace lumo::engine
