// The equaliser engine of one machine: the band sliders, Range and Bandwidth, every band's
// designed coefficients and filter state, which bands run, their ring-out, and the fade after
// the input stops. The machine owns one and forwards its parameter and audio calls to it.
//
// Threads: ApplyParameters, Process and RenderTail run on the host's audio thread, never at the
// same time; the queries are for that thread too. Coefficients(), the published coefficients, may be
// read from any thread but by one at a time (the graph reads them only while it holds its curve's
// write flag; see TripleBuffer).
#pragma once

#include <cstdint>

#include "engine/BandLayout.h"
#include "engine/Biquad.h"
#include "engine/CoefficientSnapshot.h"
#include "engine/ParameterScale.h"
#include "engine/RawParameters.h"
#include "engine/cascade/Cascade.h"
#include "engine/TripleBuffer.h"
#include "engine/WideBand.h"

namespace lumo::engine {

// New raw values of one parameter call; kUnchanged where a parameter brought none.
struct ParameterChanges {
    static constexpr int kUnchanged = -1;
    int rangeDb = kUnchanged;
    int bandwidthTwelfths = kUnchanged;
    int slider[kMaxBands];

    ParameterChanges() {
        for (int& value : slider) value = kUnchanged;
    }
};

// What a parameter call changed, for the machine to pass on.
struct ParameterOutcome {
    bool rangeChanged = false;   // the band sliders' value texts changed
    bool anyNewValue = false;    // the response may have changed
};

enum class BandActivity {
    Active,      // designed away from 0 dB: always runs
    RingingOut,  // flat, its ring-out not yet used up: runs and counts down
    Asleep,      // flat and rung out: skipped, its state zeroed on every call
};

class Equaliser {
public:
    explicit Equaliser(const BandLayout& layout);
    Equaliser(const Equaliser&) = delete;
    Equaliser& operator=(const Equaliser&) = delete;

    // The gain scale to its initial ends, lengths in frames from the sample rate, every band flat with
    // no ring-out left, silence (no fade pending). Coefficients and filter states stay.
    void Initialise(int sampleRateHz);

    // Takes the new values, redesigns the bands they affect at this sample rate (a slider
    // redesigns its band, Range or Bandwidth every band), re-arms or releases each redesigned
    // band and publishes the coefficients when any band was redesigned.
    ParameterOutcome ApplyParameters(const ParameterChanges& changes, int sampleRateHz);

    // A block with input: the running bands over the interleaved stereo frames, in place. The
    // tail that follows the input is armed again at its full length.
    void Process(float* interleaved, int frames);

    // A block without input: writes the bands' ring-out, faded out over the tail's last part,
    // into `out` and returns true while any tail is left; once it is over, clears every band's
    // state and returns false without touching `out`.
    bool RenderTail(float* out, int frames);
    bool HasTail() const { return fadeCounter_ > 0; }

    // Every band's filter state to zero: the audio starts afresh (RenderTail does this once the
    // tail is over; a host that restarts its stream asks for it).
    void ClearBandStates();

    // The band sliders' scale onto dB, which follows Range (Range and Bandwidth have fixed
    // scales: kRangeScale, kBandwidthScale).
    const ParameterScale& GainScale() const { return gainScale_; }
    int BandSlider(int band) const { return bandSlider_[band]; }
    BandActivity Activity(int band) const;
    bool RunsInDouble(int band) const { return ((doubleBands_ >> band) & 1u) != 0; }
    // A band's filter state; a band that runs in double has its state rounded to float here.
    StereoBiquadState BandState(int band) const;
    int OutputFramesLeft() const { return fadeCounter_; }
    // True when the last block went through unchanged: every band asleep, its state zero.
    bool EveryBandAsleep() const { return everyBandAsleep_; }
    // How long a band rings out after it turns flat (0.2 s of frames).
    int RingOutFrames() const { return tailFrames_; }
    int FadeFrames() const { return fadeFrames_; }

    // The newest published coefficients (reader side; one reading thread at a time).
    const CoefficientSnapshot& Coefficients() { return published_.Latest(); }

    // The cascade kernel runs the bands: the widest this CPU runs unless told otherwise (every
    // kernel gives the same bits; tests and benchmarks run each one). The path must be available.
    void UseCascade(CascadePath path) {
        ReleaseRunningBands();  // the next call gathers for the new kernels
        runCascade_ = CascadeKernelOf(path);
        runFewFrames_ = FewFramesKernelOf(path);
    }

private:
    void DesignBand(int band, int sampleRateHz);
    void ApplyActivityRule(int band);
    void RunBands(float* interleaved, int frames);
    void RunBandsAfterGathering(float* interleaved, int frames);
    void RunRunningBands(float* interleaved, int frames);
    bool RunFewUnflushed(float* interleaved, int frames, unsigned callerCsr);
    void GatherRunningBands(int frames);
    void CountDownRingOuts(int frames);
    void ReleaseRunningBands();
    bool RunMixedForms(float* interleaved, int frames);
    void HealStates();
    void PublishCoefficients();

    BandLayout layout_;
    // Until Initialise and the host's first full parameter call, every parameter holds its
    // default, so a band designed early never reads an undefined value.
    ParameterScale gainScale_ = GainScaleFor(kInitialGainSpanDb);
    int rangeDb_ = kRangeDefaultDb;
    double bandwidthOctaves_;
    int bandSlider_[kMaxBands];

    // Each band's float design (BandDesign), which the cascade runs unless the band runs in double.
    BiquadCoefficients designed_[kMaxBands];
    StereoBiquadState states_[kMaxBands];  // float bands' state (zero for double bands)
    bool flat_[kMaxBands];
    int tailFramesLeft_[kMaxBands];
    bool everyBandAsleep_ = false;  // and every band's state zero: the audio path has nothing to do

    // The bands the audio path runs, in band order, with their float designs and float states side
    // by side, so that the cascade runs on them in place and a call of a few frames spends its time
    // in the bands. Gathered again after a redesign or when a band's ring-out ends; meanwhile a
    // running float band's state lives in runningStates_ (states_ holds it again once stale), one
    // of two buffers: a few frames run in the caller's mode write the other and keep it only when
    // they gave the engine's bits.
    int running_[kMaxBands];
    BiquadCoefficients runningDesigns_[kMaxBands];
    StereoBiquadState runningStateBuffers_[2][kMaxBands];
    StereoBiquadState* runningStates_ = runningStateBuffers_[0];
    int runningCount_ = 0;
    bool runningStale_ = true;
    bool someRingingOut_ = false;
    bool someRunningInDouble_ = false;
    // Calls of up to kMaxFewFrames may run in the caller's mode: float bands only and a kernel
    // for it. After a call that could not, the next few thousand frames do not try.
    bool unflushedFewReady_ = false;
    int unflushedPauseFrames_ = 0;
    int tailFrames_ = 0;

    int fadeCounter_ = 0;  // frames of output still to come after the input stopped
    int fadeFrames_ = 0;   // length of the closing ramp

    // Bit i set: band i runs in double, wideDesigned_[i] through RunWideBand. The snapshot holds
    // both designs.
    std::uint32_t doubleBands_ = 0;
    WideBiquadCoefficients wideDesigned_[kMaxBands];
    WideStereoState wideStates_[kMaxBands];  // double bands' state (zero for float bands)

    CascadeKernel runCascade_;
    FewFramesKernel runFewFrames_;
    TripleBuffer<CoefficientSnapshot> published_;
};

}  // namespace lumo::engine
