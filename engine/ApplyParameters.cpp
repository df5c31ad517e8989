// Parameter change: take the new values from the parameter block, redesign the bands they
// affect, decide which bands the audio path runs, and let the graph catch up.
#include "shell/EqualiserMachine.h"

namespace lumo {

namespace {

// A new value, clamped to its record's minimum..maximum; false for the no-value marker.
bool NewValue(const unsigned char* block, int parameterIndex, int& value) {
    const ParameterRecord& record = Record(parameterIndex);
    const int raw = block[parameterIndex];
    if (raw == record.noValue) return false;
    value = raw < record.minimum ? record.minimum : raw > record.maximum ? record.maximum : raw;
    return true;
}

}  // namespace

void EqualiserMachine::ApplyActivityRule(int band) {
    if (bandFilters[band].left.IsIdentity()) {
        // Identity is written only for a band that cannot be realised at this sample rate: it
        // has nothing to ring out and sleeps from the next call on.
        bandFlat[band] = 1;
        bandTail[band] = 0;
    } else if (rangeRaw != 0 && bandSlider[band] != kSliderCentre) {
        bandFlat[band] = 0;
        bandTail[band] = tailLength;
    } else {
        bandFlat[band] = 1;  // keeps the ring-out last armed
    }
}

void EqualiserMachine::ApplyParameters() {
    bool redesignAll = false;
    bool rangeChanged = false;
    int value = 0;

    if (NewValue(parameters, kRangeParameter, value)) {
        rangeRaw = value;
        const double rangeDb = rangeScale.Value(value);
        gainScale.low = -rangeDb;
        gainScale.high = rangeDb;
        redesignAll = true;
        rangeChanged = true;
        curveDirty = true;
    }

    if (NewValue(parameters, kBandwidthParameter, value)) {
        bandwidthOctaves = bandwidthScale.Value(value);
        redesignAll = true;
        curveDirty = true;
    }

    for (int band = 0; band < kBandCount; ++band) {
        bool changed = false;
        if (NewValue(parameters, kFirstBandParameter + band, value)) {
            bandSlider[band] = value;
            curveDirty = true;
            changed = true;
        }
        if (redesignAll || changed) {
            DesignBand(band);
            ApplyActivityRule(band);
        }
    }

    // The band texts depend on Range; bands at 0 dB read the same at any Range.
    if (rangeChanged) {
        for (int band = 0; band < kBandCount; ++band)
            if (bandSlider[band] != kSliderCentre)
                callbacks->ParameterTextChanged(hostHandle, kFirstBandParameter + band);
    }

    RefreshCurve();
}

}  // namespace lumo
