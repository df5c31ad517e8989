// The kernels behind CascadeKernelOf, one per instruction set. Each SIMD kernel lives in a file of
// its own, compiled for its instruction set, and must only be called where that set is available.
#pragma once

#include "engine/cascade/Cascade.h"

namespace lumo::engine {

bool CascadeScalar(const BiquadCoefficients* coefficients, StereoBiquadState* states, int count,
                   float* interleaved, int frames);
bool CascadeSse2(const BiquadCoefficients* coefficients, StereoBiquadState* states, int count,
                 float* interleaved, int frames);
bool CascadeAvx2(const BiquadCoefficients* coefficients, StereoBiquadState* states, int count,
                 float* interleaved, int frames);
bool CascadeAvx512(const BiquadCoefficients* coefficients, StereoBiquadState* states, int count,
                   float* interleaved, int frames);

bool FewFramesSse2(const BiquadCoefficients* coefficients, const StereoBiquadState* before,
                   StereoBiquadState* after, int count, float* interleaved, int frames);
bool FewFramesAvx2(const BiquadCoefficients* coefficients, const StereoBiquadState* before,
                   StereoBiquadState* after, int count, float* interleaved, int frames);
bool FewFramesAvx512(const BiquadCoefficients* coefficients, const StereoBiquadState* before,
                     StereoBiquadState* after, int count, float* interleaved, int frames);

}  // namespace lumo::engine
