// Linear map from a raw parameter value onto [low, high] over the record's minimum..maximum.
#pragma once

#include "MachineDescription.h"

namespace lumo {

class ParameterScale {
public:
    virtual void Configure(const ParameterRecord* scaleRecord, double lowValue, double highValue);
    // Raw values outside minimum..maximum extrapolate along the same line.
    virtual double Value(int raw) const;

    const ParameterRecord* record = nullptr;  // not owned
    double high = 0.0;
    double low = 0.0;
};

}  // namespace lumo
