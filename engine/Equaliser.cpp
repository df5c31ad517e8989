// The engine: parameter values to band designs, which bands run, and the audio path (the running
// bands over a block in place, lowest band first, and after the input stops their ring-out, faded).
#include "engine/Equaliser.h"

#include <cmath>
#include <cstring>
#include <xmmintrin.h>

#include "engine/BandDesign.h"
#include "engine/FadeOut.h"
#include "engine/FloatEnvironment.h"
#include "engine/RawParameters.h"

namespace lumo::engine {
namespace {

CoefficientSnapshot IdentitySnapshot(int bandCount) {
    CoefficientSnapshot snapshot;
    snapshot.bandCount = bandCount;
    return snapshot;
}

bool IsFinite(const StereoBiquadState& s) {
    return std::isfinite(s.left1) && std::isfinite(s.left2) && std::isfinite(s.right1) &&
           std::isfinite(s.right2);
}
bool IsFinite(const WideStereoState& s) {
    return std::isfinite(s.left1) && std::isfinite(s.left2) && std::isfinite(s.right1) &&
           std::isfinite(s.right2);
}

WideStereoState Widened(const StereoBiquadState& s) { return {s.left1, s.left2, s.right1, s.right2}; }
StereoBiquadState Rounded(const WideStereoState& s) {
    return {static_cast<float>(s.left1), static_cast<float>(s.left2), static_cast<float>(s.right1),
            static_cast<float>(s.right2)};
}

}  // namespace

Equaliser::Equaliser(const BandLayout& layout)
    : layout_(layout),
      runCascade_(SelectedCascadeKernel()),
      runFewFrames_(FewFramesKernelOf(SelectedCascadePath())),
      published_(IdentitySnapshot(layout.bandCount)) {
    bandwidthOctaves_ = 2.0 * layout.spacingOctaves;
    for (int band = 0; band < kMaxBands; ++band) {
        bandSlider_[band] = kSliderCentre;
        states_[band] = {};
        wideStates_[band] = {};
        flat_[band] = true;
        tailFramesLeft_[band] = 0;
    }
}

void Equaliser::Initialise(int sampleRateHz) {
    ReleaseRunningBands();
    gainScale_ = GainScaleFor(kInitialGainSpanDb);
    // Each product truncated toward zero: 8820, 6615 and 8820 frames at 44100 Hz.
    const double fs = static_cast<double>(sampleRateHz);
    fadeCounter_ = 0;
    fadeFrames_ = static_cast<int>(fs * 0.15);
    tailFrames_ = static_cast<int>(fs * 0.2);
    for (int band = 0; band < layout_.bandCount; ++band) {
        flat_[band] = true;
        tailFramesLeft_[band] = 0;
    }
    everyBandAsleep_ = false;  // the next audio call zeroes the states
}

ParameterOutcome Equaliser::ApplyParameters(const ParameterChanges& changes, int sampleRateHz) {
    ParameterOutcome outcome;
    bool redesignAll = false;

    if (changes.rangeDb != ParameterChanges::kUnchanged) {
        rangeDb_ = changes.rangeDb;
        gainScale_ = GainScaleFor(changes.rangeDb);
        redesignAll = true;
        outcome.rangeChanged = true;
        outcome.anyNewValue = true;
    }
    if (changes.bandwidthTwelfths != ParameterChanges::kUnchanged) {
        bandwidthOctaves_ = kBandwidthScale.Value(changes.bandwidthTwelfths);
        redesignAll = true;
        outcome.anyNewValue = true;
    }

    bool redesigned = false;
    for (int band = 0; band < layout_.bandCount; ++band) {
        const bool changed = changes.slider[band] != ParameterChanges::kUnchanged;
        if (changed) {
            bandSlider_[band] = changes.slider[band];
            outcome.anyNewValue = true;
        }
        if (redesignAll || changed) {
            if (!redesigned) ReleaseRunningBands();
            DesignBand(band, sampleRateHz);
            ApplyActivityRule(band);
            redesigned = true;
            everyBandAsleep_ = false;
        }
    }
    if (redesigned) PublishCoefficients();
    return outcome;
}

void Equaliser::DesignBand(int band, int sampleRateHz) {
    const BandDesign design = DesignBandToRun(layout_, band, sampleRateHz,
                                              gainScale_.Value(bandSlider_[band]), bandwidthOctaves_);
    // A band that changes form keeps its filter state, as any redesigned band does; the state
    // of the form it does not run is zero.
    if (design.runsInDouble && !RunsInDouble(band)) {
        wideStates_[band] = Widened(states_[band]);
        states_[band] = {};
    } else if (!design.runsInDouble && RunsInDouble(band)) {
        states_[band] = Rounded(wideStates_[band]);
        wideStates_[band] = {};
    }
    designed_[band] = design.single;
    wideDesigned_[band] = design.wide;
    const std::uint32_t bit = 1u << band;
    doubleBands_ = design.runsInDouble ? doubleBands_ | bit : doubleBands_ & ~bit;
}

void Equaliser::ApplyActivityRule(int band) {
    if (!RunsInDouble(band) && designed_[band].IsIdentity()) {
        // Identity is designed only for a band that cannot be realised at this sample rate: it
        // has nothing to ring out and sleeps from the next call on.
        flat_[band] = true;
        tailFramesLeft_[band] = 0;
    } else if (rangeDb_ != 0 && bandSlider_[band] != kSliderCentre) {
        flat_[band] = false;
        tailFramesLeft_[band] = tailFrames_;
    } else {
        flat_[band] = true;  // keeps the ring-out last armed
    }
}

StereoBiquadState Equaliser::BandState(int band) const {
    if (RunsInDouble(band)) return Rounded(wideStates_[band]);
    if (!runningStale_)
        for (int i = 0; i < runningCount_; ++i)
            if (running_[i] == band) return runningStates_[i];
    return states_[band];
}

BandActivity Equaliser::Activity(int band) const {
    if (!flat_[band]) return BandActivity::Active;
    return tailFramesLeft_[band] > 0 ? BandActivity::RingingOut : BandActivity::Asleep;
}

void Equaliser::PublishCoefficients() {
    // Only ApplyParameters writes, so the write flag is always free here.
    if (!published_.TryBeginWrite()) return;
    CoefficientSnapshot& snapshot = published_.BackBuffer();
    snapshot.bandCount = layout_.bandCount;
    snapshot.doubleBands = doubleBands_;
    for (int band = 0; band < layout_.bandCount; ++band) {
        snapshot.bands[band] = designed_[band];
        snapshot.wide[band] = wideDesigned_[band];
    }
    published_.EndWrite(true);
}

// A few frames in the caller's floating-point mode where that gives the engine mode's bits (see
// DenormalsOff::FewFramesMayRunIn): the two MXCSR writes of the engine's mode hold a call until
// the previous call's bands are done, a sixth of a one-frame call. The states go to the other
// buffer and are kept only then; otherwise (near silence, a non-finite sample) the block runs
// again in the engine's mode, after which the caller gets its MXCSR back as it was before this
// call, and the next frames do not try.
inline bool Equaliser::RunFewUnflushed(float* interleaved, int frames, unsigned callerCsr) {
    constexpr int kPauseFrames = 4096;
    if (unflushedPauseFrames_ > 0) {
        unflushedPauseFrames_ -= frames;
        return false;
    }
    float input[2 * kMaxFewFrames];
    std::memcpy(input, interleaved, static_cast<std::size_t>(frames) * 2 * sizeof(float));
    StereoBiquadState* after = runningStates_ == runningStateBuffers_[0] ? runningStateBuffers_[1]
                                                                         : runningStateBuffers_[0];
    const bool finite =
        runFewFrames_(runningDesigns_, runningStates_, after, runningCount_, interleaved, frames);
    if (finite && _mm_getcsr() == callerCsr) {
        runningStates_ = after;
        return true;
    }
    std::memcpy(interleaved, input, static_cast<std::size_t>(frames) * 2 * sizeof(float));
    unflushedPauseFrames_ = kPauseFrames;
    return false;
}

// A flat band runs only while its ring-out lasts (counted down by n per call); once that is used
// up the band is asleep: its state is zeroed and it is skipped. The running bands go through the
// cascade together, unless some run in double. A state that a non-finite sample has poisoned is
// cleared after the block.
inline void Equaliser::RunRunningBands(float* interleaved, int frames) {
    const unsigned callerCsr = _mm_getcsr();
    if (frames <= kMaxFewFrames && frames > 0 && unflushedFewReady_ &&
        DenormalsOff::FewFramesMayRunIn(callerCsr) && RunFewUnflushed(interleaved, frames, callerCsr))
        return;
    DenormalsOff denormalsOff(callerCsr);  // on return, MXCSR as the caller had it on entry
    const bool finite = someRunningInDouble_
                            ? RunMixedForms(interleaved, frames)
                            : runCascade_(runningDesigns_, runningStates_, runningCount_, interleaved, frames);
    if (!finite) HealStates();
}

void Equaliser::RunBands(float* interleaved, int frames) {
    if (everyBandAsleep_) return;  // and every state already zero: nothing to do
    if (runningStale_ || someRingingOut_) {
        RunBandsAfterGathering(interleaved, frames);
        return;
    }
    RunRunningBands(interleaved, frames);
}

// Out of RunBands's way, so that a call whose bands stand as they stood spends nothing on saving
// registers for it.
__attribute__((noinline)) void Equaliser::RunBandsAfterGathering(float* interleaved, int frames) {
    if (runningStale_)
        GatherRunningBands(frames);
    else
        CountDownRingOuts(frames);
    if (runningCount_ == 0) {
        everyBandAsleep_ = true;  // until a parameter change redesigns a band
        return;
    }
    RunRunningBands(interleaved, frames);
}


void Equaliser::GatherRunningBands(int frames) {
    runningCount_ = 0;
    someRingingOut_ = false;
    someRunningInDouble_ = false;
    for (int band = 0; band < layout_.bandCount; ++band) {
        if (flat_[band]) {
            if (tailFramesLeft_[band] <= 0) {
                states_[band] = {};
                if (RunsInDouble(band)) wideStates_[band] = {};
                continue;
            }
            tailFramesLeft_[band] -= frames;
            someRingingOut_ = true;
        }
        someRunningInDouble_ = someRunningInDouble_ || RunsInDouble(band);
        runningDesigns_[runningCount_] = designed_[band];
        runningStates_[runningCount_] = states_[band];
        running_[runningCount_++] = band;
    }
    unflushedFewReady_ = runFewFrames_ != nullptr && !someRunningInDouble_;
    runningStale_ = false;
}

// While a band rings out: its ring-out counts down by the call's frames; once one is used up, the
// bands are gathered afresh without it.
void Equaliser::CountDownRingOuts(int frames) {
    for (int i = 0; i < runningCount_; ++i) {
        if (flat_[running_[i]] && tailFramesLeft_[running_[i]] <= 0) {
            ReleaseRunningBands();
            GatherRunningBands(frames);
            return;
        }
    }
    for (int i = 0; i < runningCount_; ++i)
        if (flat_[running_[i]]) tailFramesLeft_[running_[i]] -= frames;
}

// The running bands' states back with their bands, before anything that reads or changes states_
// by band (a redesign, Initialise); the next audio call gathers again.
void Equaliser::ReleaseRunningBands() {
    if (runningStale_) return;
    for (int i = 0; i < runningCount_; ++i) states_[running_[i]] = runningStates_[i];
    runningStale_ = true;
}

// The running bands in band order when some of them run in double: each stretch of float bands
// through the cascade kernel, each double band through its own path between them. True when
// every state they leave is finite.
bool Equaliser::RunMixedForms(float* interleaved, int frames) {
    bool finite = true;
    for (int i = 0; i < runningCount_;) {
        if (RunsInDouble(running_[i])) {
            const int band = running_[i++];
            RunWideBand(wideDesigned_[band], wideStates_[band], interleaved, frames);
            finite = finite && IsFinite(wideStates_[band]);
            continue;
        }
        int stretch = 0;
        while (i + stretch < runningCount_ && !RunsInDouble(running_[i + stretch])) ++stretch;
        finite = runCascade_(runningDesigns_ + i, runningStates_ + i, stretch, interleaved, frames) &&
                 finite;
        i += stretch;
    }
    return finite;
}

// Clears every running band's state that a non-finite sample has poisoned.
void Equaliser::HealStates() {
    for (int i = 0; i < runningCount_; ++i) {
        if (!IsFinite(runningStates_[i])) runningStates_[i] = {};
        WideStereoState& wide = wideStates_[running_[i]];
        if (!IsFinite(wide)) wide = {};
    }
}

void Equaliser::Process(float* interleaved, int frames) {
    fadeCounter_ = tailFrames_;
    RunBands(interleaved, frames > 0 ? frames : 0);
}

void Equaliser::ClearBandStates() {
    for (int band = 0; band < layout_.bandCount; ++band) {
        states_[band] = {};
        wideStates_[band] = {};
        runningStates_[band] = {};
    }
}

bool Equaliser::RenderTail(float* out, int frames) {
    if (fadeCounter_ <= 0) {
        ClearBandStates();
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
