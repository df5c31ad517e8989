#include "product/ParameterValues.h"

namespace lumo::product {

ParameterValues::ParameterValues(const Deliverable& deliverable) : count_(ParameterCount(deliverable)) {
    for (int index = 0; index < count_; ++index) {
        parameters_[index] = product::ParameterAt(deliverable, index);
        raw_[index] = parameters_[index].defaultValue;
        pending_[index] = false;
    }
}

void ParameterValues::Set(int index, int raw) {
    raw_[index] = parameters_[index].Clamp(raw);
    pending_[index] = true;
    anyPending_ = true;
}

void ParameterValues::SetAllPending() {
    for (int index = 0; index < count_; ++index) pending_[index] = true;
    anyPending_ = true;
}

engine::ParameterOutcome ParameterValues::ApplyTo(engine::Equaliser& engine, int sampleRateHz) {
    engine::ParameterChanges changes;
    auto take = [this](int index) {
        if (!pending_[index]) return engine::ParameterChanges::kUnchanged;
        pending_[index] = false;
        return raw_[index];
    };
    changes.rangeDb = take(kRangeParameter);
    changes.bandwidthTwelfths = take(kBandwidthParameter);
    for (int index = kFirstBandParameter; index < count_; ++index)
        changes.slider[index - kFirstBandParameter] = take(index);
    anyPending_ = false;
    return engine.ApplyParameters(changes, sampleRateHz);
}

}  // namespace lumo::product
