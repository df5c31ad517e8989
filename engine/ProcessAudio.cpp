// The audio path: the band filters over the host's buffer in place, lowest band first, and
// after the input stops the bands' ring-out, faded, from the host's scratch buffer.
#include <cstring>

#include "FadeOut.h"
#include "FloatEnvironment.h"
#include "shell/EqualiserMachine.h"

namespace lumo {

namespace {

// One band over n frames. A flat band runs only while its ring-out lasts (counted down by n
// per call); once it is used up the band is asleep: its state is zeroed and it is skipped. A
// state that a non-finite sample has poisoned is cleared after the block that carried it.
void RunBand(EqualiserMachine& machine, int band, float* frames, int n) {
    BandFilter& filter = machine.bandFilters[band];
    if (machine.bandFlat[band] == 1) {
        if (machine.bandTail[band] <= 0) {
            filter.ResetState();
            return;
        }
        machine.bandTail[band] -= n;
    }
    filter.Process(frames, n);
    if (!filter.StateIsFinite()) filter.ResetState();
}

void RunBands(EqualiserMachine& machine, float* frames, int n) {
    for (int band = 0; band < kBandCount; ++band) RunBand(machine, band, frames, n);
}

}  // namespace

bool EqualiserMachine::ProcessAudio(float* buffer, int frames, int mode) {
    if (mode == 0) return false;
    if (mode == 1) return true;
    if (frames < 0) frames = 0;  // a negative count from the host processes nothing

    DenormalsOff denormalsOff;  // restores the caller's floating-point control on return

    if (mode == 2) {
        if (fadeCounter <= 0) {
            for (BandFilter& filter : bandFilters) filter.ResetState();
            return false;
        }
        float* scratch = callbacks->ScratchBuffer();
        const std::size_t bytes = static_cast<std::size_t>(frames) * 2 * sizeof(float);
        if (frames > 0) std::memset(scratch, 0, bytes);
        RunBands(*this, scratch, frames);
        FadeOut(scratch, frames, fadeCounter, fadeLength);
        if (frames > 0 && scratch != buffer) std::memcpy(buffer, scratch, bytes);
        return true;
    }

    fadeCounter = fadeReset;
    RunBands(*this, buffer, frames);
    return true;
}

}  // namespace lumo
