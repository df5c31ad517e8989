#include "vst3/Normalised.h"

#include <cmath>
#include <cstring>

#include "product/Controls.h"
#include "vst3/Text.h"

namespace lumo::vst3 {

bool RawOfNormalised(const product::Parameter& p, double normalised, int& raw) {
    if (!std::isfinite(normalised)) return false;
    const double clamped = normalised < 0.0 ? 0.0 : normalised > 1.0 ? 1.0 : normalised;
    raw = p.minimum + static_cast<int>(std::lround(clamped * (p.maximum - p.minimum)));
    return true;
}

double NormalisedOfRaw(const product::Parameter& p, int raw) {
    return static_cast<double>(p.Clamp(raw) - p.minimum) / (p.maximum - p.minimum);
}

double PlainOfNormalised(const product::Parameter& p, double normalised) {
    int raw = p.defaultValue;
    RawOfNormalised(p, normalised, raw);
    return product::ControlValueOfRaw(p, raw);
}

double NormalisedOfPlain(const product::Parameter& p, double plain) {
    int raw = p.defaultValue;
    if (std::isfinite(plain)) {
        // Within the control's ends before it becomes a float (a huge double does not fit one).
        const product::ControlRange range = product::ControlRangeOf(p);
        const double inside = plain < range.minimum ? range.minimum : plain > range.maximum ? range.maximum : plain;
        product::RawOfControlValue(p, static_cast<float>(inside), raw);
    }
    return NormalisedOfRaw(p, raw);
}

void DescribeParameter(const product::Parameter& p, int index, v3_param_info& info) {
    std::memset(&info, 0, sizeof info);
    info.param_id = static_cast<v3_param_id>(index);
    CopyToUtf16(p.name, info.title, 128);
    CopyToUtf16(p.name, info.short_title, 128);
    CopyToUtf16(product::ControlUnit(p), info.units, 128);
    info.step_count = p.maximum - p.minimum;
    info.default_normalised_value = NormalisedOfRaw(p, p.defaultValue);
    info.unit_id = 0;  // the root unit
    info.flags = V3_PARAM_CAN_AUTOMATE;
}

}  // namespace lumo::vst3
