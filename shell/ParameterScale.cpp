#include "ParameterScale.h"

namespace lumo {

void ParameterScale::Configure(const ParameterRecord* scaleRecord, double lowValue, double highValue) {
    record = scaleRecord;
    low = lowValue;
    high = highValue;
}

double ParameterScale::Value(int raw) const {
    const double span = static_cast<double>(record->maximum) - static_cast<double>(record->minimum);
    return low + ((static_cast<double>(raw) - static_cast<double>(record->minimum)) / span) * (high - low);
}

}  // namespace lumo
