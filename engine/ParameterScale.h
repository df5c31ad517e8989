// Linear map from a raw parameter value onto [low, high] over the parameter's minimum..maximum.
#pragma once

namespace lumo::engine {

class ParameterScale {
public:
    constexpr ParameterScale(int minimumRaw, int maximumRaw, double low, double high)
        : minimum_(minimumRaw), maximum_(maximumRaw), low_(low), high_(high) {}

    // Raw values outside minimum..maximum extrapolate along the same line.
    double Value(int raw) const {
        const double span = static_cast<double>(maximum_) - static_cast<double>(minimum_);
        return low_ + ((static_cast<double>(raw) - static_cast<double>(minimum_)) / span) * (high_ - low_);
    }

private:
    int minimum_;
    int maximum_;
    double low_;
    double high_;
};

}  // namespace lumo::engine
