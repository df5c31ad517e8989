#include "product/Parameters.h"

#include <cmath>

namespace lumo::product {

int ParameterCount(const Deliverable& d) { return kFirstBandParameter + d.layout.bandCount; }

Parameter ParameterAt(const Deliverable& d, int index) {
    if (index == kRangeParameter)
        return {ParameterKind::Range, -1, "Range", "Range", engine::kRangeMinimumDb,
                engine::kRangeMaximumDb, engine::kRangeDefaultDb};
    if (index == kBandwidthParameter)
        return {ParameterKind::Bandwidth, -1, "Bandwidth", "Bandwidth",
                engine::kBandwidthMinimumTwelfths, engine::kBandwidthMaximumTwelfths,
                d.defaultBandwidthTwelfths};
    const int band = index - kFirstBandParameter;
    return {ParameterKind::BandGain, band, d.bandNames[band], d.bandDescriptions[band],
            engine::kSliderMinimum, engine::kSliderMaximum, engine::kSliderCentre};
}

double BandCentreHz(const Deliverable& d, int band) {
    return 1000.0 * std::pow(2.0, static_cast<double>(band - d.layout.oneKilohertzBand) *
                                      d.layout.spacingOctaves);
}

}  // namespace lumo::product
