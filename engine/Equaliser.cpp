#include "engine/Equaliser.h"

#include "engine/BandDesign.h"
#include "engine/Parameters.h"

namespace lumo::engine {
namespace {

CoefficientSnapshot IdentitySnapshot(int bandCount) {
    CoefficientSnapshot snapshot;
    snapshot.bandCount = bandCount;
    return snapshot;
}

BiquadCoefficients RunningCoefficients(const Biquad& section) {
    return {section.b[0], section.b[1], section.b[2], section.a[1], section.a[2]};
}

}  // namespace

Equaliser::Equaliser(const BandLayout& layout)
    : layout_(layout),
      runCascade_(SelectedCascadeKernel()),
      published_(IdentitySnapshot(layout.bandCount)) {
    // Until Initialise and the host's first full parameter call, every parameter holds its
    // default, so a band designed early never reads an undefined value.
    gainScale_.Configure(kSliderMinimum, kSliderMaximum, -kInitialGainSpanDb, kInitialGainSpanDb);
    rangeScale_.Configure(kRangeMinimumDb, kRangeMaximumDb, kRangeMinimumDb, kRangeMaximumDb);
    bandwidthScale_.Configure(kBandwidthMinimumTwelfths, kBandwidthMaximumTwelfths,
                              kBandwidthMinimumOctaves, kBandwidthMaximumOctaves);
    rangeDb_ = kRangeDefaultDb;
    bandwidthOctaves_ = 2.0 * layout.spacingOctaves;
    for (int band = 0; band < kMaxBands; ++band) {
        bandSlider_[band] = kSliderCentre;
        running_[band] = RunningCoefficients(designed_[band]);
        states_[band] = {};
        flat_[band] = true;
        tailFramesLeft_[band] = 0;
    }
}

void Equaliser::Initialise(int sampleRateHz) {
    gainScale_.Configure(kSliderMinimum, kSliderMaximum, -kInitialGainSpanDb, kInitialGainSpanDb);
    rangeScale_.Configure(kRangeMinimumDb, kRangeMaximumDb, kRangeMinimumDb, kRangeMaximumDb);
    bandwidthScale_.Configure(kBandwidthMinimumTwelfths, kBandwidthMaximumTwelfths,
                              kBandwidthMinimumOctaves, kBandwidthMaximumOctaves);
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
        const double rangeDb = rangeScale_.Value(changes.rangeDb);
        gainScale_.low = -rangeDb;
        gainScale_.high = rangeDb;
        redesignAll = true;
        outcome.rangeChanged = true;
        outcome.anyNewValue = true;
    }
    if (changes.bandwidthTwelfths != ParameterChanges::kUnchanged) {
        bandwidthOctaves_ = bandwidthScale_.Value(changes.bandwidthTwelfths);
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
    designed_[band] = DesignPeakingBand(layout_, band, sampleRateHz,
                                        gainScale_.Value(bandSlider_[band]), bandwidthOctaves_);
    running_[band] = RunningCoefficients(designed_[band]);
}

void Equaliser::ApplyActivityRule(int band) {
    if (designed_[band].IsIdentity()) {
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

BandActivity Equaliser::Activity(int band) const {
    if (!flat_[band]) return BandActivity::Active;
    return tailFramesLeft_[band] > 0 ? BandActivity::RingingOut : BandActivity::Asleep;
}

void Equaliser::PublishCoefficients() {
    // Only ApplyParameters writes, so the write flag is always free here.
    if (!published_.TryBeginWrite()) return;
    CoefficientSnapshot& snapshot = published_.BackBuffer();
    snapshot.bandCount = layout_.bandCount;
    for (int band = 0; band < layout_.bandCount; ++band) snapshot.bands[band] = designed_[band];
    published_.EndWrite(true);
}

}  // namespace lumo::engine
