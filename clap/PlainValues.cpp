#include "clap/PlainValues.h"

#include <cmath>

namespace lumo::clap {
namespace {

int OffsetOf(const product::Parameter& parameter) {
    return parameter.kind == product::ParameterKind::BandGain ? engine::kSliderCentre : 0;
}

}  // namespace

double PlainOfRaw(const product::Parameter& parameter, int raw) { return raw - OffsetOf(parameter); }

bool RawOfPlain(const product::Parameter& parameter, double plain, int& raw) {
    if (!std::isfinite(plain)) return false;
    const double low = parameter.minimum - OffsetOf(parameter), high = parameter.maximum - OffsetOf(parameter);
    const double clamped = plain < low ? low : plain > high ? high : plain;
    raw = static_cast<int>(std::lround(clamped)) + OffsetOf(parameter);
    return true;
}

}  // namespace lumo::clap
