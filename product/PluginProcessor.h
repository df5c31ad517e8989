// The audio side the plug-in faces (LV2, VST3, CLAP) share: one engine and its parameter values,
// run over a host's separate left and right channels. A face hands new values to Values(), calls
// ApplyPending where they take effect (at the start of a block, or at a sample offset inside it)
// and Run for the frames in between.
//
// Threads: the host's audio thread, or its activation calls, never both at once.
#pragma once

#include <cstdint>

#include "engine/Equaliser.h"
#include "product/ParameterValues.h"

namespace lumo::product {

class PluginProcessor {
public:
    // The most frames the engine runs per call. A host's block up to this long is one engine
    // call, as one call of a Buzz host with that block length (a band turned flat rings out in
    // whole calls, so the call lengths matter); a longer block goes through in pieces this long.
    static constexpr int kChunkFrames = 8192;

    // sampleRateHz must be positive.
    PluginProcessor(const Deliverable& deliverable, int sampleRateHz);
    PluginProcessor(const PluginProcessor&) = delete;
    PluginProcessor& operator=(const PluginProcessor&) = delete;

    // Back to the start: every band flat with no state, and the next ApplyPending hands the
    // engine every value at once (as the machine's first parameter call after Initialise).
    void Activate();

    ParameterValues& Values() { return values_; }
    // The engine's parameter call for the values set since the last one, if any.
    engine::ParameterOutcome ApplyPending();

    // `frames` of the host's channels through the engine, in place or not; each piece is read
    // whole before any of it is written. A null input reads as silence, a null output is left
    // alone. Allocates nothing and takes no lock.
    void Run(const float* inLeft, const float* inRight, float* outLeft, float* outRight, uint32_t frames);

    // True when the last Run passed its input through unchanged (every band asleep), so silent
    // input gave silent output.
    bool PassedUnchanged() const { return engine_.EveryBandAsleep(); }
    // The longest a band rings out after the input falls silent, in frames.
    int TailFrames() const { return engine_.RingOutFrames(); }
    int SampleRateHz() const { return sampleRateHz_; }
    engine::Equaliser& Engine() { return engine_; }

private:
    const int sampleRateHz_;
    engine::Equaliser engine_;
    ParameterValues values_;
    float block_[2 * kChunkFrames];
};

}  // namespace lumo::product
