// Linear map from a raw parameter value onto [low, high] over the parameter's minimum..maximum.
#pragma once

namespace lumo::engine {

class ParameterScale {
public:
    void Configure(int minimumRaw, int maximumRaw, double lowValue, double highValue) {
        minimum = minimumRaw;
        maximum = maximumRaw;
        low = lowValue;
        high = highValue;
    }
    // Raw values outside minimum..maximum extrapolate along the same line.
    double Value(int raw) const {
        const double span = static_cast<double>(maximum) - static_cast<double>(minimum);
        return low + ((static_cast<double>(raw) - static_cast<double>(minimum)) / span) * (high - low);
    }

    int minimum = 0;
    int maximum = 1;
    double high = 0.0;
    double low = 0.0;
};

}  // namespace lumo::engine
