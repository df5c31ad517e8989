// Temporary bodies until the engine lands: identity processing.
#include "shell/EqualiserMachine.h"

namespace lumo {
void BandFilter::Process(float*, int) {}
void EqualiserMachine::ApplyParameters() { RefreshCurve(); }
void EqualiserMachine::DesignBand(int) {}
void EqualiserMachine::ApplyActivityRule(int) {}
bool EqualiserMachine::ProcessAudio(float*, int, int mode) { return mode != 0 && mode != 2; }
}  // namespace lumo
