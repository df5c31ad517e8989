// The kernels behind CascadeKernelOf, one per instruction set. Each SIMD kernel lives in a file of
// its own, compiled for its instruction set, and must only be called where that set is available.
#pragma once

#include "engine/cascade/Cascade.h"

namespace lumo::engine {

void CascadeScalar(const BiquadCoefficients* coefficients, StereoBiquadState* states, int count,
                   float* interleaved, int frames);
void CascadeSse2(const BiquadCoefficients* coefficients, StereoBiquadState* states, int count,
                 float* interleaved, int frames);
void CascadeAvx2(const BiquadCoefficients* coefficients, StereoBiquadState* states, int count,
                 float* interleaved, int frames);
void CascadeAvx512(const BiquadCoefficients* coefficients, StereoBiquadState* states, int count,
                   float* interleaved, int frames);

}  // namespace lumo::engine
