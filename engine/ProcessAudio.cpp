// The audio path: the running bands over a block in place, lowest band first, and after the input
// stops the bands' ring-out, faded.
#include <cmath>
#include <cstring>

#include "engine/Equaliser.h"
#include "engine/FadeOut.h"
#include "engine/FloatEnvironment.h"

namespace lumo::engine {
namespace {

bool IsFinite(const StereoBiquadState& s) {
    return std::isfinite(s.left1) && std::isfinite(s.left2) && std::isfinite(s.right1) &&
           std::isfinite(s.right2);
}

}  // namespace

// A flat band runs only while its ring-out lasts (counted down by n per call); once that is used
// up the band is asleep: its state is zeroed and it is skipped. The running bands go through the
// cascade together. A state that a non-finite sample has poisoned is cleared after the block.
void Equaliser::RunBands(float* interleaved, int frames) {
    if (everyBandAsleep_) return;  // and every state already zero: nothing to do
    int runningBands[kMaxBands];
    int count = 0;
    for (int band = 0; band < layout_.bandCount; ++band) {
        if (flat_[band]) {
            if (tailFramesLeft_[band] <= 0) {
                states_[band] = {};
                continue;
            }
            tailFramesLeft_[band] -= frames;
        }
        runningBands[count++] = band;
    }
    if (count == 0) {
        everyBandAsleep_ = true;  // until a parameter change redesigns a band
        return;
    }

    DenormalsOff denormalsOff;  // restores the caller's floating-point control on return
    if (count == layout_.bandCount) {
        runCascade_(running_, states_, count, interleaved, frames);
    } else {
        BiquadCoefficients coefficients[kMaxBands];
        StereoBiquadState states[kMaxBands];
        for (int i = 0; i < count; ++i) {
            coefficients[i] = running_[runningBands[i]];
            states[i] = states_[runningBands[i]];
        }
        runCascade_(coefficients, states, count, interleaved, frames);
        for (int i = 0; i < count; ++i) states_[runningBands[i]] = states[i];
    }
    for (int i = 0; i < count; ++i) {
        StereoBiquadState& state = states_[runningBands[i]];
        if (!IsFinite(state)) state = {};
    }
}

void Equaliser::Process(float* interleaved, int frames) {
    fadeCounter_ = tailFrames_;
    RunBands(interleaved, frames > 0 ? frames : 0);
}

bool Equaliser::RenderTail(float* out, int frames) {
    if (fadeCounter_ <= 0) {
        for (int band = 0; band < layout_.bandCount; ++band) states_[band] = {};
        return false;
    }
    if (frames < 0) frames = 0;
    if (frames > 0) std::memset(out, 0, static_cast<std::size_t>(frames) * 2 * sizeof(float));
    RunBands(out, frames);
    DenormalsOff denormalsOff;  // the ramp's products flush as the bands' do
    FadeOut(out, frames, fadeCounter_, fadeFrames_);
    return true;
}

}  // namespace lumo::engine
