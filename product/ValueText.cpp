#include "product/ValueText.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace lumo::product {
namespace {

engine::ParameterScale BandGainScale(int rangeDb) {
    return engine::GainScaleFor(rangeDb == kNoRangeYet ? engine::kInitialGainSpanDb : rangeDb);
}

}  // namespace

double BandGainDb(int slider, int rangeDb) { return BandGainScale(rangeDb).Value(slider); }

void FormatValueText(const Parameter& parameter, int raw, int rangeDb, char* text, std::size_t size) {
    const engine::ParameterScale scale = parameter.kind == ParameterKind::Range ? engine::kRangeScale
                                         : parameter.kind == ParameterKind::Bandwidth
                                             ? engine::kBandwidthScale
                                             : BandGainScale(rangeDb);
    const char* unit = parameter.kind == ParameterKind::Bandwidth ? "octave" : "dB";

    // At the top of the int range raw + 1 would overflow; the step is then taken from below,
    // which on a straight line is the same.
    const double value = scale.Value(raw);
    const double next = raw == INT32_MAX ? 2.0 * value - scale.Value(raw - 1) : scale.Value(raw + 1);
    const double step = next - value;
    int decimals = 0;
    if (step != 0.0) {
        const double digits = -std::log10(step);
        if (std::isfinite(digits) && digits > 0.0 && digits < 30.0) decimals = static_cast<int>(digits);
    }
    if (size > 0) std::snprintf(text, size, "%.*f %s", decimals + 1, value, unit);
}

}  // namespace lumo::product
