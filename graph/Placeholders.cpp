// Temporary bodies until the response graph lands.
#include "shell/EqualiserMachine.h"

namespace lumo {
float EqualiserMachine::EvaluateResponse(double) const { return 0.0f; }
void EqualiserMachine::ComputeCurve() {}
void EqualiserMachine::RefreshCurve() {}
void EqualiserMachine::OpenGraphWindow() {}
void EqualiserMachine::HideGraphWindow(bool) {}
void EqualiserMachine::PaintGraph() {}
}  // namespace lumo
