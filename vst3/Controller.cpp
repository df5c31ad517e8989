// The edit controller: the parameter list with the machine's value texts, values both ways, and
// telling the host when the bands' texts changed (they follow Range).
#include "vst3/Instance.h"

#include <string>

#include "product/ValueParsing.h"
#include "product/ValueText.h"
#include "vst3/Normalised.h"
#include "vst3/Text.h"

namespace lumo::vst3 {

v3_result Instance::ParameterInfo(int32_t index, v3_param_info* info) const {
    if (info == nullptr || index < 0 || index >= settings_.Count()) return kInvalidArgument;
    DescribeParameter(settings_.ParameterAt(index), index, *info);
    return kResultOk;
}

// A band's text is its gain at the Range the controller has now.
v3_result Instance::TextOfValue(v3_param_id id, double normalised, int16_t* text) const {
    int raw = 0;
    if (text == nullptr || !Known(id) || !RawOfNormalised(settings_.ParameterAt(id), normalised, raw))
        return kInvalidArgument;
    char value[64];
    product::FormatValueText(settings_.ParameterAt(id), raw, settings_.Raw(product::kRangeParameter), value,
                             sizeof value);
    CopyToUtf16(value, text, 128);
    return kResultOk;
}

// Text typed into the host's field, in the parameter's unit ("6" on a band is 6 dB): a text the
// host showed, typed back, gives that value.
v3_result Instance::ValueOfText(v3_param_id id, const int16_t* text, double* normalised) const {
    if (text == nullptr || normalised == nullptr || !Known(id)) return kInvalidArgument;
    const product::Parameter& parameter = settings_.ParameterAt(id);
    product::ValueFromText value;
    std::string error;
    if (!product::ParseValueText(parameter, Utf8OfUtf16(text, 128), settings_.Raw(product::kRangeParameter),
                                 product::BareNumber::InUnits, value, error))
        return kResultFalse;
    *normalised = NormalisedOfRaw(parameter, value.raw);
    return kResultOk;
}

double Instance::ToPlain(v3_param_id id, double normalised) const {
    return Known(id) ? PlainOfNormalised(settings_.ParameterAt(id), normalised) : 0.0;
}

double Instance::ToNormalised(v3_param_id id, double plain) const {
    return Known(id) ? NormalisedOfPlain(settings_.ParameterAt(id), plain) : 0.0;
}

double Instance::Normalised(v3_param_id id) const {
    return Known(id) ? NormalisedOfRaw(settings_.ParameterAt(id), settings_.Raw(id)) : 0.0;
}

// The controller's value only: the host brings the same change to the audio side through
// process()'s parameter changes.
v3_result Instance::SetNormalised(v3_param_id id, double normalised) {
    int raw = 0;
    if (!Known(id) || !RawOfNormalised(settings_.ParameterAt(id), normalised, raw)) return kInvalidArgument;
    settings_.Store(id, raw);
    if (id == product::kRangeParameter) TellHostIfRangeChanged();
    return kResultOk;
}

v3_result Instance::SetComponentHandler(v3_component_handler** handler) {
    if (handler == handler_) return kResultOk;
    if (handler != nullptr) v3_cpp_obj_ref(handler);
    if (handler_ != nullptr) v3_cpp_obj_unref(handler_);
    handler_ = handler;
    return kResultOk;
}

// The bands' texts follow Range: when the Range the host last heard of changes, it is told to read
// the parameters again. VST3 has no flag for value texts alone. kParamTitlesChanged (the
// parameters' descriptions changed) makes hosts drop what they cached of every parameter and read
// it again, its display included, and touches no value. kParamValuesChanged would say that values
// changed, which they did not: hosts then take every value from the controller as the truth and
// may redraw only those that differ (none), and a host that has queued changes for the audio side
// but not yet handed them to the controller pulls the older values over them (Ardour 7.3 does,
// losing settings made just before a save).
void Instance::TellHostIfRangeChanged() {
    const int rangeDb = settings_.Raw(product::kRangeParameter);
    if (rangeDb == rangeShownDb_) return;
    rangeShownDb_ = rangeDb;
    if (handler_ != nullptr) TableOf(handler_).restart_component(handler_, V3_RESTART_PARAM_TITLES_CHANGED);
}

}  // namespace lumo::vst3
