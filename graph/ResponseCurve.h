// The combined magnitude response of all bands, from their coefficients (never from the
// parameter values), so the graph shows exactly what the audio runs with.
#pragma once

#include "engine/CoefficientSnapshot.h"
#include "graph/CurvePoint.h"

namespace lumo::graph {

// The response at angleRadians (radians per sample) in dB divided by 30, computed in 32-bit
// floats as the painter's units want it.
float EvaluateResponseDbOver30(const engine::CoefficientSnapshot& bands, double angleRadians);

// Fills slots 1..n of curve (n = kCurvePointCount) with the response at 20 Hz x 1000^(i / (n - 1)),
// and slot n + 1 with the end anchor.
void ComputeCurve(const engine::CoefficientSnapshot& bands, int sampleRateHz, Curve& curve);

}  // namespace lumo::graph
