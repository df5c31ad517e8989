// The engine's floating-point mode for the span of one audio call: flush-to-zero and
// denormals-are-zero (a band decaying on silence otherwise spends a long time on denormal
// numbers, which x86 cores handle many times slower than normal ones), round to nearest and every
// exception masked, whatever the caller runs with, so that the output is the same bits in any
// host. The mode is a constant, so setting it waits for nothing; the caller's control word and
// flags come back on destruction. Where the caller already runs in this mode (most audio hosts
// set flush-to-zero and denormals-are-zero), MXCSR is left alone: a write to it costs more than a
// call of a few frames does.
#pragma once

#include <xmmintrin.h>

namespace lumo::engine {

class DenormalsOff {
public:
    DenormalsOff() : saved_(_mm_getcsr()) {
        if ((saved_ & kControl) != kEngineMode) _mm_setcsr(kEngineMode);
    }
    ~DenormalsOff() {
        if ((saved_ & kControl) != kEngineMode) _mm_setcsr(saved_);
    }
    DenormalsOff(const DenormalsOff&) = delete;
    DenormalsOff& operator=(const DenormalsOff&) = delete;

    static constexpr unsigned kFlushToZero = 0x8000;      // MXCSR bit 15
    static constexpr unsigned kDenormalsAreZero = 0x0040;  // MXCSR bit 6
    static constexpr unsigned kAllExceptionsMasked = 0x1F80;  // bits 7-12; rounding (13-14) nearest
    static constexpr unsigned kEngineMode = kFlushToZero | kDenormalsAreZero | kAllExceptionsMasked;
    static constexpr unsigned kControl = 0xFFC0;  // every bit but the six exception flags

private:
    unsigned saved_;
};

}  // namespace lumo::engine
