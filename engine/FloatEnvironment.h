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
    DenormalsOff() : DenormalsOff(_mm_getcsr()) {}
    // `callerCsr`: MXCSR as the caller runs it, read just before.
    explicit DenormalsOff(unsigned callerCsr) : saved_(callerCsr) {
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

    // True for a caller that rounds to nearest with every exception masked, denormals-are-zero
    // off, its inexact flag already raised and its underflow and denormal-operand flags clear.
    // A call of a few frames may then run in the caller's mode (Equaliser::RunFewUnflushed): if
    // MXCSR reads the same after it, no denormal number was met or made (FewFramesKernel), so
    // flush-to-zero and denormals-are-zero would have changed nothing, and the caller's MXCSR is
    // as it was, flags and all.
    static bool FewFramesMayRunIn(unsigned callerCsr) {
        return (callerCsr & kFewFramesMask) == kFewFramesMode;
    }

private:
    static constexpr unsigned kInexactFlag = 0x0020;          // MXCSR bit 5
    static constexpr unsigned kUnderflowFlag = 0x0010;        // bit 4
    static constexpr unsigned kDenormalOperandFlag = 0x0002;  // bit 1
    static constexpr unsigned kRoundingBits = 0x6000;         // bits 13-14
    static constexpr unsigned kFewFramesMask = kAllExceptionsMasked | kRoundingBits |
                                               kDenormalsAreZero | kInexactFlag | kUnderflowFlag |
                                               kDenormalOperandFlag;
    static constexpr unsigned kFewFramesMode = kAllExceptionsMasked | kInexactFlag;

    unsigned saved_;
};

}  // namespace lumo::engine
