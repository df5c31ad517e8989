// ParameterValueText: "16.0 dB", "0.67 octave", with one decimal more than the step needs.
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "engine/Parameters.h"
#include "shell/EqualiserMachine.h"
#include "shell/ParameterTable.h"

namespace lumo {
namespace {

// Shared by every machine of this plug-in; the host uses a text before asking again.
char gValueText[abi::kValueTextBytes];

}  // namespace

const char* EqualiserMachine::ParameterValueText(int parameterIndex, int raw) {
    // The band gains' scale as the engine sets it (Equaliser::ApplyParameters), from the Range
    // the audio thread published: the host asks on its UI thread, where the engine's own scale
    // may be half rewritten.
    const int rangeDb = textRangeDb_.load(std::memory_order_relaxed);
    const engine::ParameterScale gainScale =
        engine::GainScaleFor(rangeDb == kInitialSpan ? engine::kInitialGainSpanDb : rangeDb);
    const engine::ParameterScale* scale = &gainScale;
    const char* unit = "dB";
    if (parameterIndex == kRangeParameter) {
        scale = &engine::kRangeScale;
    } else if (parameterIndex == kBandwidthParameter) {
        scale = &engine::kBandwidthScale;
        unit = "octave";
    }

    // At the top of the int range raw + 1 would overflow; the step is then taken from below,
    // which on a straight line is the same.
    const double value = scale->Value(raw);
    const double next = raw == INT32_MAX ? 2.0 * value - scale->Value(raw - 1) : scale->Value(raw + 1);
    const double step = next - value;
    int decimals = 0;
    if (step != 0.0) {
        const double digits = -std::log10(step);
        if (std::isfinite(digits) && digits > 0.0 && digits < 30.0) decimals = static_cast<int>(digits);
    }
    std::snprintf(gValueText, sizeof gValueText, "%.*f %s", decimals + 1, value, unit);
    return gValueText;
}

}  // namespace lumo
