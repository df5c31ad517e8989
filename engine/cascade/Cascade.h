// A cascade of stereo biquad sections run in series over interleaved stereo audio. One kernel per
// instruction set (scalar, SSE2, AVX2, AVX-512F); all of them give results bit-identical to the
// literal recurrence, so the choice of kernel never changes the audio, only its speed.
#pragma once

#include "engine/Biquad.h"

namespace lumo::engine {

// One section's transposed direct form II state words (s1, s2) for each channel.
struct StereoBiquadState {
    float left1, left2, right1, right2;
};

constexpr int kMaxCascadeSections = 32;

// Runs `count` (0..kMaxCascadeSections) sections in series over `frames` (>= 0) interleaved
// stereo frames (L, R, L, R, ...) in place: section 0 first, each section's output feeding the
// next; the states are updated. Per section, frame by frame, left sample then right sample, each
// in 32-bit floats exactly as written (no fused multiply-add):
//   y = b0*x + s1;  s1 = (b1*x + s2) - a1*y;  s2 = b2*x - a2*y;  sample = y.
// The caller's MXCSR (flush-to-zero, denormals-are-zero) applies; non-finite values propagate.
// (Where two NaNs of different payloads meet, which one an operation keeps depends on operand
// order, which C++ leaves open even in the literal loop; the NaNs the arithmetic makes are all
// alike.) Returns true when every word of the `count` states it leaves is finite (false only when
// some word is not, or, far out of any audio range, their sum overflows), so a caller that clears
// poisoned states looks for them only when there may be some.
using CascadeKernel = bool (*)(const BiquadCoefficients* coefficients, StereoBiquadState* states,
                               int count, float* interleaved, int frames);

// 1 to kMaxFewFrames frames through `count` sections as CascadeKernel runs them, the states read
// from `before` and written to `after` (the same array or apart). Every value it computes that
// reaches the block or a state word is also an operand of a later arithmetic operation in the
// call (the state words of the finiteness sum), so that a denormal number made exactly, which
// raises no underflow flag, raises the denormal-operand flag when it is used: a caller running
// without flush-to-zero and denormals-are-zero sees from MXCSR's flags whether the call met or
// made any denormal number.
constexpr int kMaxFewFrames = 4;
using FewFramesKernel = bool (*)(const BiquadCoefficients* coefficients,
                                 const StereoBiquadState* before, StereoBiquadState* after,
                                 int count, float* interleaved, int frames);

enum class CascadePath { Scalar, Sse2, Avx2, Avx512 };

// Instruction sets that both the CPU and the operating system support (the OS saves the wider
// registers on a thread switch).
struct CpuFeatures {
    bool sse2 = false;
    bool avx2 = false;
    bool avx512f = false;
};

CpuFeatures DetectCpuFeatures();

// The fastest path for a CPU with `features`: a pure function of them.
CascadePath ChooseCascadePath(const CpuFeatures& features);

// True when `path` is built into this binary and this CPU and OS can run it.
bool CascadePathAvailable(CascadePath path);

// The kernel of `path`; running it where it is not available is undefined (an illegal
// instruction, typically).
CascadeKernel CascadeKernelOf(CascadePath path);
// The few-frames kernel of `path`; null for the scalar path.
FewFramesKernel FewFramesKernelOf(CascadePath path);

// The path chosen for this machine, detected on the first call and fixed from then on, and its
// kernel.
CascadePath SelectedCascadePath();
CascadeKernel SelectedCascadeKernel();

const char* CascadePathName(CascadePath path);

}  // namespace lumo::engine
